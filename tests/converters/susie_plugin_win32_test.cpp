// The Susie host with real plug-in DLLs built from tests/fixtures/plugins. Each plug-in sits
// alone in its folder, so successive LoadPlugins calls decide the order of trial.
#include "converters/susie_plugin_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/strings.h"
#include "tests/fixtures/test_picture_format.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::TempFolder;
using testing::TestPicture;

std::string PluginFolder(const std::string& name) { return testing::ExeFolder() + "..\\fixtures\\plugins\\" + name; }

void LoadFolders(TSusiePlugIn& host, const std::vector<std::string>& names) {
  for (const auto& name : names) host.LoadPlugins(PluginFolder(name) + "\\*.SPI");
}

Picture ToPicture(const TestPicture& t) { return Picture{t.width, t.height, t.pixels}; }

// A VTP file; `kind`, when given, follows the pixels and tells the malformed plug-in what to do.
std::string WritePicture(const TempFolder& dir, const std::string& name, const TestPicture& p, char kind = 0) {
  std::string bytes = testing::EncodeTestPicture(p);
  if (kind) bytes += kind;
  const std::string path = dir.File(name);
  EXPECT_TRUE(testing::WriteFileBytes(path, bytes));
  return path;
}

bool CopyPlugin(const std::string& name, const std::string& to) {
  return CopyFileW(ToWide(PluginFolder(name) + "\\" + name + ".spi").c_str(), ToWide(to).c_str(), FALSE) != 0;
}

TEST(SusiePlugInTest, EachOutputLayoutDecodesToTheSourcePixels) {
  TempFolder dir;
  const TestPicture source = testing::MakeTestPicture(13, 7, 5);
  const std::string path = WritePicture(dir, "a.vtp", source);
  for (const char* name : {"vtp24", "vtp8", "vtp32", "core24"}) {
    SCOPED_TRACE(name);
    TSusiePlugIn host;
    LoadFolders(host, {name});
    ASSERT_EQ(host.Count(), 1);
    Picture picture;
    ASSERT_TRUE(host.LoadFromFile(path, picture));
    EXPECT_EQ(picture, ToPicture(source));
  }
}

TEST(SusiePlugInTest, LaterPluginsAreTriedOnlyWhenEarlierOnesRefuseOrFail) {
  TempFolder dir;
  const TestPicture source = testing::MakeTestPicture(6, 5, 9);
  const std::string path = WritePicture(dir, "a.vtp", source);
  // The malformed plug-in faults on this file: it must be reached only when it comes first.
  const std::string faulting = WritePicture(dir, "v.vtp", source, 'V');
  const TestPicture manyColors = testing::MakeTestPicture(40, 30, 1);  // too many for the 8-bit plug-in
  const std::string many = WritePicture(dir, "m.vtp", manyColors);

  struct Case {
    std::vector<std::string> order;
    std::string file;
    bool decoded;
  };
  const std::vector<Case> cases = {
      {{"refuse", "vtp24"}, path, true}, {{"fail", "vtp24"}, path, true}, {{"refuse", "fail"}, path, false},
      {{"vtp8", "vtp24"}, many, true},   {{"vtp8"}, many, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.order.front() + " then " + c.order.back());
    TSusiePlugIn host;
    LoadFolders(host, c.order);
    ASSERT_EQ(host.Count(), static_cast<int>(c.order.size()));
    Picture picture;
    EXPECT_EQ(host.LoadFromFile(c.file, picture), c.decoded);
    if (c.decoded) {
      EXPECT_EQ(picture, ToPicture(c.file == many ? manyColors : source));
    }
  }

  TSusiePlugIn first;
  LoadFolders(first, {"vtp24", "malformed"});
  Picture picture;
  EXPECT_TRUE(first.LoadFromFile(faulting, picture));
  EXPECT_FALSE(first.PluginAt(1, nullptr)->broken);

  TSusiePlugIn second;
  LoadFolders(second, {"malformed", "vtp24"});
  EXPECT_TRUE(second.LoadFromFile(faulting, picture));
  EXPECT_TRUE(second.PluginAt(0, nullptr)->broken);
  EXPECT_EQ(picture, ToPicture(source));
}

TEST(SusiePlugInTest, RecordsFilterTextAndRepeatedScans) {
  TSusiePlugIn host;
  EXPECT_EQ(host.FilterText(), "AllType   [*.*]|*.*|");
  EXPECT_EQ(host.LoadPlugins(PluginFolder("gif_lower") + "\\*.SPI"), 1);
  EXPECT_EQ(host.LoadPlugins(PluginFolder("jpeg_list") + "\\*.SPI"), 1);
  EXPECT_EQ(host.LoadPlugins(PluginFolder("vtp24") + "\\*.SPI"), 1);
  const std::string expected =
      "AllType   [*.*]|*.*|GIF   [*.GIF]|*.GIF|JPEG   [*.JPG;*.JPEG]|*.JPG;*.JPEG|"
      "テスト画像ソ表   [*.VTP]|*.VTP|";
  EXPECT_EQ(host.FilterText(), expected);

  // The same folder again: no record, no filter entry.
  EXPECT_EQ(host.LoadPlugins(PluginFolder("vtp24") + "\\*.SPI"), 0);
  EXPECT_EQ(host.Count(), 3);
  EXPECT_EQ(host.FilterText(), expected);

  const SusiePlugInFile* japanese = host.PluginAt(2, nullptr);
  ASSERT_NE(japanese, nullptr);
  EXPECT_EQ(japanese->description, "テスト画像ソ表");
  EXPECT_EQ(japanese->version, "00IN");
  EXPECT_EQ(japanese->name, "Vorel test plug-in");
  EXPECT_EQ(japanese->pattern, "*.VTP");
  EXPECT_EQ(japanese->fileName, PluginFolder("vtp24") + "\\vtp24.spi");
  EXPECT_NE(japanese->getPictureInfo, nullptr);
  EXPECT_EQ(host.PluginAt(0, nullptr)->pattern, "*.GIF");

  SusiePlugInFile fallback;
  EXPECT_EQ(host.PluginAt(-1, &fallback), &fallback);
  EXPECT_EQ(host.PluginAt(3, &fallback), &fallback);

  EXPECT_EQ(host.UnloadPlugins(), 0);
  EXPECT_EQ(host.Count(), 0);
  EXPECT_EQ(host.FilterText(), expected);
}

TEST(SusiePlugInTest, UnusableDllsAreNotKept) {
  TempFolder dir;
  ASSERT_TRUE(testing::WriteFileBytes(dir.File("text.spi"), "not a library"));
  for (const std::string& folder :
       {PluginFolder("archive"), PluginFolder("no_getpicture"), PluginFolder("crash_info"), dir.Path()}) {
    SCOPED_TRACE(folder);
    TSusiePlugIn host;
    EXPECT_EQ(host.LoadPlugins(folder + "\\*.SPI"), 0);
    EXPECT_EQ(host.Count(), 0);
    EXPECT_EQ(host.FilterText(), "AllType   [*.*]|*.*|");
    // The scan goes on after a plug-in that faulted while it was examined.
    LoadFolders(host, {"vtp24"});
    EXPECT_EQ(host.Count(), 1);
  }
}

TEST(SusiePlugInTest, HiddenFilesFoldersAndOverlongPathsAreSkipped) {
  TempFolder dir;
  ASSERT_TRUE(CopyPlugin("vtp24", dir.File("hidden.spi")));
  SetFileAttributesW(ToWide(dir.File("hidden.spi")).c_str(), FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(CreateDirectoryW(ToWide(dir.File("folder.spi")).c_str(), nullptr));
  TSusiePlugIn host;
  EXPECT_EQ(host.LoadPlugins(dir.Path() + "\\*.SPI"), 0);

  // Paths reach the loader in a 256-character buffer: 255 characters load, 256 do not.
  std::string deep = dir.Path();
  while (deep.size() < 230) {
    deep += "\\" + std::string(std::min<size_t>(40, 230 - deep.size()) + 1, 'd');
    ASSERT_TRUE(CreateDirectoryW(ToWide(deep).c_str(), nullptr));
  }
  const size_t nameFor255 = 255 - deep.size() - 1;
  const std::string fits = deep + "\\" + std::string(nameFor255 - 4, 'a') + ".spi";
  const std::string tooLong = deep + "\\" + std::string(nameFor255 - 3, 'b') + ".spi";
  ASSERT_EQ(fits.size(), 255u);
  ASSERT_EQ(tooLong.size(), 256u);
  ASSERT_TRUE(CopyPlugin("vtp24", fits));
  ASSERT_TRUE(CopyPlugin("vtp32", tooLong));
  EXPECT_EQ(host.LoadPlugins(deep + "\\*.SPI"), 1);
  ASSERT_EQ(host.Count(), 1);
  EXPECT_EQ(host.PluginAt(0, nullptr)->fileName, fits);
}

// Plug-in packages bring DLLs of their own. A DLL of the same name in the current folder,
// where a download or a share may put anything, is never the one taken.
TEST(SusiePlugInTest, APlugInFindsItsOwnDllsAndNoneFromTheCurrentFolder) {
  TempFolder dir;
  const TestPicture source = testing::MakeTestPicture(9, 4, 6);
  const std::string path = WritePicture(dir, "a.vtp", source);
  TempFolder alone;
  ASSERT_TRUE(CopyPlugin("dependent", alone.File("dependent.spi")));
  TempFolder planted;
  ASSERT_TRUE(CopyFileW(ToWide(PluginFolder("planted") + "\\vtpdep.dll").c_str(),
                        ToWide(planted.File("vtpdep.dll")).c_str(), FALSE));
  const std::wstring genuine = ToWide(testing::FixturePath("plugins\\dependent\\vtpdep.dll"));
  const struct {
    const char* what;
    std::string folder;
    std::string current;
    bool loads;
  } cases[] = {
      {"its DLL beside it", PluginFolder("dependent"), testing::ExeFolder(), true},
      {"its DLL beside it, another in the current folder", PluginFolder("dependent"), planted.Path(), true},
      {"its DLL only in the current folder", alone.Path(), planted.Path(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(GetModuleHandleW(L"vtpdep.dll"), nullptr) << "left loaded by an earlier case";
    testing::CurrentFolder current(c.current);
    EXPECT_EQ(PluginDescriptiveName(c.folder + "\\dependent.spi").has_value(), c.loads);
    TSusiePlugIn host;
    EXPECT_EQ(host.LoadPlugins(c.folder + "\\*.SPI"), c.loads ? 1 : 0);
    const HMODULE dependency = GetModuleHandleW(L"vtpdep.dll");
    if (!c.loads) {
      EXPECT_EQ(dependency, nullptr) << "the planted DLL was loaded";
      continue;
    }
    if (!dependency) continue;  // the failure to load is reported above
    wchar_t loaded[MAX_PATH] = {};
    GetModuleFileNameW(dependency, loaded, MAX_PATH);
    EXPECT_EQ(_wcsicmp(loaded, genuine.c_str()), 0) << ToUtf8(loaded);
    Picture picture;
    ASSERT_TRUE(host.LoadFromFile(path, picture));
    EXPECT_EQ(picture, ToPicture(source));
  }
}

TEST(SusiePlugInTest, MalformedPicturesAreRefusedAndTheNextPluginTried) {
  TempFolder dir;
  const TestPicture source = testing::MakeTestPicture(5, 4, 3);
  const std::string plain = WritePicture(dir, "plain.vtp", source);
  struct Case {
    char kind;
    const char* what;
    bool faults;
  };
  const std::vector<Case> cases = {
      {'N', "null handles", false},
      {'I', "null info handle", false},
      {'G', "handles that are no memory", false},
      {'W', "negative width", false},
      {'A', "absurd width", false},
      {'Y', "zero height", false},
      {'C', "bit count 7", false},
      {'P', "too many pixels", false},
      {'B', "bits one byte short", false},
      {'T', "colour table missing", false},
      {'H', "header larger than its block", false},
      {'V', "access violation in GetPicture", true},
      {'Z', "division by zero in GetPicture", true},
      {'R', "foreign exception in GetPicture", true},
      {'S', "access violation in IsSupported", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = WritePicture(dir, std::string(1, c.kind) + ".vtp", source, c.kind);

    TSusiePlugIn alone;
    LoadFolders(alone, {"malformed"});
    Picture picture;
    EXPECT_FALSE(alone.LoadFromFile(path, picture));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(alone.PluginAt(0, nullptr)->broken, c.faults);
    // A plug-in that faulted is not called again, even for a file it could decode.
    EXPECT_EQ(alone.LoadFromFile(plain, picture), !c.faults);

    TSusiePlugIn withFallback;
    LoadFolders(withFallback, {"malformed", "vtp24"});
    Picture fallback;
    EXPECT_TRUE(withFallback.LoadFromFile(path, fallback));
    EXPECT_EQ(fallback, ToPicture(source));
  }
}

TEST(SusiePlugInTest, MissingFoldersAndUnreadableFilesDecodeNothing) {
  TempFolder dir;
  const std::string path = WritePicture(dir, "a.vtp", testing::MakeTestPicture(3, 3));
  TSusiePlugIn host;
  EXPECT_EQ(host.LoadPlugins(dir.File("missing") + "\\*.SPI"), 0);
  EXPECT_EQ(host.LoadPlugins(dir.Path() + "\\*.SPI"), 0);
  Picture picture;
  EXPECT_FALSE(host.LoadFromFile(path, picture));

  LoadFolders(host, {"vtp24"});
  EXPECT_FALSE(host.LoadFromFile(dir.File("missing.vtp"), picture));
  EXPECT_FALSE(host.LoadFromFile(dir.Path(), picture));
  ASSERT_TRUE(testing::WriteFileBytes(dir.File("empty.vtp"), ""));
  EXPECT_FALSE(host.LoadFromFile(dir.File("empty.vtp"), picture));
  EXPECT_FALSE(host.LoadFromMemory(nullptr, 100, picture));
  EXPECT_TRUE(picture.Empty());
}

TEST(SusiePlugInTest, StreamsDecodeTheirOwnBytesOnly) {
  const TestPicture source = testing::MakeTestPicture(4, 2, 7);
  const std::string encoded = testing::EncodeTestPicture(source);
  const std::vector<uint8_t> stream(encoded.begin(), encoded.end());
  TSusiePlugIn host;
  LoadFolders(host, {"vtp24"});
  Picture picture;
  EXPECT_TRUE(host.LoadFromStream(stream, stream.size() + 1000, picture));
  EXPECT_EQ(picture, ToPicture(source));
  EXPECT_FALSE(host.LoadFromStream(std::span<const uint8_t>(stream).first(stream.size() - 1), stream.size(), picture));
}

TEST(ScanPluginsTest, PatternListsForBothPrograms) {
  const std::vector<std::string> gv = {
      "*.CAM", "*.GIF", "*.J6I",  "*.JPG",  "*.MAG",  "*.PIC",  "*.PMP", "*.SJ1", "*.XBM", "*.SUNRASTER", "*.PHOTOCD",
      "*.PI",  "*.TIF", "*.TIFF", "*.MAKI", "*.PIC2", "*.PICT", "*.XPM", "*.WMF", "*.LZH", "*.ZIP",       "*.X"};
  auto join = [](std::vector<std::string> a, const std::vector<std::string>& b, const std::vector<std::string>& c) {
    a.insert(a.end(), b.begin(), b.end());
    a.insert(a.end(), c.begin(), c.end());
    return a;
  };
  TempFolder empty;
  struct Case {
    std::string name;
    std::string folder;
    bool gvKnown;
    ProgramKind program;
    PicturePatterns expected;
  };
  std::vector<std::string> gvWithoutGif = gv;
  gvWithoutGif.erase(gvWithoutGif.begin() + 1);
  const std::vector<Case> cases = {
      {"JpegListSet", PluginFolder("jpeg_list"), false, ProgramKind::kVorelset, {"*.JPG", "*.JPEG", "*.BMP"}},
      {"JpegListRun", PluginFolder("jpeg_list"), false, ProgramKind::kVorelrun, {"*.JPG", "*.JPEG", "*.BMP", "*.JPEG"}},
      {"JpegListTrailingSeparator",
       PluginFolder("jpeg_list") + "\\",
       false,
       ProgramKind::kVorelset,
       {"*.JPG", "*.JPEG", "*.BMP"}},
      {"GifWithGvSet", PluginFolder("gif_lower"), true, ProgramKind::kVorelset,
       join({"*.GIF"}, gvWithoutGif, {"*.BMP", "*.JPEG"})},
      {"GifWithGvRun", PluginFolder("gif_lower"), true, ProgramKind::kVorelrun,
       join({"*.GIF"}, gv, {"*.BMP", "*.JPEG"})},
      {"EmptyFolderGv", empty.Path(), true, ProgramKind::kVorelset, join({}, gv, {"*.BMP", "*.JPEG"})},
      {"MissingFolder", empty.File("none"), false, ProgramKind::kVorelset, {"*.BMP"}},
      {"NoFolder", "", false, ProgramKind::kVorelrun, {"*.BMP"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSusiePlugIn host;
    const PatternScan scan = ScanPlugins(host, c.folder, c.gvKnown, c.program);
    EXPECT_EQ(scan.picturePatterns, c.expected);
    EXPECT_EQ(scan.dialogFilter.rfind(host.FilterText(), 0), 0u);
    EXPECT_EQ(scan.dialogFilter.ends_with("ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)|*.BMP|"), true);
  }

  // A later scan of another folder adds to what the first one loaded.
  TSusiePlugIn host;
  ScanPlugins(host, PluginFolder("gif_lower"), false, ProgramKind::kVorelset);
  const PatternScan scan = ScanPlugins(host, PluginFolder("jpeg_list"), false, ProgramKind::kVorelset);
  EXPECT_EQ(scan.picturePatterns, (PicturePatterns{"*.GIF", "*.JPG", "*.JPEG", "*.BMP"}));
  EXPECT_EQ(scan.dialogFilter,
            "AllType   [*.*]|*.*|GIF   [*.GIF]|*.GIF|JPEG   [*.JPG;*.JPEG]|*.JPG;*.JPEG|"
            "ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)|*.BMP|");
}

}  // namespace
}  // namespace vorel
