#include "converters/gv_commands.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(RequestExtension, TakesTheLastDotOfTheFileNameOnly) {
  struct Case {
    const char* path;
    const char* extension;
  } cases[] = {
      {"C:\\Pictures\\cat.jpg", ".JPG"},
      {"C:\\Pictures\\cat.tar.Gz", ".GZ"},
      {"C:\\Pictures.old\\cat", ""},  // a dot in a folder name is not the extension
      {"C:\\Pictures.old\\cat.pi", ".PI"},
      {"C:/Pictures.old/cat", ""},
      {"cat.SunRaster", ".SUNRASTER"},
      {"C:\\Pictures\\cat.", "."},
      {"C:\\Pictures\\.hidden", ".HIDDEN"},
      {"", ""},
      {"C:\\写真\\猫.jpeg", ".JPEG"},
      {"C:\\写真\\猫.ｊｐｇ", ".ｊｐｇ"},  // full-width letters are not ASCII and stay as they are
      {"C:\\写真.フォルダ\\猫", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RequestExtension(c.path), c.extension) << c.path;
}

TEST(IsGvExtension, MatchesTheGvListIgnoringLetterCase) {
  for (std::string_view known : kGvExtensions) {
    EXPECT_TRUE(IsGvExtension(known)) << known;
    EXPECT_TRUE(IsGvExtension(RequestExtension(std::string("x") + std::string(known)))) << known;
  }
  for (const char* in : {".pi", ".PI", ".sunraster", ".PHOTOCD", ".photocd", ".jpg", ".x", ".Zip", ".pic2"})
    EXPECT_TRUE(IsGvExtension(in)) << in;
  for (const char* out : {"", ".", ".PNG", ".JP", ".JPGX", "JPG", ".PIC3", ".SUN", ".XX", ".ｊｐｇ", " .JPG"})
    EXPECT_FALSE(IsGvExtension(out)) << out;
}

TEST(GvProgramFile, IsGvPathWithoutTheQuotesAroundIt) {
  struct Case {
    const char* gvPath;
    const char* file;
  } cases[] = {
      {"C:\\Program Files\\GV\\Gv.exe", "C:\\Program Files\\GV\\Gv.exe"},
      {"\"C:\\Program Files\\GV\\Gv.exe\"", "C:\\Program Files\\GV\\Gv.exe"},
      {"  \"C:\\My GV\\Gv.exe\" ", "C:\\My GV\\Gv.exe"},
      {"\"C:\\写真 ソフト\\Gv.exe\"", "C:\\写真 ソフト\\Gv.exe"},
      {"\"C:\\GV\\Gv.exe", "\"C:\\GV\\Gv.exe"},  // unbalanced: left for the start to refuse
      {"\"", "\""},
      {"\"\"", ""},
      {"", ""},
      {"   ", ""},
      {" C:\\GV\\Gv.exe ", "C:\\GV\\Gv.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(GvProgramFile(c.gvPath), c.file) << c.gvPath;
}

TEST(GvCommands, AreTheExactTextsGvUnderstands) {
  EXPECT_EQ(GvShowCommand(), "ShowGV(ON)");
  EXPECT_EQ(GvOpenCommand("C:\\写真\\a b.mag"), "FileOpen(C:\\写真\\a b.mag)");
  EXPECT_EQ(GvSaveCommand("C:\\Vorel\\WallPaper.bmp"), "FileSaveEx(C:\\Vorel\\WallPaper.bmp,ON,ON)");
  EXPECT_EQ(GvExitCommand(), "ExitGV()");
}

}  // namespace
}  // namespace vorel
