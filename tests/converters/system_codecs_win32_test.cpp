// Pictures read through the system's codecs, as the chain of tries meets them: each format and
// orientation compared with ImageMagick's decoding of the same file, the fit fed in bands
// against the fit of the whole picture, broken files refused with nothing changed, the order
// of tries, and the patterns the scan gives with the codecs on and off.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "change/load_picture_win32.h"
#include "converters/susie_plugin_win32.h"
#include "converters/system_codecs_win32.h"
#include "platform/com_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

constexpr uint32_t kDesk = 0x3A6EA5;  // what make_pictures.sh flattens transparency over

std::string Fixture(const std::string& name) { return testing::FixturePath("pictures\\" + name); }

PictureLoadContext SystemOnly(bool systemCodecs = true) {
  PictureLoadContext context;
  context.systemCodecs = systemCodecs;
  context.desktopColour = [] { return kDesk; };
  return context;
}

// The largest difference of one channel, and the mean of all of them.
struct Difference {
  int largest = 0;
  double mean = 0;
};
Difference Compare(const Picture& a, const Picture& b) {
  Difference d;
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int delta =
          std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF));
      d.largest = std::max(d.largest, delta);
      sum += delta;
    }
  d.mean = a.pixels.empty() ? 0 : sum / (3.0 * a.pixels.size());
  return d;
}

class SystemCodecs : public ::testing::Test {
 protected:
  ComApartment com_;
};

TEST_F(SystemCodecs, EachFormatDecodesUprightAsImageMagickDecodesIt) {
  struct Case {
    const char* file;
    int largest;  // codecs round differently: inverse transforms, CMYK, 16 bits to 8
    double mean;
  };
  const Case cases[] = {
      {"baseline.jpg", 3, 0.2},       {"progressive.jpg", 3, 0.2}, {"grey.jpg", 3, 0.2},    {"cmyk.jpg", 6, 1},
      {"orient1.jpg", 3, 0.2},        {"orient2.jpg", 3, 0.2},     {"orient3.jpg", 3, 0.2}, {"orient4.jpg", 3, 0.2},
      {"orient5.jpg", 3, 0.2},        {"orient6.jpg", 3, 0.2},     {"orient7.jpg", 3, 0.2}, {"orient8.jpg", 3, 0.2},
      {"palette-alpha.png", 1, 0.1},  {"rgba16.png", 2, 0.6},      {"animated.gif", 0, 0},  {"tiff16.tif", 1, 0.3},
      {"tiff16-orient6.tif", 1, 0.3}, {"jpeg-named.png", 3, 0.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string name(c.file);
    const Picture expected = testing::ReadBmpFile(Fixture("ref-" + name.substr(0, name.rfind('.')) + ".bmp"));
    ASSERT_FALSE(expected.Empty());
    Picture decoded;
    ASSERT_TRUE(LoadPicture(Fixture(name), decoded, SystemOnly()));
    ASSERT_EQ(decoded.width, expected.width);
    ASSERT_EQ(decoded.height, expected.height);
    const Difference d = Compare(decoded, expected);
    EXPECT_LE(d.largest, c.largest);
    EXPECT_LE(d.mean, c.mean);

    // The bands through the fit give what the whole picture gives, shrunk, cropped and tiled.
    for (const FitRequest& request :
         {FitRequest{{false, 4, true, false}, 0, 0, 50, 40}, FitRequest{{false, 8, false, false}, 3, 2, 70, 30},
          FitRequest{{true, 4, false, true}, 0, 0, 300, 200}}) {
      Picture whole = decoded;
      FitPicture(whole, request, [] { return kDesk; });
      Picture fitted;
      ASSERT_TRUE(LoadFittedPicture(Fixture(name), request, fitted, SystemOnly()));
      EXPECT_TRUE(fitted == whole);
    }
  }
}

TEST_F(SystemCodecs, BrokenOrMissingFilesAreNoPictureAndChangeNothing) {
  testing::TempFolder folder;
  const Picture before{2, 1, {0x112233, 0x445566}};
  for (const std::string& path : {Fixture("truncated.jpg"), Fixture("garbled-header.jpg"), Fixture("huge.png"),
                                  folder.File("vanished.jpg"), Fixture("make_pictures.sh")}) {
    SCOPED_TRACE(path);
    Picture picture = before;
    EXPECT_FALSE(LoadPicture(path, picture, SystemOnly()));
    EXPECT_TRUE(picture == before);
    EXPECT_FALSE(LoadFittedPicture(path, {{false, 4, true, false}, 0, 0, 64, 48}, picture, SystemOnly()));
    EXPECT_TRUE(picture == before);
  }
  // And the next picture loads.
  Picture picture;
  EXPECT_TRUE(LoadPicture(Fixture("baseline.jpg"), picture, SystemOnly()));
}

TEST_F(SystemCodecs, PlugInsComeFirstAndTheSwitchTurnsTheCodecsOff) {
  // A plug-in that claims JPEG files keeps them; the codecs read what no plug-in takes.
  TSusiePlugIn host;
  host.LoadPlugins(testing::FixturePath("plugins\\jpeg_claim") + "\\*.SPI");
  ASSERT_EQ(host.Count(), 1);
  PictureLoadContext withPlugIn = SystemOnly();
  withPlugIn.susie = [&host](const std::string& path, Picture& target) { return host.LoadFromFile(path, target); };
  Picture picture;
  ASSERT_TRUE(LoadPicture(Fixture("baseline.jpg"), picture, withPlugIn));
  EXPECT_TRUE(picture == (Picture{8, 8, std::vector<uint32_t>(64, 0xFF00FF)}));
  ASSERT_TRUE(LoadPicture(Fixture("palette-alpha.png"), picture, withPlugIn));
  EXPECT_EQ(picture.width, 120);

  // Off: a JPEG no plug-in reads and no GV converts is not a picture.
  Picture untouched{1, 1, {0x010203}};
  EXPECT_FALSE(LoadPicture(Fixture("baseline.jpg"), untouched, SystemOnly(false)));
  EXPECT_TRUE(untouched == (Picture{1, 1, {0x010203}}));

  // The patterns: as before with the codecs off; with them on, every decoder's extensions in
  // one pair after the plug-ins' and before GV's, each once.
  for (ProgramKind program : {ProgramKind::kVorelset, ProgramKind::kVorelrun}) {
    TSusiePlugIn none;
    const PatternScan off = ScanPlugins(none, "", true, program, false);
    EXPECT_EQ(off.picturePatterns, BuildPicturePatterns(kInitialFilterText, true, program).picturePatterns);
    const PatternScan on = ScanPlugins(none, "", true, program, true);
    const std::vector<std::string> system = SystemCodecPatterns();
    for (const char* expected : {"*.JPG", "*.JPEG", "*.PNG", "*.GIF", "*.TIF", "*.TIFF", "*.ICO", "*.BMP"})
      EXPECT_NE(std::find(system.begin(), system.end(), expected), system.end()) << expected;
    for (const std::string& p : system) {
      EXPECT_EQ(std::count(system.begin(), system.end(), p), 1) << p;
      EXPECT_NE(std::find(on.picturePatterns.begin(), on.picturePatterns.end(), p), on.picturePatterns.end()) << p;
    }
    const size_t pair = on.dialogFilter.find("Windows の画像形式   [*.");
    ASSERT_NE(pair, std::string::npos);
    EXPECT_LT(pair, on.dialogFilter.find("QV-10(*.cam)"));
    // The plug-ins' own text is not grown by the scan: a second scan gives the same.
    EXPECT_EQ(ScanPlugins(none, "", true, program, true).dialogFilter, on.dialogFilter);
  }
  TSusiePlugIn withClaim;
  const PatternScan claimed =
      ScanPlugins(withClaim, testing::FixturePath("plugins\\jpeg_claim"), false, ProgramKind::kVorelset, true);
  EXPECT_EQ(claimed.picturePatterns.front(), "*.JPG");  // the plug-in's place comes first
}

}  // namespace
}  // namespace vorel
