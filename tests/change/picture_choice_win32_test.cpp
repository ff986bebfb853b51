// Picture choice against the real system: the one-listing-per-folder search gives what a
// FindFirstFileW per folder and pattern gives, and the persistent order lives in the real
// registry where a fresh registry object (the other program) continues the cycle.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>

#include "change/directory_listing_win32.h"
#include "engine/collect_pictures.h"
#include "engine/picture_order.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

constexpr const char* kVorelKey = "Software\\Brelkin\\Vorel";

void MakeDir(const std::string& path) { ASSERT_TRUE(CreateDirectoryW(ToWide(path).c_str(), nullptr)) << path; }

void MakeFiles(const std::string& folder, std::initializer_list<const char*> names) {
  for (const char* name : names) ASSERT_TRUE(testing::WriteFileBytes(folder + "\\" + name, "x")) << name;
}

TEST(CollectPicturesWin32, OneListingPerFolderEqualsOneSearchPerFolderAndPattern) {
  testing::TempFolder temp;
  const std::string root = temp.Path();
  MakeFiles(root, {"a.bmp",
                   "B.BMP",
                   "c.jpg",
                   "d.jpeg",
                   "e.tiff",
                   "f.tif",
                   "写真.jpg",
                   "壁紙（夏）.JPG",
                   "noext",
                   "x.jpgx",
                   "y.pic2",
                   "z.pict",
                   ".hidden.bmp",
                   "a b.bmp",
                   "long name with spaces.jpeg",
                   "m.x",
                   "many.dots.in.name.gif",
                   "ｆｕｌｌ.ｊｐｇ",
                   "UPPER.JPEG",
                   "ab",
                   "a.b.c",
                   "trail.bmp2"});
  MakeDir(root + "\\サブ");
  MakeFiles(root + "\\サブ", {"中.bmp", "中.jpg", "q.TIFF"});
  MakeDir(root + "\\サブ\\深い");
  MakeFiles(root + "\\サブ\\深い", {"z.bmp", "z2.BmP"});
  MakeDir(root + "\\dir.bmp");
  MakeDir(root + "\\empty");

  // "*." and "?" in front of a dot ("??.BMP") are left out: Windows gives them their DOS
  // meaning, as the matching does (tested natively), while Wine 8 reads them literally.
  const std::vector<std::string> patterns = {
      "*.CAM",       "*.GIF",     "*.J6I", "*.JPG",   "*.MAG",  "*.PIC",  "*.PMP",  "*.SJ1",  "*.XBM",
      "*.SUNRASTER", "*.PHOTOCD", "*.PI",  "*.TIF",   "*.TIFF", "*.MAKI", "*.PIC2", "*.PICT", "*.XPM",
      "*.WMF",       "*.LZH",     "*.ZIP", "*.X",     "*.BMP",  "*.JPEG", "*.*",    "*",      "?.BMP",
      "*.J*G",       "*.jp?",     "a*",    "写*.jpg", "a?",     "*.B?P",  "NOEXT",  "*.bmp.", "*.ｊｐｇ"};

  struct Setup {
    const char* what;
    std::vector<FolderEntry> folders;
  };
  FolderEntry all{root, kSubfoldersAll, "15", "タイル", "する", "左上"};
  FolderEntry one{root, kSubfoldersOneLevel};
  FolderEntry sub{root + "\\サブ"};
  FolderEntry missing{root + "\\missing", kSubfoldersAll};
  const std::vector<Setup> setups = {
      {"all levels", {all}}, {"one level", {one}}, {"repeats and a missing folder", {sub, all, missing, sub}}};
  const std::vector<PictureEntry> userPictures = {{"C:\\user.bmp"}};

  auto paths = [](const std::vector<PictureEntry>& v) {
    std::vector<std::string> out;
    for (const auto& p : v) out.push_back(p.path);
    return out;
  };
  for (const Setup& s : setups) {
    // Pattern by pattern first, so that a difference names its pattern; then all at once.
    for (const std::string& pattern : patterns) {
      std::vector<FolderEntry> folders = s.folders;
      std::vector<PictureEntry> candidates;
      CollectPictures(folders, candidates, {pattern}, ListDirectoryWin32);
      EXPECT_EQ(paths(candidates), paths(testing::CollectOneSearchEach(s.folders, {}, {pattern})))
          << s.what << " " << pattern;
    }
    std::vector<FolderEntry> folders = s.folders;
    std::vector<PictureEntry> candidates = userPictures;
    CollectPictures(folders, candidates, patterns, ListDirectoryWin32);
    const std::vector<PictureEntry> expected = testing::CollectOneSearchEach(s.folders, userPictures, patterns);
    EXPECT_EQ(paths(candidates), paths(expected)) << s.what;
    EXPECT_TRUE(candidates == expected) << s.what << ": the texts differ";
  }

  // The case that made the short alias part of the matching: "*.TIF" finds "e.tiff".
  std::vector<FolderEntry> folders = {{root}};
  std::vector<PictureEntry> found;
  CollectPictures(folders, found, {"*.TIF"}, ListDirectoryWin32);
  std::set<std::string> names;
  for (const auto& p : found) names.insert(p.path.substr(root.size() + 1));
  EXPECT_EQ(names, (std::set<std::string>{"f.tif", "e.tiff"}));
}

TEST(CollectPicturesWin32, ListingReportsDirectoriesAndFailsForMissingFolders) {
  testing::TempFolder temp;
  MakeDir(temp.Path() + "\\フォルダ");
  MakeFiles(temp.Path(), {"写真.bmp"});
  std::vector<DirectoryItem> items;
  ASSERT_TRUE(ListDirectoryWin32(temp.Path(), items));
  std::set<std::pair<std::string, bool>> seen;
  for (const auto& item : items) seen.insert({item.name, item.isDirectory});
  EXPECT_EQ(seen, (std::set<std::pair<std::string, bool>>{
                      {".", true}, {"..", true}, {"フォルダ", true}, {"写真.bmp", false}}));
  EXPECT_FALSE(ListDirectoryWin32(temp.Path() + "\\missing", items));
  EXPECT_FALSE(ListDirectoryWin32(temp.Path() + "\\" + std::string(300, 'a'), items));
}

class NextPictureWin32 : public ::testing::Test {
 protected:
  void SetUp() override { testing::DeleteUserKey(kVorelKey); }
  void TearDown() override { testing::DeleteUserKey(kVorelKey); }

  // Reads a value with the raw API, as the other program would.
  static std::wstring RawText(const char* name, DWORD* type = nullptr) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kVorelKey).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
      return L"";
    wchar_t buf[256] = {};
    DWORD t = 0, size = sizeof buf - sizeof(wchar_t);
    if (RegQueryValueExW(key.Get(), ToWide(name).c_str(), nullptr, &t, reinterpret_cast<BYTE*>(buf), &size) !=
        ERROR_SUCCESS)
      return L"<missing>";
    if (type) *type = t;
    return buf;
  }
  static DWORD RawDword(const char* name) {
    UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kVorelKey).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
      return 0xFFFFFFFF;
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExW(key.Get(), ToWide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
      return 0xFFFFFFFF;
    return value;
  }
};

RandomSource Fixed(int r) {
  return [r] { return r; };
}

TEST_F(NextPictureWin32, StoredValuesAreTheSharedFormat) {
  Win32Registry registry;
  EXPECT_EQ(NextPictureIndex(12, false, registry, Fixed(16384)), 6u);
  DWORD type = 0;
  EXPECT_EQ(RawText("FileList0", &type), L"101112131415171819210");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(RawText("FileList1"), L"211");
  EXPECT_EQ(RawText("FileList2"), L"<missing>");
  EXPECT_EQ(RawDword("Order"), 11u);
  EXPECT_EQ(RawDword("FileNumMax"), 12u);

  EXPECT_EQ(NextPictureIndex(5, true, registry, Fixed(0)), 2u);
  EXPECT_EQ(RawDword("Order"), 2u);
}

TEST_F(NextPictureWin32, ACycleBegunByOneProgramContinuesInTheOther) {
  Random15 random(2024);
  std::set<size_t> drawn;
  {
    Win32Registry first;
    for (int i = 0; i < 11; ++i) drawn.insert(NextPictureIndex(25, false, first, std::ref(random)));
  }
  EXPECT_EQ(RawDword("Order"), 14u);
  Win32Registry second;
  for (int i = 0; i < 14; ++i) drawn.insert(NextPictureIndex(25, false, second, std::ref(random)));
  EXPECT_EQ(drawn.size(), 25u);
  EXPECT_EQ(RawDword("Order"), 0u);
  // The next draw begins a new cycle.
  NextPictureIndex(25, false, second, std::ref(random));
  EXPECT_EQ(RawDword("Order"), 24u);
}

TEST_F(NextPictureWin32, APieceOfAnotherTypeDealsANewCycle) {
  Win32Registry registry;
  NextPictureIndex(25, false, registry, Fixed(32767));
  UniqueKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kVorelKey).c_str(), 0, KEY_WRITE, key.Put()), ERROR_SUCCESS);
  const BYTE junk[3] = {'1', '0', '1'};
  ASSERT_EQ(RegSetValueExW(key.Get(), L"FileList1", 0, REG_BINARY, junk, sizeof junk), ERROR_SUCCESS);
  EXPECT_EQ(NextPictureIndex(25, false, registry, Fixed(0)), 0u);
  EXPECT_EQ(RawText("FileList1"), L"211212213214215216217218219220");
  EXPECT_EQ(RawDword("Order"), 24u);
}

}  // namespace
}  // namespace vorel
