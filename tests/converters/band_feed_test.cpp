// What the system decoders' pictures go through on our side: the EXIF orientation read from
// the file's bytes, the picture turned upright from bands of rows, transparency over the
// desktop colour, and every band layout.
#include "converters/band_feed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "converters/exif_orientation.h"
#include "engine/fit_picture.h"

namespace vorel {
namespace {

// ---- EXIF orientation -----------------------------------------------------------------

void Put16(std::string& s, uint32_t v, bool little) {
  const char a = static_cast<char>(v & 0xFF), b = static_cast<char>((v >> 8) & 0xFF);
  s += little ? a : b;
  s += little ? b : a;
}
void Put32(std::string& s, uint32_t v, bool little) {
  Put16(s, little ? v & 0xFFFF : v >> 16, little);
  Put16(s, little ? v >> 16 : v & 0xFFFF, little);
}

// A TIFF structure whose first directory holds the given entries (tag, type, value).
std::string Tiff(bool little, const std::vector<std::array<uint32_t, 3>>& entries, uint32_t gap = 0) {
  std::string s = little ? "II" : "MM";
  Put16(s, 42, little);
  Put32(s, 8 + gap, little);
  s.append(gap, '\0');
  Put16(s, static_cast<uint32_t>(entries.size()), little);
  for (const auto& [tag, type, value] : entries) {
    Put16(s, tag, little);
    Put16(s, type, little);
    Put32(s, 1, little);
    if (type == 3) {
      Put16(s, value, little);
      Put16(s, 0, little);
    } else {
      Put32(s, value, little);
    }
  }
  Put32(s, 0, little);
  return s;
}

std::string Segment(uint8_t marker, const std::string& body) {
  std::string s = "\xFF";
  s += static_cast<char>(marker);
  Put16(s, static_cast<uint32_t>(body.size() + 2), false);
  return s + body;
}

std::string Jpeg(const std::string& segments) {
  return std::string("\xFF\xD8", 2) + segments + Segment(0xDB, std::string(67, '\1')) +
         std::string("\xFF\xDA\x00\x02\x11\x22\xFF\xD9", 8);
}

std::string Exif(const std::string& tiff) { return Segment(0xE1, std::string("Exif\0\0", 6) + tiff); }

int OrientationOf(const std::string& file) {
  const std::vector<char> bytes(file.begin(), file.end());  // exact size: overreads show
  return ExifOrientation(
      [&bytes](uint64_t offset, void* buffer, size_t n) {
        if (offset >= bytes.size()) return size_t{0};
        const size_t k = std::min<size_t>(n, bytes.size() - offset);
        std::memcpy(buffer, bytes.data() + offset, k);
        return k;
      },
      bytes.size());
}

TEST(ExifOrientation, FoundInJpegAndTiffWhereverTheWritersPutIt) {
  const std::string app0 = Segment(0xE0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14));
  for (bool little : {true, false})
    for (uint32_t o = 1; o <= 8; ++o) {
      SCOPED_TRACE(std::to_string(o) + (little ? " II" : " MM"));
      const std::string tiff = Tiff(little, {{256, 4, 640}, {274, 3, o}, {282, 5, 200}});
      EXPECT_EQ(OrientationOf(Jpeg(Exif(tiff))), static_cast<int>(o));
      EXPECT_EQ(OrientationOf(Jpeg(app0 + Segment(0xE1, "http://ns.adobe.com/xap/1.0/") + Exif(tiff))),
                static_cast<int>(o));
      EXPECT_EQ(OrientationOf(Tiff(little, {{274, 3, o}}, 4000)), static_cast<int>(o));  // a TIFF file
    }
  struct Case {
    const char* name;
    std::string file;
  };
  const std::string good = Tiff(true, {{274, 3, 6}});
  const std::string jpegCut = Jpeg(Exif(good));
  const Case none[] = {
      {"no exif block", Jpeg(app0)},
      {"value nine", Jpeg(Exif(Tiff(true, {{274, 3, 9}})))},
      {"value zero", Jpeg(Exif(Tiff(false, {{274, 3, 0}})))},
      {"long instead of short", Jpeg(Exif(Tiff(true, {{274, 4, 6}})))},
      {"not exif", Jpeg(Segment(0xE1, std::string("Exiv\0\0", 6) + good))},
      {"directory beyond the block", Jpeg(Exif(std::string("II*\0\xF0\0\0\0", 8)))},
      {"file cut inside the directory", jpegCut.substr(0, 2 + 4 + 6 + 8 + 4)},
      {"directory beyond the block's end", std::string("\xFF\xD8\xFF\xE1\x00\x10"
                                                       "Exif\0\0",
                                                       12) +
                                               good + std::string("\xFF\xD9", 2)},
      {"after the scan", Jpeg("") + Exif(good)},
      {"png", std::string("\x89PNG\r\n\x1A\n", 8) + good},
      {"empty", ""},
      {"lone markers", std::string("\xFF\xD8\xFF\xFF\xFF", 5)},
  };
  for (const Case& c : none) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OrientationOf(c.file), 0);
  }
}

// ---- Bands to upright rows ------------------------------------------------------------

constexpr int32_t kW = 7, kH = 5;
constexpr uint32_t kBackground = 0x204060;

uint32_t StoredColour(int32_t x, int32_t y) {
  return static_cast<uint32_t>((x * 37 + 11) << 16 | (y * 41 + 7) << 8 | (x * y + 3));
}

// The upright picture's pixel (x, y) as EXIF describes each orientation, from the stored one.
uint32_t Upright(int o, int32_t x, int32_t y) {
  switch (o) {
    case 2:
      return StoredColour(kW - 1 - x, y);
    case 3:
      return StoredColour(kW - 1 - x, kH - 1 - y);
    case 4:
      return StoredColour(x, kH - 1 - y);
    case 5:
      return StoredColour(y, x);
    case 6:
      return StoredColour(y, kH - 1 - x);
    case 7:
      return StoredColour(kW - 1 - y, kH - 1 - x);
    case 8:
      return StoredColour(kW - 1 - y, x);
    default:
      return StoredColour(x, y);
  }
}

// Bands of `rows` stored rows in premultiplied BGRA, opaque, holding the columns asked for.
void FeedBands(BandFeed& feed, int32_t rows) {
  for (int32_t y0 = 0; y0 < kH; y0 += rows) {
    const int32_t n = std::min(rows, kH - y0);
    const size_t stride = static_cast<size_t>(feed.Columns()) * 4 + 3;  // padded rows
    std::vector<uint8_t> band(stride * n);
    for (int32_t r = 0; r < n; ++r)
      for (int32_t c = 0; c < feed.Columns(); ++c) {
        const uint32_t colour = StoredColour(feed.FirstColumn() + c, y0 + r);
        uint8_t* p = band.data() + stride * r + 4 * c;
        p[0] = colour & 0xFF, p[1] = (colour >> 8) & 0xFF, p[2] = (colour >> 16) & 0xFF, p[3] = 255;
      }
    feed.Band(y0, n, band.data(), stride);
  }
}

TEST(BandFeed, EveryOrientationStandsUprightWholeAndThroughACroppingFit) {
  for (int o = 1; o <= 8; ++o)
    for (int32_t rows : {1, 2, kH}) {
      SCOPED_TRACE("orientation " + std::to_string(o) + ", bands of " + std::to_string(rows));
      const bool turned = o >= 5;
      const int32_t w = turned ? kH : kW, h = turned ? kW : kH;
      Picture expected{w, h, {}};
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) expected.pixels.push_back(Upright(o, x, y));

      WholePicture whole;
      BandFeed feed(kW, kH, MapOfOrientation(o), BandFormat::kPremultipliedBgra, kBackground);
      ASSERT_TRUE(feed.Begin(whole));
      FeedBands(feed, rows);
      ASSERT_TRUE(feed.Finish());
      EXPECT_TRUE(whole.picture == expected);

      // A screen smaller than the picture: only the middle columns are asked for.
      const FitRequest crop{{false, 4, false, false}, 0, 0, 3, 3};
      StreamedFit fit(crop, [] { return 0u; });
      BandFeed cropped(kW, kH, MapOfOrientation(o), BandFormat::kPremultipliedBgra, kBackground);
      ASSERT_TRUE(cropped.Begin(fit));
      FeedBands(cropped, rows);
      ASSERT_TRUE(cropped.Finish());
      Picture reference = expected;
      FitPicture(reference, crop, [] { return 0u; });
      const std::optional<Picture> fitted = fit.Finish();
      ASSERT_TRUE(fitted);
      EXPECT_TRUE(*fitted == reference);
    }
}

TEST(BandFeed, LayoutsAndTransparencyOverTheDesktopColour) {
  struct Case {
    const char* name;
    BandFormat format;
    std::vector<uint8_t> pixel;
    uint32_t expected;
  };
  // Background 0x204060: red 0x20, green 0x40, blue 0x60.
  const Case cases[] = {
      {"premultiplied opaque", BandFormat::kPremultipliedBgra, {0x10, 0x20, 0x30, 255}, 0x302010},
      {"premultiplied half", BandFormat::kPremultipliedBgra, {0x40, 0x00, 0x80, 128}, 0x902070},
      {"premultiplied clear", BandFormat::kPremultipliedBgra, {0, 0, 0, 0}, kBackground},
      {"straight half", BandFormat::kBgra, {0x80, 0x00, 0xFF, 128}, 0x902070},
      {"straight clear", BandFormat::kBgra, {0xFF, 0xFF, 0xFF, 0}, kBackground},
      {"no alpha", BandFormat::kBgr32, {0x01, 0x02, 0x03, 0x00}, 0x030201},
      {"24 bits", BandFormat::kBgr24, {0x01, 0x02, 0x03}, 0x030201},
      {"grey", BandFormat::kGray8, {0x7F}, 0x7F7F7F},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WholePicture whole;
    BandFeed feed(2, 1, {}, c.format, kBackground);
    ASSERT_TRUE(feed.Begin(whole));
    std::vector<uint8_t> band = c.pixel;
    band.insert(band.end(), c.pixel.begin(), c.pixel.end());
    feed.Band(0, 1, band.data(), band.size());
    ASSERT_TRUE(feed.Finish());
    EXPECT_EQ(whole.picture.At(0, 0), c.expected);
    EXPECT_EQ(whole.picture.At(1, 0), c.expected);
  }
  // Rows that never came are no picture.
  WholePicture whole;
  BandFeed feed(kW, kH, {}, BandFormat::kBgr32, kBackground);
  ASSERT_TRUE(feed.Begin(whole));
  EXPECT_FALSE(feed.Finish());
}

}  // namespace
}  // namespace vorel
