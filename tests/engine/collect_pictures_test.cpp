// Candidates from folders over a fake file system: walk order, pattern-major order,
// inherited texts, and FindFirstFile's way of matching patterns.
#include "engine/collect_pictures.h"

#include <gtest/gtest.h>

#include <map>

namespace vorel {
namespace {

// Folders by path, each with its items in "file-system order"; counts the listings.
struct FakeTree {
  std::map<std::string, std::vector<DirectoryItem>> folders;
  std::map<std::string, int> listed;

  void Add(const std::string& folder, std::initializer_list<const char*> files,
           std::initializer_list<const char*> dirs = {}) {
    auto& items = folders[folder];
    items.push_back({".", "", true});
    items.push_back({"..", "", true});
    for (const char* d : dirs) {
      items.push_back({d, "", true});
      folders.try_emplace(folder + "\\" + d);
    }
    for (const char* f : files) items.push_back({f, "", false});
  }

  DirectoryLister Lister() {
    return [this](const std::string& folder, std::vector<DirectoryItem>& items) {
      ++listed[folder];
      auto it = folders.find(folder);
      if (it == folders.end()) return false;
      items = it->second;
      return true;
    };
  }
};

FolderEntry Folder(const std::string& path, const std::string& sub = kSubfoldersIgnore) {
  FolderEntry f;
  f.path = path;
  f.subfolders = sub;
  return f;
}

std::vector<std::string> Paths(const std::vector<FolderEntry>& v) {
  std::vector<std::string> out;
  for (const auto& f : v) out.push_back(f.path + " " + f.subfolders);
  return out;
}

std::vector<std::string> Paths(const std::vector<PictureEntry>& v) {
  std::vector<std::string> out;
  for (const auto& p : v) out.push_back(p.path);
  return out;
}

TEST(CollectPictures, OneLevelSearchesDirectSubfoldersOnly) {
  FakeTree tree;
  tree.Add("R", {"r.bmp"}, {"A", "B"});
  tree.Add("R\\A", {"a.bmp"}, {"C"});
  tree.Add("R\\B", {"b.bmp"});
  tree.Add("R\\A\\C", {"c.bmp"});
  std::vector<FolderEntry> folders = {Folder("R", kSubfoldersOneLevel)};
  folders[0].tile = "タイル";
  folders[0].displayTime = "30";
  std::vector<PictureEntry> candidates;
  CollectPictures(folders, candidates, {"*.BMP"}, tree.Lister());

  EXPECT_EQ(Paths(folders), (std::vector<std::string>{"R 一層", "R\\A 無視", "R\\B 無視"}));
  EXPECT_EQ(Paths(candidates), (std::vector<std::string>{"R\\r.bmp", "R\\A\\a.bmp", "R\\B\\b.bmp"}));
  for (const auto& f : folders) EXPECT_EQ(f.tile, "タイル");
  for (const auto& p : candidates) {
    EXPECT_EQ(p.tile, "タイル");
    EXPECT_EQ(p.displayTime, "30");
    EXPECT_EQ(p.size, "標準");
  }
}

TEST(CollectPictures, AllLevelsAppendDeeperFoldersBehindEverythingBefore) {
  FakeTree tree;
  tree.Add("R", {}, {"A", "B"});
  tree.Add("R\\A", {"a.bmp"}, {"C"});
  tree.Add("R\\A\\C", {"c.bmp"});
  tree.Add("S", {"s.bmp"});
  std::vector<FolderEntry> folders = {Folder("R", kSubfoldersAll), Folder("S")};
  std::vector<PictureEntry> candidates = {{"user.jpg"}};
  CollectPictures(folders, candidates, {"*.BMP"}, tree.Lister());

  EXPECT_EQ(Paths(folders), (std::vector<std::string>{"R 全て", "S 無視", "R\\A 全て", "R\\B 全て", "R\\A\\C 全て"}));
  EXPECT_EQ(Paths(candidates), (std::vector<std::string>{"user.jpg", "S\\s.bmp", "R\\A\\a.bmp", "R\\A\\C\\c.bmp"}));
}

TEST(CollectPictures, PatternMajorFolderMinorFileSystemOrderDuplicatesKept) {
  FakeTree tree;
  tree.Add("F1", {"z.jpg", "b.BMP", "a.bmp", "pic.jpg"});
  tree.Add("F2", {"y.bmp", "x.JPG"});
  std::vector<FolderEntry> folders = {Folder("F1"), Folder("F2"), Folder("F1")};
  std::vector<PictureEntry> candidates = {{"F1\\a.bmp"}};
  CollectPictures(folders, candidates, {"*.BMP", "*.JPG", "*.B?P"}, tree.Lister());

  EXPECT_EQ(Paths(candidates),
            (std::vector<std::string>{"F1\\a.bmp", "F1\\b.BMP", "F1\\a.bmp", "F2\\y.bmp", "F1\\b.BMP", "F1\\a.bmp",
                                      "F1\\z.jpg", "F1\\pic.jpg", "F2\\x.JPG", "F1\\z.jpg", "F1\\pic.jpg", "F1\\b.BMP",
                                      "F1\\a.bmp", "F2\\y.bmp", "F1\\b.BMP", "F1\\a.bmp"}));
  // One listing per folder, however many patterns and repeats.
  EXPECT_EQ(tree.listed["F1"], 1);
  EXPECT_EQ(tree.listed["F2"], 1);
}

TEST(CollectPictures, EmptyPathSearchesTheRootAndMissingFoldersGiveNothing) {
  FakeTree tree;
  tree.Add("", {"root.bmp"}, {"Sub"});
  tree.Add("\\Sub", {"s.bmp"});
  std::vector<FolderEntry> folders = {Folder("", kSubfoldersAll), Folder("C:\\nowhere", kSubfoldersAll)};
  std::vector<PictureEntry> candidates;
  CollectPictures(folders, candidates, {"*.bmp"}, tree.Lister());
  EXPECT_EQ(Paths(candidates), (std::vector<std::string>{"\\root.bmp", "\\Sub\\s.bmp"}));
  EXPECT_EQ(folders.size(), 3u);
}

TEST(CollectPictures, NoFoldersNoPicturesNoCandidates) {
  FakeTree tree;
  std::vector<FolderEntry> folders;
  std::vector<PictureEntry> candidates;
  CollectPictures(folders, candidates, {"*.BMP"}, tree.Lister());
  EXPECT_TRUE(candidates.empty());
}

TEST(CollectPictures, DirectoriesNeverBecomePictures) {
  FakeTree tree;
  tree.Add("R", {"a.bmp"}, {"dir.bmp"});
  std::vector<FolderEntry> folders = {Folder("R")};
  std::vector<PictureEntry> candidates;
  CollectPictures(folders, candidates, {"*.BMP", "*"}, tree.Lister());
  EXPECT_EQ(Paths(candidates), (std::vector<std::string>{"R\\a.bmp", "R\\a.bmp"}));
}

TEST(CollectPictures, ALoopOfDirectoryLinksStopsAtTheFolderLimit) {
  // Every folder lists a link back to itself.
  DirectoryLister loop = [](const std::string&, std::vector<DirectoryItem>& items) {
    items = {{"L", "", true}, {"M", "", true}};
    return true;
  };
  std::vector<FolderEntry> folders = {Folder("R", kSubfoldersAll)};
  std::vector<PictureEntry> candidates;
  CollectPictures(folders, candidates, {}, loop);
  EXPECT_EQ(folders.size(), kMaxExpandedFolders);
}

TEST(NamePattern, MatchesLikeFindFirstFile) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.BMP", "a.bmp", true},
      {"*.BMP", "a.Bmp", true},
      {"*.BMP", "a.bmpx", false},
      {"*.BMP", ".bmp", true},
      {"*.BMP", "bmp", false},
      {"*.BMP", "a.b.bmp", true},
      {"*.JPG", "写真.jpg", true},
      {"*.JPG", "写真.ｊｐｇ", false},
      {"*.ＪＰＧ", "x.ｊｐｇ", true},
      {"*.*", "noext", true},
      {"*.*", "a.b", true},
      {"*", "anything", true},
      {"*.", "noext", true},
      {"*.", "a.b", false},
      {"a*.", "abc", true},
      {"?.BMP", "a.bmp", true},
      {"?.BMP", "ab.bmp", false},
      {"??.BMP", "a.bmp", true},
      {"a?", "a", true},
      {"a?", "ab", true},
      {"a?", "abc", false},
      {"*.B?P", "x.bmp", true},
      {"*.B?P", "x.bp", false},
      {"*.JP*", "x.jpeg", true},
      {"*.jp*", "x.jp", true},
      {"*.J*G", "x.jpeg", true},
      {"a*b*c", "aXbYc", true},
      {"a*b*c", "aXbY", false},
      {"FILE.BMP", "file.bmp", true},
      {"FILE.BMP", "file.bmp2", false},
      {"*.BMP.", "a.bmp", true},
      {"*.BMP ", "a.bmp", true},
      {"", "a.bmp", false},
      {"sub\\*.bmp", "a.bmp", false},
      {"*.ÄÖ", "x.äö", true},
      {"*.Я", "x.я", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NamePattern(c.pattern).MatchesName(c.name), c.match) << c.pattern << " ~ " << c.name;
}

TEST(NamePattern, TheShortAliasMatchesToo) {
  EXPECT_TRUE(NamePattern("*.TIF").Matches({"photo.tiff", "PHOTO~1.TIF", false}));
  EXPECT_FALSE(NamePattern("*.TIF").Matches({"photo.tiff", "", false}));
}

TEST(NamePattern, ManyStarsOnALongNameFinishQuickly) {
  const std::string name(250, 'a');
  EXPECT_FALSE(NamePattern("*a*a*a*a*a*a*a*a*a*a*a*a*b").MatchesName(name));
  EXPECT_TRUE(NamePattern("*a*a*a*a*a*a*a*a*a*a*a*a*").MatchesName(name));
}

}  // namespace
}  // namespace vorel
