// Picture-file patterns and the dialog filter derived from the plug-ins' filter text.
#include "converters/patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vorel {
namespace {

const PicturePatterns kGv = {"*.CAM",  "*.GIF",       "*.J6I",     "*.JPG", "*.MAG", "*.PIC",  "*.PMP",  "*.SJ1",
                             "*.XBM",  "*.SUNRASTER", "*.PHOTOCD", "*.PI",  "*.TIF", "*.TIFF", "*.MAKI", "*.PIC2",
                             "*.PICT", "*.XPM",       "*.WMF",     "*.LZH", "*.ZIP", "*.X"};

PicturePatterns Join(std::initializer_list<PicturePatterns> parts) {
  PicturePatterns out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::string FilterOf(const std::vector<std::pair<std::string, std::string>>& plugins) {
  std::string text(kInitialFilterText);
  for (const auto& [description, pattern] : plugins) text += FilterPair(description, AsciiUpper(pattern));
  return text;
}

struct PatternCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> plugins;  // description, pattern as declared
  bool gvKnown;
  ProgramKind program;
  PicturePatterns expected;
};

class PatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(PatternTest, BuildsPatternsInOrder) {
  const auto& c = GetParam();
  EXPECT_EQ(BuildPicturePatterns(FilterOf(c.plugins), c.gvKnown, c.program).picturePatterns, c.expected);
}

const auto kSet = ProgramKind::kVorelset;
const auto kRun = ProgramKind::kVorelrun;

INSTANTIATE_TEST_SUITE_P(
    Scan, PatternTest,
    ::testing::Values(
        PatternCase{"NoPluginNoGv", {}, false, kSet, {"*.BMP"}},
        PatternCase{"NoPluginGvKnown", {}, true, kSet, Join({kGv, {"*.BMP", "*.JPEG"}})},
        PatternCase{"NoPluginGvKnownVorelrun", {}, true, kRun, Join({kGv, {"*.BMP", "*.JPEG"}})},
        // Nothing comes from the description; the second *.JPEG goes as a duplicate.
        PatternCase{
            "JpegListNoGv", {{"JPEG [*.JPG;*.JPEG]", "*.JPG;*.JPEG"}}, false, kSet, {"*.JPG", "*.JPEG", "*.BMP"}},
        PatternCase{
            "JpegListNoGvVorelrun", {{"JPEG", "*.JPG;*.JPEG"}}, false, kRun, {"*.JPG", "*.JPEG", "*.BMP", "*.JPEG"}},
        PatternCase{
            "LowerCaseGifWithGv",
            {{"GIF", "*.gif"}},
            true,
            kSet,
            Join({{"*.GIF", "*.CAM", "*.J6I"}, PicturePatterns(kGv.begin() + 3, kGv.end()), {"*.BMP", "*.JPEG"}})},
        PatternCase{
            "LowerCaseGifWithGvVorelrun", {{"GIF", "*.gif"}}, true, kRun, Join({{"*.GIF"}, kGv, {"*.BMP", "*.JPEG"}})},
        // A BMP plug-in makes the BMP entry unnecessary unless GV is known.
        PatternCase{"BmpPluginNoGv", {{"Bitmap", "*.bmp"}, {"PNG", "*.png"}}, false, kSet, {"*.BMP", "*.PNG"}},
        PatternCase{"BmpPluginWithGv", {{"Bitmap", "*.bmp"}}, true, kSet, Join({{"*.BMP"}, kGv, {"*.JPEG"}})},
        PatternCase{"TwoPluginsSameFormat", {{"PNG", "*.png"}, {"PNG2", "*.PNG"}}, false, kSet, {"*.PNG", "*.BMP"}},
        PatternCase{"TwoPluginsSameFormatVorelrun",
                    {{"PNG", "*.png"}, {"PNG2", "*.PNG"}},
                    false,
                    kRun,
                    {"*.PNG", "*.PNG", "*.BMP"}},
        // A plug-in that reads everything adds nothing: "*.*" lines are dropped.
        PatternCase{"AllFilesPluginAndBlanks",
                    {{"Any", "*.*"}, {"Tiff", "*.tif; *.tiff"}},
                    false,
                    kSet,
                    {"*.TIF", "*.TIFF", "*.BMP"}},
        PatternCase{
            "MultiByteTextKept", {{"画像", "*.ｊｐｇ;*.jpg"}}, false, kSet, {"*.ｊｐｇ", "*.JPG", "*.BMP", "*.JPEG"}}),
    [](const auto& param) { return param.param.name; });

TEST(FilterTextTest, PairAndDialogFilter) {
  EXPECT_EQ(std::string(kInitialFilterText) + FilterPair("JPEG", AsciiUpper("*.jpg")),
            "AllType   [*.*]|*.*|JPEG   [*.JPG]|*.JPG|");

  const std::string filter = FilterOf({{"PNG", "*.png"}});
  EXPECT_EQ(BuildPicturePatterns(filter, false, kSet).dialogFilter, filter + "ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)|*.BMP|");
  EXPECT_EQ(BuildPicturePatterns(FilterOf({{"BMP", "*.BMP"}}), false, kSet).dialogFilter, FilterOf({{"BMP", "*.BMP"}}));

  const std::string withGv = BuildPicturePatterns(filter, true, kRun).dialogFilter;
  EXPECT_EQ(withGv.rfind(filter, 0), 0u);
  EXPECT_EQ(withGv.substr(filter.size()),
            "QV-10(*.cam)|*.CAM|JEIDAのG16-1993ファイル(*.J6I)|*.J6I|jpegファイル(*.JPG)|*.JPG|"
            "magファイル(*.MAG)|*.MAG|X68K用ファイル(*.PIC)|*.PIC|Cyber-shotファイル(*.PMP)|*.PMP|"
            "DIGIOファイル(*.SJ1)|*.SJ1|X-Windowファイル(*.XBM)|*.XBM|Sunのラスタファイル(*.SunRaster)|*.SunRaster|"
            "コダック社の写真用ファイル(*.PhotoCD)|*.PhotoCD|16/256色用ファイル(*.Pi)|*.Pi|"
            "Tagged Image File Formatファイル(*.TIF;*.TIFF)|*.TIF;*.TIFF|makiファイル(*.MAKI)|*.MAKI|"
            "Mac用ファイル(*.PICT)|*.PICT|X-Windowファイル(*.XPM)|*.XPM|Windowsのメタファイル(*.WMF)|*.WMF|"
            "LHAで圧縮したファイル(*.LZH)|*.LZH|ZIPで圧縮した(*.ZIP)|*.ZIP|XBMを改良した(*.X)|*.X|"
            "GIFファイル(*.gif)|*.GIF|ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)|*.BMP|");
}

TEST(FilterTextTest, AsciiUpperLeavesMultiByteTextAlone) {
  EXPECT_EQ(AsciiUpper("*.jpg;ｊｐｇ画像"), "*.JPG;ｊｐｇ画像");
  EXPECT_EQ(AsciiUpper("\xE3\x81\xA1z"), "\xE3\x81\xA1Z");
}

}  // namespace
}  // namespace vorel
