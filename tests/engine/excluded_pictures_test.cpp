// The exclusion list: the same file however its path is written, the filter over a candidate
// list (its order kept), and the list under the settings key, taken back without a trace.
#include "engine/excluded_pictures.h"

#include <gtest/gtest.h>

#include "engine/settings_store.h"

namespace vorel {
namespace {

TEST(ExcludedPictures, PathsOfTheSameFileCompareEqual) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"C:\\Pictures\\Sea.BMP", "c:\\pictures\\sea.bmp", true},
      {"C:\\Pictures\\sea.bmp", "C:/Pictures//sea.bmp", true},
      {"C:\\Pictures\\.\\x\\..\\sea.bmp", "C:\\Pictures\\sea.bmp", true},
      {"C:\\Pictures\\sea.bmp. . ", "C:\\Pictures\\sea.bmp", true},
      {"\\\\?\\C:\\Pictures\\sea.bmp", "C:\\Pictures\\sea.bmp", true},
      {"\\\\?\\UNC\\server\\share\\a.bmp", "\\\\SERVER\\share\\a.bmp", true},
      {"\\\\server\\share\\..\\..\\a.bmp", "\\\\server\\share\\a.bmp", true},
      {"C:\\..\\..\\a.bmp", "C:\\a.bmp", true},
      {"C:\\写真\\ＡＢ.bmp", "C:\\写真\\ａｂ.BMP", true},
      {"C:\\Ärger\\é.bmp", "c:\\ärger\\É.bmp", true},
      {"C:\\Pictures\\sea.bmp", "D:\\Pictures\\sea.bmp", false},
      {"C:\\Pictures\\sea.bmp", "C:\\Pictures\\sea.bmp2", false},
      {"C:\\a\\b.bmp", "C:\\ab.bmp", false},
      {"\\a.bmp", "a.bmp", false},
      {"C:a.bmp", "C:\\a.bmp", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SamePicturePath(c.a, c.b), c.same);
  }
}

TEST(ExcludedPictures, TheFilterTakesOutEveryWritingOfAnExcludedFile) {
  // The file system's own knowledge: the current folder and an 8.3 alias.
  int folderQuestions = 0;
  const PathResolver resolve = [&](const std::string& path) -> std::string {
    if (path == "C:\\PICTUR~1") ++folderQuestions;
    if (path.rfind("C:\\PICTUR~1", 0) == 0) return "C:\\Pictures Of Summer" + path.substr(11);
    if (path == "C:\\Pictures Of Summer") ++folderQuestions;
    if (path == "sea.bmp") return "C:\\Pictures Of Summer\\sea.bmp";
    if (path == "C:\\Pictures Of Summer\\SKY~1.BMP") return "C:\\Pictures Of Summer\\sky blue.bmp";
    return path;
  };
  ExclusionFilter filter({"sea.bmp", "C:\\pictures of summer\\Sky Blue.bmp"}, resolve);
  std::vector<PictureEntry> candidates;
  for (const char* path :
       {"C:\\Pictures Of Summer\\SEA.bmp", "C:\\Pictures Of Summer\\dune.bmp", "C:\\PICTUR~1\\sea.bmp",
        "C:\\PICTUR~1\\wave.bmp", "C:\\Pictures Of Summer\\SKY~1.BMP", "C:\\Pictures Of Summer\\sea.bmp.bak",
        "C:\\Pictures Of Summer\\sky blue.bmp", "C:\\PICTUR~1\\shell.bmp"})
    candidates.push_back({.path = path, .displayTime = "30"});
  filter.RemoveFrom(candidates);
  std::vector<std::string> kept;
  for (const PictureEntry& e : candidates) kept.push_back(e.path);
  EXPECT_EQ(kept, (std::vector<std::string>{"C:\\Pictures Of Summer\\dune.bmp", "C:\\PICTUR~1\\wave.bmp",
                                            "C:\\Pictures Of Summer\\sea.bmp.bak", "C:\\PICTUR~1\\shell.bmp"}));
  EXPECT_EQ(candidates.front().displayTime, "30");
  // Each folder was asked about once, however many of its pictures there were.
  EXPECT_EQ(folderQuestions, 2);

  ExclusionFilter none({}, resolve);
  EXPECT_TRUE(none.Empty());
  EXPECT_FALSE(none.Excluded("C:\\Pictures Of Summer\\sea.bmp"));
}

TEST(ExcludedPictures, TheListIsStoredAddedOnceAndTakenBackWithoutATrace) {
  MemoryRegistry reg;
  const char* key = kSettingsKeyPath;
  // Never used: a save stores nothing of it.
  Settings s = LoadSettings(ProgramKind::kVorelset, reg, {"C:\\", 1024, 768});
  EXPECT_TRUE(s.excluded.empty());
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(key, "ExcludeNum"), nullptr);
  EXPECT_EQ(reg.Get(key, "HotKeyNext"), nullptr);

  std::vector<std::string> list = LoadExcluded(reg);
  EXPECT_TRUE(AddExcluded(list, "C:\\a.bmp"));
  EXPECT_TRUE(AddExcluded(list, "C:\\b.bmp"));
  EXPECT_FALSE(AddExcluded(list, "c:/A.BMP"));
  EXPECT_FALSE(AddExcluded(list, ""));
  ASSERT_TRUE(SaveExcluded(list, reg));
  // Both programs read it.
  for (const ProgramKind program : {ProgramKind::kVorelset, ProgramKind::kVorelrun})
    EXPECT_EQ(LoadSettings(program, reg, {"C:\\", 1024, 768}).excluded, list);

  // Taken back in the settings window and saved: the key holds no trace of it.
  s = LoadSettings(ProgramKind::kVorelset, reg, {"C:\\", 1024, 768});
  s.excluded.erase(s.excluded.begin());
  ASSERT_TRUE(SaveSettings(s, reg));
  EXPECT_EQ(reg.Get(key, "ExcludeNum")->number, 1);
  EXPECT_EQ(reg.Get(key, "ExcludeFile0")->text, "C:\\b.bmp");
  EXPECT_EQ(reg.Get(key, "ExcludeFile1"), nullptr);

  // Hand-edited damage: a count beyond the entries, a path of another type, an empty path.
  reg.SetInt(key, "ExcludeNum", 4);
  reg.SetInt(key, "ExcludeFile1", 5);
  reg.SetText(key, "ExcludeFile2", "");
  EXPECT_EQ(LoadExcluded(reg), (std::vector<std::string>{"C:\\b.bmp"}));
  reg.SetInt(key, "ExcludeNum", -3);
  EXPECT_TRUE(LoadExcluded(reg).empty());
}

}  // namespace
}  // namespace vorel
