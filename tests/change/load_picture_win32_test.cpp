// The picture loader end to end: bitmap files, the plug-ins, and GV borrowing the
// wallpaper file's path — which must hold its previous content again afterwards.
#include "change/load_picture_win32.h"

#include <gtest/gtest.h>

#include "converters/susie_plugin_win32.h"
#include "engine/bmp_file.h"
#include "platform/strings.h"
#include "tests/fixtures/test_picture_format.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

using testing::FileExists;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

Picture ToPicture(const testing::TestPicture& p) { return {p.width, p.height, p.pixels}; }

class LoadPictureWin32 : public ::testing::Test {
 protected:
  void SetUp() override { testing::EndFakeGvs(); }
  void TearDown() override {
    testing::EndFakeGvs();
    testing::UseFakeGvOptions("");
  }

  PictureLoadContext Context(const std::string& gvPath = "") {
    PictureLoadContext c;
    c.wallFile = folder_.File("WallPaper.bmp");
    c.gvPath = gvPath;
    c.gvCommandTimeoutMs = 5000;
    c.susie = [this](const std::string& path, Picture& target) { return host_.LoadFromFile(path, target); };
    return c;
  }
  void LoadPluginFolder(const std::string& name) {
    ASSERT_EQ(host_.LoadPlugins(testing::ExeFolder() + "..\\fixtures\\plugins\\" + name + "\\*.SPI"), 1) << name;
  }

  testing::TempFolder folder_;
  TSusiePlugIn host_;
  const testing::TestPicture source_ = testing::MakeTestPicture(37, 21, 5);
  const std::string previousWallpaper_ = EncodeBmp24(ToPicture(testing::MakeTestPicture(8, 8, 99)));
};

TEST_F(LoadPictureWin32, BitmapFilesLoadFirstWhateverTheirName) {
  // A bitmap named .jpg is still read as a bitmap, before any plug-in or GV is asked.
  for (const char* name : {"plain.bmp", "写真.BMP", "named.jpg"}) {
    const std::string path = folder_.File(name);
    ASSERT_TRUE(WriteFileBytes(path, EncodeBmp24(ToPicture(source_))));
    Picture picture;
    ASSERT_TRUE(LoadPicture(path, picture, Context())) << name;
    EXPECT_EQ(picture, ToPicture(source_)) << name;
  }
}

TEST_F(LoadPictureWin32, PlugInDecodesWhatIsNotABitmap) {
  LoadPluginFolder("vtp24");
  const std::string path = folder_.File("絵.vtp");
  ASSERT_TRUE(WriteFileBytes(path, testing::EncodeTestPicture(source_)));
  ASSERT_TRUE(WriteFileBytes(Context().wallFile, previousWallpaper_));
  Picture picture;
  ASSERT_TRUE(LoadPicture(path, picture, Context()));
  EXPECT_EQ(picture, ToPicture(source_));
  EXPECT_EQ(ReadFileBytes(Context().wallFile), previousWallpaper_);
}

TEST_F(LoadPictureWin32, UnreadablePictureWithoutPlugInOrGvLeavesEverythingAsItWas) {
  const std::string jpeg = folder_.File("photo.jpg");
  ASSERT_TRUE(WriteFileBytes(jpeg, std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11) + std::string(500, 'x')));
  const Picture before{2, 1, {0x123456, 0x654321}};

  // With a previous wallpaper file: it keeps its content.
  ASSERT_TRUE(WriteFileBytes(Context().wallFile, previousWallpaper_));
  Picture picture = before;
  EXPECT_FALSE(LoadPicture(jpeg, picture, Context()));
  EXPECT_EQ(picture, before);
  EXPECT_EQ(ReadFileBytes(Context().wallFile), previousWallpaper_);

  // Without one: none is left behind.
  ASSERT_TRUE(DeleteFileW(ToWide(Context().wallFile).c_str()));
  EXPECT_FALSE(LoadPicture(jpeg, picture, Context()));
  EXPECT_FALSE(FileExists(Context().wallFile));

  // A missing picture file fails the same quiet way.
  EXPECT_FALSE(LoadPicture(folder_.File("gone.bmp"), picture, Context()));
  EXPECT_EQ(picture, before);
}

TEST_F(LoadPictureWin32, GvConvertsWhatNoPlugInReadsAndTheWallpaperFileComesBack) {
  // The only plug-in refuses; GV reads the picture instead.
  LoadPluginFolder("refuse");
  const std::string path = folder_.File("夏.mag");
  ASSERT_TRUE(WriteFileBytes(path, testing::EncodeTestPicture(source_)));
  // Not even a bitmap: the user's file must still come back byte for byte.
  const std::string previous = "not a bitmap, but somebody's file";
  ASSERT_TRUE(WriteFileBytes(Context().wallFile, previous));

  Picture picture;
  ASSERT_TRUE(LoadPicture(path, picture, Context(testing::FakeGvExe())));
  EXPECT_EQ(picture, ToPicture(source_));
  EXPECT_EQ(ReadFileBytes(Context().wallFile), previous);
}

TEST_F(LoadPictureWin32, GvFailuresReportFalseAndRestoreTheWallpaperFile) {
  const std::string path = folder_.File("冬.pi");
  ASSERT_TRUE(WriteFileBytes(path, testing::EncodeTestPicture(source_)));
  for (const char* option : {"--refuse-open", "--refuse-save", "--save-nothing", "--die-on-save"}) {
    ASSERT_TRUE(WriteFileBytes(Context().wallFile, previousWallpaper_));
    testing::UseFakeGvOptions(option);
    Picture picture;
    EXPECT_FALSE(LoadPicture(path, picture, Context(testing::FakeGvExe()))) << option;
    EXPECT_TRUE(picture.Empty()) << option;
    EXPECT_EQ(ReadFileBytes(Context().wallFile), previousWallpaper_) << option;
    testing::EndFakeGvs();
  }
}

}  // namespace
}  // namespace vorel
