// The page "壁紙" in its window, driven the way the user and the shell drive it: button
// commands, list selections, keys, a real drop structure, the modal settings dialog and the
// message boxes answered from a timer. The model and the registry are checked afterwards.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>

#include "engine/bmp_file.h"
#include "engine/registry.h"
#include "engine/settings_store.h"
#include "platform/program_paths_win32.h"
#include "platform/win32_registry.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/page_wallpaper_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

void Pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round)
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
}

Picture Plain(int32_t width, int32_t height, uint32_t colour) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour)};
}

bool WriteBmp(const std::string& path, int32_t width, int32_t height) {
  return testing::WriteFileBytes(path, EncodeBmp24(Plain(width, height, 0x336699)));
}

std::string WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return ToUtf8(text);
}

bool Visible(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

// A step run from a thread timer while the page is inside a modal loop (the settings dialog,
// a message box); it reports true once it has answered. It stops trying after a few seconds,
// so a dialog that never comes leaves the test to fail instead of hanging it.
class Answer {
 public:
  explicit Answer(std::function<bool()> step) : step_(std::move(step)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 40, &Tick);
  }
  ~Answer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;
  bool Answered() const { return answered_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Answer* self = current_;
    if (!self || self->answered_ || ++self->ticks_ > 250 || self->running_) return;
    self->running_ = true;
    self->answered_ = self->step_();
    self->running_ = false;
  }
  static inline Answer* current_ = nullptr;
  std::function<bool()> step_;
  UINT_PTR timer_ = 0;
  int ticks_ = 0;
  bool answered_ = false;
  bool running_ = false;
};

// A message box of this thread: its caption and every text it shows.
struct BoxSeen {
  std::string caption;
  std::string text;
};

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[16]{};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Answers the message boxes of this thread one after the other with the buttons given,
// recording each; done when every button has been given.
std::function<bool()> AnswerBoxes(std::vector<BoxSeen>& seen, std::vector<int> buttons) {
  auto last = std::make_shared<HWND>(nullptr);
  return [&seen, buttons, last] {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    // The box answered last may still be on its way out.
    if (!box || box == *last) return false;
    *last = box;
    BoxSeen shown{WindowText(box), {}};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t name[16]{};
      GetClassNameW(child, name, 16);
      if (std::wstring(name) == L"Static") shown.text += WindowText(child);
    }
    seen.push_back(shown);
    PostMessageW(box, WM_COMMAND, buttons[seen.size() - 1], 0);
    return seen.size() >= buttons.size();
  };
}

// The shell's drop structure (DROPFILES with wide names) for a list of paths. The window
// that receives WM_DROPFILES releases it with DragFinish.
HGLOBAL MakeDrop(const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += ToWide(path) + L'\0';
  names += L'\0';
  const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

FolderEntry Folder(const std::string& path, const std::string& tile = kStandard, const std::string& size = kStandard,
                   const std::string& position = kStandard) {
  FolderEntry entry;
  entry.path = path;
  entry.tile = tile;
  entry.size = size;
  entry.position = position;
  return entry;
}

PictureEntry File(const std::string& path, const std::string& time = kStandard) {
  PictureEntry entry;
  entry.path = path;
  entry.displayTime = time;
  return entry;
}

std::vector<std::string> Paths(const std::vector<FolderEntry>& folders) {
  std::vector<std::string> paths;
  for (const FolderEntry& f : folders) paths.push_back(f.path);
  return paths;
}

class WallpaperPageWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_.Open(kSettingsKeyPath, true)->WriteText("WallFile", temp_.File("WallPaper.bmp"));
    ASSERT_TRUE(form_.Create());
    page_ = dynamic_cast<WallpaperPage*>(form_.Page(kPageWallpaper));
    ASSERT_NE(page_, nullptr);
    form_.SelectPage(kPageWallpaper);
    ShowWindow(form_.Handle(), SW_SHOWNOACTIVATE);
    page_->SetMessageBox([this](HWND, const std::string& text, const std::string& caption, UINT) {
      boxes_.push_back({caption, text});
      return boxAnswer_;
    });
    Pump();
  }

  void SetLists(std::vector<FolderEntry> folders, std::vector<PictureEntry> files) {
    form_.Model().folders = std::move(folders);
    form_.Model().pictures = std::move(files);
    page_->ShowModel();
    Pump();
  }
  std::vector<FolderEntry>& Folders() { return form_.Model().folders; }
  std::vector<PictureEntry>& Files() { return form_.Model().pictures; }
  HWND Control(int id) const { return page_->Control(id); }
  void Press(int id) {
    SendMessageW(page_->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
    Pump();
  }
  void SelectFolders(const Selection& rows) {
    page_->SelectFolders(rows);
    Pump();  // the list's change notifications ask for one refresh
    ASSERT_FALSE(page_->RefreshPending());
  }
  // A name of the folder contents clicked.
  void ClickName(size_t n) {
    const HWND list = Control(kWallListBoxFolDir);
    SendMessageW(list, LB_SETCURSEL, n, 0);
    SendMessageW(page_->Handle(), WM_COMMAND, MAKEWPARAM(kWallListBoxFolDir, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  // A key pressed in the folder contents: the list asks the page (LBS_WANTKEYBOARDINPUT).
  void KeyInContents(WORD key) {
    SendMessageW(Control(kWallListBoxFolDir), WM_KEYDOWN, key, 0);
    Pump();
  }
  std::vector<std::string> Names() const { return page_->Contents().names; }
  int ListedNames() const { return static_cast<int>(SendMessageW(Control(kWallListBoxFolDir), LB_GETCOUNT, 0, 0)); }
  Selection Only(size_t count, std::initializer_list<size_t> rows) {
    Selection selection(count, false);
    for (const size_t row : rows) selection[row] = true;
    return selection;
  }

  testing::TempFolder temp_;
  MemoryRegistry registry_;
  TFormMain form_{registry_, FormMainHooks{}};
  WallpaperPage* page_ = nullptr;
  std::vector<BoxSeen> boxes_;
  int boxAnswer_ = IDYES;
};

TEST_F(WallpaperPageWin32, InterleavedFoldersKeepEveryNameWithItsOwnFolderAndTexts) {
  testing::TempFolder a, b;
  // Sizes tell the files apart in the preview; names interleave (case aside) across folders.
  struct Named {
    const testing::TempFolder& folder;
    const char* name;
    int32_t width;
  };
  const Named pictures[] = {{a, "a1.bmp", 11}, {b, "B2.bmp", 12}, {a, "c3.BMP", 13}, {b, "d4.bmp", 14}};
  for (const Named& p : pictures) ASSERT_TRUE(WriteBmp(p.folder.File(p.name), p.width, 10));
  SetLists({Folder(a.Path(), "タイル", "する", "左上"), Folder(b.Path(), "中央", "しない", "右下")}, {});
  EXPECT_TRUE(Names().empty());
  EXPECT_FALSE(Visible(Control(kWallBitBtnWallDelete)));

  SelectFolders({true, true});
  ASSERT_EQ(Names(), (std::vector<std::string>{"a1.bmp", "B2.bmp", "c3.BMP", "d4.bmp"}));
  EXPECT_EQ(ListedNames(), 4);
  EXPECT_TRUE(Visible(Control(kWallBitBtnWallDelete)));
  EXPECT_TRUE(Visible(Control(kWallSpeedButtonFolderSetup)));
  for (size_t n = 0; n < 4; ++n) {
    SCOPED_TRACE(Names()[n]);
    const Named& p = pictures[n];
    const FolderEntry& own = Folders()[&p.folder == &a ? 0 : 1];
    ClickName(n);
    EXPECT_EQ(page_->Previewed().path, p.folder.File(p.name));
    EXPECT_EQ(page_->Preview().Shown().width, p.width);
    EXPECT_EQ(page_->Previewed().tile, own.tile);
    EXPECT_EQ(page_->Previewed().size, own.size);
    EXPECT_EQ(page_->Previewed().position, own.position);
  }
  // One folder alone lists only its names.
  SelectFolders({false, true});
  EXPECT_EQ(Names(), (std::vector<std::string>{"B2.bmp", "d4.bmp"}));
  SelectFolders({false, false});
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(ListedNames(), 0);
  EXPECT_FALSE(Visible(Control(kWallBitBtnWallDelete)));
}

TEST_F(WallpaperPageWin32, TheAddButtonsTakeWhatTheWindowsPickerAnswers) {
  std::vector<FormDirRequest> asked;
  form_.Dialogs().pick = [&](const FormDirRequest& request) -> std::optional<FormDirResult> {
    asked.push_back(request);
    if (asked.size() == 3) return std::nullopt;  // Cancel
    return FormDirResult{"C:\\pics", {"b.bmp", "a.bmp"}, "C:\\pics"};
  };
  Press(kWallBitBtnWallAdd);
  Press(kWallBitBtnFileAdd);
  Press(kWallBitBtnWallAdd);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0].caption, "壁紙フォルダーの設定");
  EXPECT_FALSE(asked[0].multipleFiles);
  EXPECT_EQ(asked[1].caption, "画像ファイルの設定");
  EXPECT_TRUE(asked[1].multipleFiles);
  EXPECT_EQ(asked[2].folderText, "C:\\pics");  // where it showed last
  EXPECT_EQ(Folders(), (std::vector<FolderEntry>{Folder("C:\\pics")}));
  EXPECT_EQ(Files(), (std::vector<PictureEntry>{File("C:\\pics\\b.bmp"), File("C:\\pics\\a.bmp")}));
}

TEST_F(WallpaperPageWin32, EveryColumnHeaderShowsItsWholeText) {
  SetLists({Folder("C:\\x")}, {File("C:\\x.bmp", "30")});
  for (const int id : {kWallListViewFolder, kWallListViewFile}) {
    const auto header = reinterpret_cast<HWND>(SendMessageW(Control(id), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    HDC dc = GetDC(header);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    for (int n = 1; n < static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)); ++n) {
      wchar_t text[64]{};
      HDITEMW item{};
      item.mask = HDI_TEXT;
      item.pszText = text;
      item.cchTextMax = 64;
      SendMessageW(header, HDM_GETITEMW, n, reinterpret_cast<LPARAM>(&item));
      RECT place{};
      SendMessageW(header, HDM_GETITEMRECT, n, reinterpret_cast<LPARAM>(&place));
      SIZE size{};
      GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
      // The header draws its text three edges in from either side.
      EXPECT_GE(place.right - place.left - 6 * GetSystemMetrics(SM_CXEDGE), size.cx) << ToUtf8(text);
    }
    SelectObject(dc, old);
    ReleaseDC(header, dc);
  }
}

TEST_F(WallpaperPageWin32, DeletingFolderEntriesSelectsTheNewLastAndSortsTheList) {
  testing::TempFolder shown;
  ASSERT_TRUE(WriteBmp(shown.File("x.bmp"), 8, 8));
  SetLists({Folder("C:\\e"), Folder("C:\\b"), Folder("C:\\d"), Folder(shown.Path()), Folder("C:\\a")}, {});
  SelectFolders(Only(5, {3}));
  ClickName(0);
  ASSERT_FALSE(page_->Preview().Shown().Empty());

  SelectFolders(Only(5, {3, 4}));
  Press(kWallBitBtnWallDelete);
  EXPECT_EQ(Paths(Folders()), (std::vector<std::string>{"C:\\b", "C:\\d", "C:\\e"}));
  // "C:\d" was the new last entry (index 2); the sort moves it to 1, still selected.
  EXPECT_EQ(page_->FolderSelection(), (Selection{false, true, false}));
  EXPECT_EQ(page_->FocusedFolder(), 1);
  EXPECT_TRUE(page_->Preview().Shown().Empty());
  EXPECT_TRUE(Visible(Control(kWallBitBtnWallDelete)));

  SelectFolders({true, true, true});
  Press(kWallBitBtnWallDelete);
  EXPECT_TRUE(Folders().empty());
  EXPECT_TRUE(Names().empty());
  EXPECT_FALSE(Visible(Control(kWallBitBtnWallDelete)));
  EXPECT_FALSE(Visible(Control(kWallSpeedButtonFolderSetup)));
}

TEST_F(WallpaperPageWin32, DeleteWithNothingSelectedRemovesNothingAndSelectsTheFirst) {
  SetLists({Folder("C:\\z"), Folder("C:\\y")}, {File("C:\\p2.bmp"), File("C:\\p1.bmp")});
  // After the load the file buttons show for a non-empty list, whatever is selected.
  EXPECT_TRUE(Visible(Control(kWallBitBtnFileDelete)));
  Press(kWallBitBtnFileDelete);
  EXPECT_EQ(Files().size(), 2u);
  EXPECT_EQ(Files()[0].path, "C:\\p2.bmp");  // the file list is not sorted
  EXPECT_EQ(page_->FileSelection(), (Selection{true, false}));

  Press(kWallBitBtnWallDelete);
  EXPECT_EQ(Paths(Folders()), (std::vector<std::string>{"C:\\y", "C:\\z"}));
  // The entry at index 0 ("C:\z") was selected, then the list sorted under it.
  EXPECT_EQ(page_->FolderSelection(), (Selection{false, true}));
}

TEST_F(WallpaperPageWin32, ThePreviewFitsItsSquareWhateverThePageSize) {
  struct Case {
    int32_t width, height;
    int pageWidth, pageHeight;
    PreviewRect expected;
  };
  const Case cases[] = {
      {200, 100, 481, 270, {0, 35, 140, 70}},
      {100, 200, 481, 270, {35, 0, 70, 140}},
      {50, 50, 481, 270, {0, 0, 140, 140}},
      {200, 100, 962, 540, {0, 70, 280, 140}},
      // Side 600 × 140 / 481 = 174; width 333 × 174 / 1000 = 57, left (174 − 57) / 2 = 58.
      {333, 1000, 600, 400, {58, 0, 57, 174}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " on " + std::to_string(c.pageWidth));
    const std::string path = temp_.File(std::to_string(c.width) + "x" + std::to_string(c.height) + ".bmp");
    ASSERT_TRUE(WriteBmp(path, c.width, c.height));
    PictureEntry entry = File(path);
    entry.size = "しない";
    entry.position = "左上";
    SetLists({}, {entry});
    page_->Arrange(c.pageWidth, c.pageHeight);
    page_->SelectFiles({true});
    page_->ListViewFileClick();
    const int side = c.pageWidth * 140 / 481;
    RECT panel{};
    GetWindowRect(page_->Preview().Handle(), &panel);
    MapWindowPoints(nullptr, page_->Handle(), reinterpret_cast<POINT*>(&panel), 2);
    EXPECT_EQ(panel.right - panel.left, side);
    EXPECT_EQ(panel.bottom - panel.top, side);
    EXPECT_EQ(panel.right, c.pageWidth);
    EXPECT_EQ(panel.bottom, c.pageHeight);
    EXPECT_EQ(page_->Preview().Placement(), c.expected);
    EXPECT_EQ(page_->Previewed().size, "しない");
    EXPECT_EQ(page_->Previewed().position, "左上");
  }
}

TEST_F(WallpaperPageWin32, FolderSetupShowsTheFirstSelectedAndWritesEverySelectedEntry) {
  SetLists({Folder("C:\\A", "タイル", "する", "左"), Folder("C:\\M"), Folder("C:\\B", "中央", "しない", "右")}, {});
  Folders()[0].displayTime = "30";
  SelectFolders(Only(3, {0, 2}));
  TFormFolderSetup& setup = page_->FolderSetup();
  std::vector<std::string> listed;
  std::string caption, time;
  bool timeChecked = true;
  int tile = -1, position = -1;
  Answer answer([&] {
    if (!IsWindowVisible(setup.Handle())) return false;
    caption = WindowText(setup.Handle());
    const HWND list = setup.Control(kSetupListBoxFolder);
    for (LRESULT n = 0; n < SendMessageW(list, LB_GETCOUNT, 0, 0); ++n) {
      std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, n, 0)) + 1, L'\0');
      text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, n, reinterpret_cast<LPARAM>(text.data()))));
      listed.push_back(ToUtf8(text));
    }
    timeChecked = SendMessageW(setup.Control(kSetupCheckBoxTime), BM_GETCHECK, 0, 0) == BST_CHECKED;
    time = setup.ControlText(kSetupMemoTime);
    tile = static_cast<int>(SendMessageW(setup.Control(kSetupComboBoxTile), CB_GETCURSEL, 0, 0));
    position = static_cast<int>(SendMessageW(setup.Control(kSetupComboBoxPosi), CB_GETCURSEL, 0, 0));
    // The user: "全て", 45 seconds, "中央", position "下".
    SendMessageW(setup.Control(kSetupComboBoxSub), CB_SETCURSEL, 2, 0);
    SetWindowTextW(setup.Control(kSetupMemoTime), L"45");
    SendMessageW(setup.Control(kSetupComboBoxTile), CB_SETCURSEL, 2, 0);
    SendMessageW(setup.Control(kSetupComboBoxPosi), CB_SETCURSEL, 5, 0);
    PostMessageW(setup.Handle(), WM_COMMAND, IDOK, 0);
    return true;
  });
  Press(kWallSpeedButtonFolderSetup);
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(caption, "壁紙フォルダに関する設定");
  EXPECT_EQ(listed, (std::vector<std::string>{"C:\\B", "C:\\A"}));
  EXPECT_FALSE(timeChecked);
  EXPECT_EQ(time, "30");
  EXPECT_EQ(tile, 1);      // "タイル", A's
  EXPECT_EQ(position, 1);  // "左", A's
  for (const size_t n : {size_t{0}, size_t{2}}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Folders()[n].subfolders, "全て");
    EXPECT_EQ(Folders()[n].displayTime, "45");
    EXPECT_EQ(Folders()[n].tile, "中央");
    EXPECT_EQ(Folders()[n].size, "する");
    EXPECT_EQ(Folders()[n].position, "下");
  }
  EXPECT_EQ(Folders()[1], Folder("C:\\M"));

  // Files: the dialog without its subfolder choice; checking "標準" writes it; Cancel
  // changes nothing; the folder form comes back afterwards.
  SetLists({}, {File("C:\\f1.bmp", "30"), File("C:\\f2.bmp", "30")});
  page_->SelectFiles({true, true});
  bool subShown = true;
  Answer fileAnswer([&] {
    if (!IsWindowVisible(setup.Handle())) return false;
    caption = WindowText(setup.Handle());
    subShown = IsWindowVisible(setup.Control(kSetupComboBoxSub));
    timeChecked = SendMessageW(setup.Control(kSetupCheckBoxTime), BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageW(setup.Control(kSetupCheckBoxTime), BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(setup.Handle(), WM_COMMAND, IDOK, 0);
    return true;
  });
  Press(kWallSpeedButtonFileSetup);
  ASSERT_TRUE(fileAnswer.Answered());
  EXPECT_EQ(caption, "壁紙ファイルに関する設定");
  EXPECT_FALSE(subShown);
  EXPECT_FALSE(timeChecked);
  EXPECT_EQ(Files()[0].displayTime, kStandard);
  EXPECT_EQ(Files()[1].displayTime, kStandard);
  EXPECT_EQ(WindowText(setup.Handle()), "壁紙フォルダに関する設定");
  EXPECT_TRUE(Visible(setup.Control(kSetupComboBoxSub)));
}

TEST_F(WallpaperPageWin32, ADropSortsFoldersAndFilesInTheShellsOrderAndRefusesTheRest) {
  testing::TempFolder dropped;
  const std::string text = temp_.File("memo.txt");
  ASSERT_TRUE(testing::WriteFileBytes(text, "not a picture"));
  // Paths of 254 and 255 characters: the longest taken, the first refused.
  const std::string stem = temp_.Path() + "\\";
  const std::string longest = stem + std::string(254 - stem.size() - 4, 'x') + ".bmp";
  const std::string tooLong = stem + std::string(255 - stem.size() - 4, 'y') + ".bmp";
  ASSERT_EQ(longest.size(), 254u);
  ASSERT_TRUE(testing::WriteFileBytes(longest, "x"));
  ASSERT_TRUE(testing::WriteFileBytes(tooLong, "y"));
  SetLists({Folder("C:\\kept")}, {});
  SelectFolders({false});
  const std::vector<std::string> drop = {temp_.File("nowhere"), text, dropped.Path(), tooLong, longest, "C:\\"};
  SendMessageW(form_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(drop)), 0);
  Pump();
  EXPECT_EQ(Paths(Folders()), (std::vector<std::string>{"C:\\kept", dropped.Path(), "C:"}));
  EXPECT_EQ(Folders()[1], Folder(dropped.Path()));
  ASSERT_EQ(Files().size(), 2u);
  EXPECT_EQ(Files()[0], File(text));
  EXPECT_EQ(Files()[1], File(longest));
  // The rows show; buttons and contents wait for the next change of selection.
  EXPECT_EQ(SendMessageW(Control(kWallListViewFolder), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageW(Control(kWallListViewFile), LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_FALSE(Visible(Control(kWallBitBtnFileDelete)));
}

TEST_F(WallpaperPageWin32, AnEntryEditedInPlaceToNothingKeepsItsPath) {
  testing::TempFolder other;
  ASSERT_TRUE(WriteBmp(other.File("o.bmp"), 9, 9));
  SetLists({Folder("C:\\first")}, {});
  SelectFolders({true});
  const HWND list = Control(kWallListViewFolder);
  SetFocus(list);
  const auto edit = [&](const std::string& typed) {
    const auto box = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, 0, 0));
    if (!box) return false;
    SetWindowTextW(box, ToWide(typed).c_str());
    SendMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    return true;
  };
  ASSERT_TRUE(edit("   "));
  EXPECT_EQ(Folders()[0].path, "C:\\first");
  ASSERT_TRUE(edit(""));
  EXPECT_EQ(Folders()[0].path, "C:\\first");
  // A real path is taken, and the contents follow it.
  ASSERT_TRUE(edit(" " + other.Path() + " "));
  EXPECT_EQ(Folders()[0].path, other.Path());
  EXPECT_EQ(Names(), (std::vector<std::string>{"o.bmp"}));
}

// Where Wine's shell puts what the Recycle Bin takes: the XDG trash, under $XDG_DATA_HOME
// (the test's own folder when ctest runs it) or else the Unix home's ".local/share". Empty
// when there is no such folder: the shell then has no Recycle Bin and deletes outright.
std::string TrashFiles() {
  wchar_t value[1024]{};
  std::string base;
  if (GetEnvironmentVariableW(L"XDG_DATA_HOME", value, 1024) && value[0] == L'/') {
    base = "Z:" + ToUtf8(value);
    for (char& c : base)
      if (c == '/') c = '\\';
    CreateDirectoryW(ToWide(base).c_str(), nullptr);
  } else if (GetEnvironmentVariableW(L"WINEHOMEDIR", value, 1024)) {
    base = ToUtf8(value);
    if (base.rfind("\\??\\", 0) == 0) base.erase(0, 4);
    base += "\\.local\\share";
  }
  const DWORD attributes = GetFileAttributesW(ToWide(base).c_str());
  if (base.empty() || attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  return base + "\\Trash\\files";
}

TEST_F(WallpaperPageWin32, DeleteInTheContentsSendsThePictureToTheRecycleBin) {
  testing::TempFolder pictures;
  const std::string name = "ごみ箱へ_" + std::to_string(GetCurrentProcessId()) + ".bmp";
  const std::string doomed = pictures.File(name);
  ASSERT_TRUE(WriteBmp(doomed, 20, 10));
  const std::string picture = testing::ReadFileBytes(doomed);
  // Looked up before the first deletion, which is when the shell settles on its trash.
  const std::string trash = TrashFiles();
  ASSERT_TRUE(WriteBmp(pictures.File("残す.bmp"), 20, 10));
  SetLists({Folder(pictures.Path())}, {});
  SelectFolders({true});
  ASSERT_EQ(Names().size(), 2u);
  const size_t at = Names()[0] == name ? 0 : 1;

  // No: nothing happens to the file; the list is rebuilt and its selection is gone.
  boxAnswer_ = IDNO;
  ClickName(at);
  KeyInContents(VK_DELETE);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, doomed + "を削除しますか？");
  EXPECT_EQ(boxes_[0].caption, "確認");
  EXPECT_TRUE(testing::FileExists(doomed));
  EXPECT_EQ(SendMessageW(Control(kWallListBoxFolDir), LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_FALSE(page_->Preview().Shown().Empty());
  // Another key only rebuilds the list; with no name selected keys do nothing.
  ClickName(at);
  KeyInContents('A');
  KeyInContents(VK_DELETE);
  EXPECT_EQ(boxes_.size(), 1u);

  // Yes, through the real question box answered from a timer.
  page_->SetMessageBox([](HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
  });
  std::vector<BoxSeen> seen;
  {
    Answer yes(AnswerBoxes(seen, {IDYES}));
    ClickName(at);
    KeyInContents(VK_DELETE);
    ASSERT_TRUE(yes.Answered());
  }
  EXPECT_EQ(seen[0].caption, "確認");
  EXPECT_EQ(seen[0].text, doomed + "を削除しますか？");
  EXPECT_FALSE(testing::FileExists(doomed));
  EXPECT_TRUE(testing::FileExists(pictures.File("残す.bmp")));
  EXPECT_EQ(Names(), (std::vector<std::string>{"残す.bmp"}));
  EXPECT_TRUE(page_->Preview().Shown().Empty());
  if (trash.empty()) {
    ADD_FAILURE() << "no XDG trash folder to look in; run the test through ctest";
  } else {
    const std::string recycled = trash + "\\" + name;
    EXPECT_TRUE(testing::FileExists(recycled)) << recycled;
    EXPECT_EQ(testing::ReadFileBytes(recycled), picture);
    // The trash keeps nothing of the test's.
    DeleteFileW(ToWide(recycled).c_str());
    DeleteFileW(ToWide(trash + "\\..\\info\\" + name + ".trashinfo").c_str());
  }

  // A picture gone before the question is answered: the error box, and the list rebuilt.
  SelectFolders({true});
  ClickName(0);
  DeleteFileW(ToWide(pictures.File("残す.bmp")).c_str());
  seen.clear();
  {
    Answer yesThenOk(AnswerBoxes(seen, {IDYES, IDOK}));
    ClickName(0);
    KeyInContents(VK_DELETE);
    ASSERT_TRUE(yesThenOk.Answered());
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "エラーメッセージ");
  EXPECT_EQ(seen[1].text, "削除できませんでした");
  EXPECT_TRUE(Names().empty());

  // A folder is never deleted, not even when it is named like a picture.
  const std::string folder = pictures.File("folder.bmp");
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder).c_str(), nullptr));
  EXPECT_FALSE(SendToRecycleBin(folder));
  EXPECT_NE(GetFileAttributesW(ToWide(folder).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WallpaperPageWin32, SettingsSavedAfterEditingReadBackTheSame) {
  testing::TempFolder a;
  ASSERT_TRUE(WriteBmp(a.File("p.bmp"), 10, 10));
  SetLists({Folder("C:\\old")}, {File("C:\\old.bmp", "12")});
  // Edits of every kind: a drop, a folder set-up, a deletion.
  SendMessageW(form_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a.Path(), a.File("p.bmp")})), 0);
  Pump();
  SelectFolders({false, true});
  Answer answer([&] {
    TFormFolderSetup& setup = page_->FolderSetup();
    if (!IsWindowVisible(setup.Handle())) return false;
    SendMessageW(setup.Control(kSetupComboBoxSub), CB_SETCURSEL, 1, 0);
    SendMessageW(setup.Control(kSetupComboBoxSize), CB_SETCURSEL, 2, 0);
    PostMessageW(setup.Handle(), WM_COMMAND, IDOK, 0);
    return true;
  });
  Press(kWallSpeedButtonFolderSetup);
  ASSERT_TRUE(answer.Answered());
  page_->SelectFiles({true, false});
  Press(kWallBitBtnFileDelete);
  ASSERT_EQ(Folders().size(), 2u);
  EXPECT_EQ(Folders()[1].subfolders, "一層");
  EXPECT_EQ(Folders()[1].size, "しない");
  ASSERT_EQ(Files().size(), 1u);

  ASSERT_TRUE(form_.SaveAllSettings());
  const Settings saved = form_.Model();
  const LoadContext context{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Settings loaded = LoadSettings(ProgramKind::kVorelset, registry_, context);
  EXPECT_EQ(loaded.folders, saved.folders);
  EXPECT_EQ(loaded.pictures, saved.pictures);
  EXPECT_EQ(loaded, saved);
  // Cancel in the window reloads them: the same lists again.
  form_.LoadAllSettings();
  EXPECT_EQ(form_.Model().folders, saved.folders);
  EXPECT_EQ(form_.Model().pictures, saved.pictures);
}

// Names that code page 932 cannot spell travel as wide text from the drop to the list, the
// preview and the stored entries, and come back from the real registry unchanged.
TEST_F(WallpaperPageWin32, NamesOutsideTheJapaneseCodePageKeepEveryCharacter) {
  testing::TempFolder root;
  const std::string folder = root.File("Ελλάδα");
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder).c_str(), nullptr));
  const std::string name = "한글_naïve€.bmp";
  ASSERT_TRUE(WriteBmp(folder + "\\" + name, 9, 7));
  SetLists({}, {});
  SendMessageW(form_.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({folder, folder + "\\" + name})), 0);
  Pump();
  ASSERT_EQ(Paths(Folders()), (std::vector<std::string>{folder}));
  ASSERT_EQ(Files().size(), 1u);
  EXPECT_EQ(Files()[0].path, folder + "\\" + name);
  SelectFolders({true});
  ASSERT_EQ(Names(), (std::vector<std::string>{name}));
  EXPECT_EQ(ListedNames(), 1);
  ClickName(0);
  EXPECT_EQ(page_->Previewed().path, folder + "\\" + name);
  EXPECT_EQ(page_->Preview().Shown().width, 9);

  // The prefix's own settings key; the tests that use it run one at a time.
  testing::DeleteUserKey("Software\\Brelkin\\Vorel");
  Win32Registry real;
  ASSERT_TRUE(SaveSettings(form_.Model(), real));
  const LoadContext context{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const Settings loaded = LoadSettings(ProgramKind::kVorelset, real, context);
  testing::DeleteUserKey("Software\\Brelkin\\Vorel");
  EXPECT_EQ(loaded.folders, form_.Model().folders);
  EXPECT_EQ(loaded.pictures, form_.Model().pictures);
}

}  // namespace
}  // namespace vorel
