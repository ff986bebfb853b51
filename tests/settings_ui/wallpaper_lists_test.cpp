#include "settings_ui/wallpaper_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

namespace vorel {
namespace {

Selection Rows(size_t count, std::initializer_list<size_t> selected) {
  Selection rows(count, false);
  for (const size_t n : selected) rows[n] = true;
  return rows;
}

struct DeletionCase {
  const char* name;
  Selection selected;
  std::vector<size_t> removed;
  std::optional<size_t> select;
};

TEST(PlanDeletion, SelectsWhatTheRuleNames) {
  const std::vector<DeletionCase> cases{
      {"last two of five", Rows(5, {3, 4}), {4, 3}, 2},
      {"first of three", Rows(3, {0}), {0}, 0},
      {"middle rows apart", Rows(6, {1, 4}), {4, 1}, 1},
      {"nothing selected", Rows(4, {}), {}, 0},
      {"every row", Rows(3, {0, 1, 2}), {2, 1, 0}, std::nullopt},
      {"empty list", Rows(0, {}), {}, std::nullopt},
      {"only row", Rows(1, {0}), {0}, std::nullopt},
  };
  for (const DeletionCase& c : cases) {
    const DeletionPlan plan = PlanDeletion(c.selected);
    EXPECT_EQ(plan.removed, c.removed) << c.name;
    EXPECT_EQ(plan.select, c.select) << c.name;
  }
}

TEST(DeleteSelected, RemovesTheSelectedEntriesOnly) {
  std::vector<PictureEntry> files(5);
  for (size_t n = 0; n < files.size(); ++n) files[n].path = "p" + std::to_string(n);
  const auto select = DeleteSelected(files, Rows(5, {1, 3}));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].path, "p0");
  EXPECT_EQ(files[1].path, "p2");
  EXPECT_EQ(files[2].path, "p4");
  EXPECT_EQ(select, 1u);
}

int ByteCompare(const std::string& a, const std::string& b) { return a.compare(b); }

TEST(SortFoldersByPath, KeepsTrackOfTheSelectedRowAndEqualPathsInOrder) {
  std::vector<FolderEntry> folders(4);
  folders[0].path = "c";
  folders[1].path = "a";
  folders[1].tile = "タイル";
  folders[2].path = "b";
  folders[3].path = "a";
  folders[3].tile = "中央";
  const size_t kept = SortFoldersByPath(folders, 2, ByteCompare);
  EXPECT_EQ(kept, 2u);
  EXPECT_EQ(folders[0].tile, "タイル");
  EXPECT_EQ(folders[1].tile, "中央");
  EXPECT_EQ(folders[2].path, "b");
  EXPECT_EQ(folders[3].path, "c");
}

std::vector<size_t> ByName(const std::vector<std::string>& names) {
  std::vector<size_t> order(names.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return names[a] < names[b]; });
  return order;
}

TEST(BuildFolderContents, EveryNameKeepsItsOwnFolderAndTextsWhenTheFoldersInterleave) {
  const std::vector<PictureEntry> scanned{
      {"C:\\A\\a1.bmp", kStandard, "タイル", "する", "左上"},   {"C:\\A\\c1.bmp", kStandard, "タイル", "する", "左上"},
      {"C:\\B\\b2.bmp", "30", "中央", "しない", "右下"},        {"C:\\B\\d2.bmp", "30", "中央", "しない", "右下"},
      {"bare.bmp", kStandard, kStandard, kStandard, kStandard},
  };
  const FolderContents contents = BuildFolderContents(scanned, ByName);
  ASSERT_EQ(contents.names, (std::vector<std::string>{"a1.bmp", "b2.bmp", "bare.bmp", "c1.bmp", "d2.bmp"}));
  const std::map<std::string, std::string> folderOf{
      {"a1.bmp", "C:\\A\\"}, {"c1.bmp", "C:\\A\\"}, {"b2.bmp", "C:\\B\\"}, {"d2.bmp", "C:\\B\\"}, {"bare.bmp", ""}};
  for (size_t n = 0; n < contents.names.size(); ++n) {
    const std::string& name = contents.names[n];
    EXPECT_EQ(contents.sources[n].folder, folderOf.at(name)) << name;
    EXPECT_EQ(contents.PathAt(n), folderOf.at(name) + name);
    const bool fromB = folderOf.at(name) == "C:\\B\\";
    EXPECT_EQ(contents.sources[n].tile, fromB ? "中央" : (name == "bare.bmp" ? kStandard : "タイル")) << name;
    EXPECT_EQ(contents.sources[n].position, fromB ? "右下" : (name == "bare.bmp" ? kStandard : "左上")) << name;
  }
}

TEST(FitIntoSquare, FitsTheLongerSideAndCentresTheOther) {
  struct Case {
    int w, h, side;
    PreviewRect expected;
  };
  const std::vector<Case> cases{
      {200, 100, 140, {0, 35, 140, 70}},
      {100, 200, 140, {35, 0, 70, 140}},
      {50, 50, 140, {0, 0, 140, 140}},
      {3, 1, 140, {0, 47, 140, 46}},
      {1, 3, 140, {47, 0, 46, 140}},
      {0, 10, 140, {}},
      {10, 0, 140, {}},
      {10, 10, 0, {}},
      {32767, 1, 140, {0, 70, 140, 0}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitIntoSquare(c.w, c.h, c.side), c.expected) << c.w << "x" << c.h << " in " << c.side;
  EXPECT_EQ(PreviewSide(481), 140);
  EXPECT_EQ(PreviewSide(600), 174);
}

TEST(SortDroppedPaths, FoldersAndFilesInTheDropsOrderWithRefusals) {
  const std::map<std::string, PathKind> disk{
      {"C:\\pics", PathKind::kFolder}, {"C:\\readme.txt", PathKind::kFile},  {"C:\\b.bmp", PathKind::kFile},
      {"C:\\more", PathKind::kFolder}, {"C:\\gone.bmp", PathKind::kUnknown},
  };
  const auto kindOf = [&](const std::string& path) {
    const auto found = disk.find(path);
    return found == disk.end() ? PathKind::kUnknown : found->second;
  };
  const std::string longest = "C:\\" + std::string(251, 'x');  // 254 characters
  const std::string tooLong = "C:\\" + std::string(252, 'x');  // 255
  const std::string wideLongest = "C:\\" + [] {                // 254 characters, 3 bytes each
    std::string s;
    for (int n = 0; n < 251; ++n) s += "画";
    return s;
  }();
  const std::vector<std::string> dropped{"C:\\readme.txt", "C:\\pics", longest,     tooLong, "C:\\gone.bmp",
                                         "C:\\b.bmp",      "D:\\",     wideLongest, "e:",    "C:\\more"};
  const DroppedEntries result = SortDroppedPaths(dropped, [&](const std::string& path) {
    if (path == longest || path == wideLongest) return PathKind::kFile;
    return kindOf(path);
  });
  ASSERT_EQ(result.folders.size(), 4u);
  EXPECT_EQ(result.folders[0].path, "C:\\pics");
  EXPECT_EQ(result.folders[1].path, "D:");
  EXPECT_EQ(result.folders[2].path, "e:");
  EXPECT_EQ(result.folders[3].path, "C:\\more");
  EXPECT_EQ(result.folders[0], (FolderEntry{"C:\\pics", "無視", "標準", "標準", "標準", "標準"}));
  ASSERT_EQ(result.files.size(), 4u);
  EXPECT_EQ(result.files[0], (PictureEntry{"C:\\readme.txt", "標準", "標準", "標準", "標準"}));
  EXPECT_EQ(result.files[1].path, longest);
  EXPECT_EQ(result.files[2].path, "C:\\b.bmp");
  EXPECT_EQ(result.files[3].path, wideLongest);
  EXPECT_EQ(result.refused, (std::vector<std::string>{tooLong, "C:\\gone.bmp"}));
}

TEST(Utf16Length, CountsSurrogatePairsAsTwo) {
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("画像"), 2u);
  EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);  // U+1F600
}

TEST(IsDriveRoot, OnlyTheBareRoot) {
  for (const char* yes : {"C:", "C:\\", "z:/"}) EXPECT_TRUE(IsDriveRoot(yes)) << yes;
  for (const char* no : {"", "C", "C:\\x", "1:\\", "\\\\server\\share", "CC:"}) EXPECT_FALSE(IsDriveRoot(no)) << no;
}

Selection Pick(size_t count, std::initializer_list<size_t> rows) { return Rows(count, rows); }

TEST(FolderSetup, ShowsTheFirstSelectedTextsListsPathsLastFirstAndWritesAll) {
  std::vector<FolderEntry> folders{{"A", "一層", "30", "タイル", "する", "左上"},
                                   {"M", "全て", "5", "中央", "しない", "右"},
                                   {"B", "無視", kStandard, kStandard, kStandard, kStandard}};
  const Selection selected = Pick(3, {0, 2});
  const SetupGathering gathered = GatherFolderSetup(folders, selected);
  EXPECT_TRUE(gathered.any);
  EXPECT_EQ(gathered.paths, (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(gathered.texts, (SetupTexts{"一層", "30", "タイル", "する", "左上"}));
  ApplyFolderSetup(folders, selected, gathered.texts);
  EXPECT_EQ(folders[2], (FolderEntry{"B", "一層", "30", "タイル", "する", "左上"}));
  EXPECT_EQ(folders[1], (FolderEntry{"M", "全て", "5", "中央", "しない", "右"}));
  EXPECT_FALSE(GatherFolderSetup(folders, Pick(3, {})).any);
}

TEST(FileSetup, ShowsTheLastSelectedTextsListsPathsInOrderAndLeavesTheRest) {
  std::vector<PictureEntry> files{{"a", "30", "タイル", "する", "左上"},
                                  {"b", kStandard, kStandard, kStandard, kStandard},
                                  {"c", "7", "中央", "しない", "右下"}};
  const Selection selected = Pick(3, {0, 2});
  const SetupGathering gathered = GatherFileSetup(files, selected);
  EXPECT_EQ(gathered.paths, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(gathered.texts.displayTime, "7");
  EXPECT_EQ(gathered.texts.position, "右下");
  ApplyFileSetup(files, selected, {"全て", kStandard, "タイル", "する", "中央"});
  EXPECT_EQ(files[0], (PictureEntry{"a", kStandard, "タイル", "する", "中央"}));
  EXPECT_EQ(files[2], (PictureEntry{"c", kStandard, "タイル", "する", "中央"}));
  EXPECT_EQ(files[1], (PictureEntry{"b", kStandard, kStandard, kStandard, kStandard}));
}

TEST(ItemIndex, PositionsAndStandardAndUnknownTexts) {
  EXPECT_EQ(ItemIndex(kPositionItems, "左上"), 0);
  EXPECT_EQ(ItemIndex(kPositionItems, "右下"), 8);
  EXPECT_EQ(ItemIndex(kPositionItems, "標準"), 9);
  EXPECT_EQ(ItemIndex(kSizeItems, "しない"), 2);
  EXPECT_EQ(ItemIndex(kSubfolderItems, "全て"), 2);
  EXPECT_EQ(ItemIndex(kTileItems, "tile"), std::nullopt);
}

TEST(EditedPath, AnEmptyEditKeepsThePath) {
  EXPECT_EQ(EditedPath(""), std::nullopt);
  EXPECT_EQ(EditedPath("  \t "), std::nullopt);
  EXPECT_EQ(EditedPath(" C:\\pics "), "C:\\pics");
  EXPECT_EQ(EditedPath("C:\\写真"), "C:\\写真");
}

}  // namespace
}  // namespace vorel
