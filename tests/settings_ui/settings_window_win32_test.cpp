// The settings window in this process on settings in memory, driven as a user drives it:
// clicks, typed text, Enter and Esc, focus moves, tab switches and resizes. The model and
// the key are inspected afterwards; the common dialogs and the picker answer from the test,
// so no dialog waits for a person.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/table_page_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

// What runs inside a modal loop, started from a timer of that loop.
std::function<void()> gAct;

void CALLBACK RunAct(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  const std::function<void()> act = std::move(gAct);
  gAct = nullptr;
  if (act) act();
}

// Shows a modal window through show and runs act inside its loop; the close box then ends
// the loop if act has not, so no case can leave the window waiting.
void Modal(HWND window, const std::function<void()>& show, const std::function<void()>& act) {
  gAct = [&] {
    act();
    SendMessageW(window, WM_CLOSE, 0, 0);
  };
  SetTimer(nullptr, 0, 10, &RunAct);
  show();
}

// The messages queued so far, handled as the window's modal loop handles them.
void Pump(HWND dialog) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string PluginFile(const std::string& name) {
  return testing::ExeFolder() + "..\\fixtures\\plugins\\" + name + "\\" + name + ".spi";
}

std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    items.push_back(ToUtf8(text));
  }
  return items;
}

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    NewForm();
  }
  void TearDown() override { form_.reset(); }

  // A window on a fresh key holding a wallpaper file of the test and the margins on, with
  // dialogs that answer Cancel unless a case says otherwise.
  void NewForm() {
    form_.reset();
    registry_ = MemoryRegistry();
    auto key = registry_.Open(kSettingsKeyPath, true);
    key->WriteText("WallFile", folder_.File("WallPaper.bmp"));
    key->WriteInt("Screen", 1);
    // A fixed day: no day check finds a new day, so no change run starts by itself.
    form_ = std::make_unique<TFormMain>(registry_, FormMainHooks{}, [] { return SystemTime{2026, 12, 9, 12, 0, 0}; });
    ASSERT_TRUE(form_->Create());
    FormMainDialogs& d = form_->Dialogs();
    d.openFile = [](HWND, const std::string&, const std::string&) { return std::optional<std::string>(); };
    d.colour = [](HWND, uint32_t) { return std::optional<uint32_t>(); };
    d.font = [](HWND, const LOGFONTW&) { return std::optional<LOGFONTW>(); };
    d.pick = [](const FormDirRequest&) { return std::optional<FormDirResult>(); };
  }

  // "設定": the window shown modally with act run inside.
  void Open(const std::function<void()>& act) {
    Modal(
        form_->Handle(), [this] { form_->ShowSettings(); }, act);
  }

  HWND C(const std::string& name) const {
    const HWND h = form_->Control(name);
    EXPECT_NE(h, nullptr) << name;
    return h;
  }
  // The tab switched as a click on it does: the selection, then the notification.
  void Tab(int index) {
    SendMessageW(form_->TabControl(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header{form_->TabControl(), 0, TCN_SELCHANGE};
    SendMessageW(form_->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  }
  // The page holding the control brought to the front.
  void Reveal(HWND control) {
    for (int i = 0; i < kPageCount; ++i)
      if (form_->Page(i)->Handle() == GetParent(control) && form_->ActivePage() != i) Tab(i);
  }
  void Click(const std::string& name) {
    const HWND h = C(name);
    Reveal(h);
    SendMessageW(h, BM_CLICK, 0, 0);
  }
  const TablePage& PageOf(HWND control) const {
    for (int i = 0; i < kPageCount; ++i)
      if (form_->Page(i)->Handle() == GetParent(control)) return dynamic_cast<const TablePage&>(*form_->Page(i));
    throw std::logic_error("not on a table page");
  }
  const std::vector<HWND>& Radios(const std::string& group) const { return PageOf(C(group)).Controls().Radios(group); }
  void ClickRadio(const std::string& group, int index) {
    Reveal(C(group));
    SendMessageW(Radios(group).at(static_cast<size_t>(index)), BM_CLICK, 0, 0);
  }
  // A drop-down list's choice as the list reports it to the page.
  void Choose(const std::string& name, int index) {
    const HWND h = C(name);
    Reveal(h);
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE), reinterpret_cast<LPARAM>(h));
  }
  // Into the control with the focus: the whole text replaced, or typed key by key.
  void Put(const std::string& name, const std::string& text) {
    const HWND h = C(name);
    Reveal(h);
    SetFocus(h);
    SetWindowTextW(h, ToWide(text).c_str());
  }
  void Type(const std::string& name, const std::string& text) {
    Put(name, "");
    for (const wchar_t c : ToWide(text)) SendMessageW(C(name), WM_CHAR, c, 1);
  }
  void Key(UINT key) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    Pump(form_->Handle());
  }
  void Leave() { SetFocus(form_->TabControl()); }
  std::string Text(const std::string& name) const { return WindowText(C(name)); }
  bool Checked(const std::string& name) const { return SendMessageW(C(name), BM_GETCHECK, 0, 0) == BST_CHECKED; }

  std::optional<int32_t> Stored(const char* name) { return registry_.Open(kSettingsKeyPath, false)->ReadInt(name); }
  Settings Load() {
    return LoadSettings(ProgramKind::kVorelset, registry_,
                        {ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  }
  const Settings& Model() const { return form_->Model(); }

  testing::TempFolder folder_;
  MemoryRegistry registry_;
  std::unique_ptr<TFormMain> form_;
};

// --- Numeric fields.

enum class Apply { kLeave, kEnter, kUp, kDown };

struct NumberCase {
  std::string field;  // the field "Memo" + field, its buttons "Button" + field + "Up"/"Down"
  std::string text;
  Apply apply;
  int32_t value;
  int32_t Settings::*member;
  bool typed = false;  // key by key, so that the typed length holds
};

TEST_F(SettingsWindow, NumericFieldsReadClampAndStoreOnEveryWayOfApplying) {
  const int32_t halfWidth = GetSystemMetrics(SM_CXSCREEN) / 2;
  const int32_t halfHeight = GetSystemMetrics(SM_CYSCREEN) / 2;
  const std::string many(3000, '9');
  using A = Apply;
  using S = Settings;
  std::vector<NumberCase> cases{
      {"Delay", "abc", A::kLeave, 0, &S::delayTime},
      {"Delay", "12abc", A::kLeave, 12, &S::delayTime},
      {"Delay", "  -5", A::kEnter, 0, &S::delayTime},
      {"Delay", "", A::kLeave, 0, &S::delayTime},
      {"Delay", "-", A::kEnter, 0, &S::delayTime},
      {"Delay", "33", A::kEnter, 33, &S::delayTime},
      {"Delay", "１２", A::kLeave, 0, &S::delayTime},  // full-width digits are no digits
      {"Delay", "\r\n 7", A::kLeave, 7, &S::delayTime},
      {"Delay", many, A::kEnter, 999, &S::delayTime},
      {"Delay", "998", A::kUp, 999, &S::delayTime},
      {"Delay", "999", A::kUp, 999, &S::delayTime},
      {"Delay", "0", A::kDown, 0, &S::delayTime},
      {"TimeInterval", "0", A::kLeave, 1, &S::changeTime},
      {"TimeInterval", "5000", A::kEnter, 999, &S::changeTime},
      {"TimeInterval", "995", A::kUp, 999, &S::changeTime},
      {"TimeInterval", "5", A::kDown, 1, &S::changeTime},
      {"TimeInterval", "45", A::kUp, 55, &S::changeTime},
      {"TimeInterval", "-" + many, A::kLeave, 1, &S::changeTime},
      {"ScreenX", "600", A::kLeave, std::min(600, halfWidth), &S::screenX},
      {"ScreenX", std::to_string(halfWidth), A::kUp, halfWidth, &S::screenX},
      {"ScreenX", "7", A::kUp, 8, &S::screenX},
      {"ScreenX", "-3", A::kEnter, 0, &S::screenX},
      {"ScreenY", "400", A::kEnter, std::min(400, halfHeight), &S::screenY},
      {"ScreenY", "0", A::kDown, 0, &S::screenY},
      {"ScreenY", "10", A::kDown, 9, &S::screenY},
  };
  struct Calendar {
    const char* field;
    int32_t S::*member;
    int typedLength;
  };
  for (const Calendar& c :
       {Calendar{"YearStart", &S::calenYearStart, 4}, Calendar{"YW", &S::calenYW, 4}, Calendar{"WD", &S::calenWD, 4},
        Calendar{"DayWidth", &S::calenDayWidth, 4}, Calendar{"DayHeight", &S::calenDayHeight, 4},
        Calendar{"Shadow", &S::calenShadow, 4}, Calendar{"Space", &S::calenSpace, 4},
        Calendar{"Top", &S::calenDistY, 6}, Calendar{"Left", &S::calenDistX, 6}}) {
    // ▼ at the bound shows five characters where only four can be typed.
    cases.push_back({c.field, "-9999", A::kDown, -9999, c.member});
    cases.push_back({c.field, "9999", A::kUp, 9999, c.member});
    cases.push_back({c.field, "-12x", A::kLeave, -12, c.member});
    cases.push_back({c.field, many, A::kEnter, 9999, c.member});
    cases.push_back({c.field, "-" + many, A::kLeave, -9999, c.member});
    cases.push_back({c.field, "1234567", A::kEnter, c.typedLength == 4 ? 1234 : 9999, c.member, true});
  }
  Open([&] {
    for (const NumberCase& c : cases) {
      SCOPED_TRACE(c.field + " \"" + c.text.substr(0, 12) + "\" " + std::to_string(static_cast<int>(c.apply)));
      const std::string memo = "Memo" + c.field;
      if (c.typed)
        Type(memo, c.text);
      else
        Put(memo, c.text);
      switch (c.apply) {
        case A::kLeave:
          Leave();
          break;
        case A::kEnter:
          Key(VK_RETURN);
          EXPECT_EQ(GetFocus(), C(memo));  // applied without leaving
          break;
        case A::kUp:
        case A::kDown:
          Click("Button" + c.field + (c.apply == A::kUp ? "Up" : "Down"));
          break;
      }
      EXPECT_EQ(Text(memo), std::to_string(c.value));
      EXPECT_EQ(Model().*c.member, c.value);
    }
    // No Enter pressed OK: the key still holds what the opening saved.
    EXPECT_EQ(Stored("ChangeTime"), 60);
    EXPECT_EQ(Stored("DelayTime"), 0);
  });
}

TEST_F(SettingsWindow, TheMarginSwitchGreysItsEightControlsAndKeepsTheirValues) {
  const char* margins[] = {"LabelScreenY",      "MemoScreenY",     "ButtonScreenYUp", "ButtonScreenYDown",
                           "ButtonScreenXDown", "ButtonScreenXUp", "MemoScreenX",     "LabelScreenX"};
  Open([&] {
    Put("MemoScreenX", "25");
    Key(VK_RETURN);
    Put("MemoScreenY", "14");
    Leave();
    for (const bool on : {false, true}) {
      Click("CheckBoxScreen");
      EXPECT_EQ(Model().screen, on);
      for (const char* name : margins) EXPECT_EQ(IsWindowEnabled(C(name)) != FALSE, on) << name;
      EXPECT_EQ(Model().screenX, 25);
      EXPECT_EQ(Model().screenY, 14);
      EXPECT_EQ(Text("MemoScreenX"), "25");
    }
  });
}

// --- Closing the window.

enum class Close { kOk, kEnter, kCancel, kEsc, kCloseBox };

TEST_F(SettingsWindow, CancelAndEscReturnToTheOpeningTheCloseBoxKeepsTheEditsUnsaved) {
  struct Case {
    const char* how;
    Close close;
    bool kept;   // the edits stay in the running program
    bool saved;  // and are in the key
  };
  for (const Case& c : {Case{"OK", Close::kOk, true, true}, Case{"Enter", Close::kEnter, true, true},
                        Case{"Cancel", Close::kCancel, false, false}, Case{"Esc", Close::kEsc, false, false},
                        Case{"close box", Close::kCloseBox, true, false}}) {
    SCOPED_TRACE(c.how);
    NewForm();
    form_->Dialogs().colour = [](HWND, uint32_t) { return std::optional<uint32_t>(0x123456); };
    Open([&] {
      Click("CheckBoxTile");
      Click("ButtonSat");
      Put("MemoDelay", "7");
      Key(VK_RETURN);
      ASSERT_FALSE(Model().tile);
      switch (c.close) {
        case Close::kOk:
          Click("BitBtnOk");
          break;
        case Close::kEnter:
          SetFocus(C("CheckBoxTile"));
          Key(VK_RETURN);
          break;
        case Close::kCancel:
          Click("BitBtnCancel");
          break;
        case Close::kEsc:
          SetFocus(C("MemoDelay"));
          Key(VK_ESCAPE);
          break;
        case Close::kCloseBox:
          SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
          break;
      }
    });
    EXPECT_FALSE(form_->SettingsShown());
    EXPECT_FALSE(IsWindowVisible(form_->Handle()));
    EXPECT_EQ(Model().tile, !c.kept);
    EXPECT_EQ(Checked("CheckBoxTile"), !c.kept);
    EXPECT_EQ(Model().colorSat, c.kept ? 0x123456u : 0xFF0000u);
    EXPECT_EQ(Model().delayTime, c.kept ? 7 : 0);
    EXPECT_EQ(Text("MemoDelay"), c.kept ? "7" : "0");
    EXPECT_EQ(Stored("Tile"), c.saved ? 0 : 1);
    EXPECT_EQ(Stored("CalenColorSat"), c.saved ? 0x123456 : 0xFF0000);
    EXPECT_EQ(Stored("DelayTime"), c.saved ? 7 : 0);
    if (c.close == Close::kCloseBox) {
      Open([] {});  // the next opening saves what the close box kept
      EXPECT_EQ(Stored("Tile"), 0);
      EXPECT_EQ(Stored("DelayTime"), 7);
    }
  }
}

TEST_F(SettingsWindow, OkWritesEveryValueAsTheWindowShowsIt) {
  testing::TempFolder gv;
  ASSERT_TRUE(testing::WriteFileBytes(gv.File("Gv.exe"), "MZ"));
  testing::TempFolder plugins;
  ASSERT_TRUE(CopyFileW(ToWide(PluginFile("vtp8")).c_str(), ToWide(plugins.File("vtp8.spi")).c_str(), FALSE));
  uint32_t colour = 0x010203;
  form_->Dialogs().colour = [&](HWND, uint32_t) { return std::optional<uint32_t>(colour += 0x111111); };
  form_->Dialogs().font = [](HWND, const LOGFONTW& preset) {
    LOGFONTW f = preset;
    wcscpy(f.lfFaceName, L"ＭＳ Ｐゴシック");
    f.lfHeight = -32;
    f.lfItalic = FALSE;
    f.lfStrikeOut = TRUE;
    return std::optional<LOGFONTW>(f);
  };
  form_->Dialogs().pick = [&](const FormDirRequest&) { return std::optional<FormDirResult>({"", {}, gv.Path()}); };
  std::vector<std::pair<std::string, std::string>> opened;  // title, initial folder
  form_->Dialogs().openFile = [&](HWND, const std::string& title, const std::string& folder) {
    opened.emplace_back(title, folder);
    return std::optional<std::string>(opened.size() == 1 ? "C:\\tools\\after.exe" : folder_.File("Other.bmp"));
  };
  Open([&] {
    for (const char* box : {"CheckBoxTile", "CheckBoxResize", "CheckBoxResizeOver", "CheckBoxScreen", "CheckBoxStart",
                            "CheckBoxShade", "CheckBoxChangeDay", "CheckBoxChangeTime", "CheckBoxVorelrun",
                            "CheckBoxCalender", "CheckBoxShadow", "CheckBoxCurrentLaw", "CheckBoxSystemCodecs",
                            "CheckBoxPerMonitor", "CheckBoxHoldFullScreen", "CheckBoxHoldBattery",
                            "CheckBoxHoldLocked"})
      Click(box);
    ClickRadio("RadioGroupType", 1);
    ClickRadio("RadioGroupPosition", 0);
    ClickRadio("RadioGroupLeftClick", 3);
    Put("MemoTimeInterval", "30");
    Put("MemoDelay", "5");
    Choose("ComboBoxYear", 24);
    Choose("ComboBoxMonth", 6);
    Choose("ComboBoxWeek", 4);
    Choose("ComboBoxDay", 5);
    ClickRadio("RadioGroupTraOrLon", 0);
    ClickRadio("RadioGroupForm", 1);
    ClickRadio("RadioGroupPlace", 2);
    Choose("ComboBoxLengthLine", 18);
    Put("MemoYearStart", "-3");
    Put("MemoTop", "123");
    Put("MemoLeft", "-45");
    for (const char* button : {"ButtonYear", "ButtonNormal", "ButtonSat", "ButtonSun", "ButtonFest", "ButtonToday",
                               "ButtonShadow", "ButtonFontY", "ButtonFontD"})
      Click(button);
    Put("EditApp", "C:\\tools\\before.exe");
    Click("BitBtnApp");
    Put("EditAppOption", "-x \"y\"");
    Put("EditSusie", plugins.Path());
    Click("BitBtnGv");
    Click("BitBtnWall");
    Put("EditWall", "typed.bmp");  // typed text does not name the file
    Click("BitBtnOk");
  });
  EXPECT_EQ(opened, (std::vector<std::pair<std::string, std::string>>{{"アプリケーションの設定", "C:\\tools\\"},
                                                                      {"壁紙ファイルの設定", folder_.Path() + "\\"}}));
  const Settings stored = Load();
  EXPECT_TRUE(stored == Model());
  const Settings& t = stored;
  EXPECT_EQ(std::tuple(t.tile, t.resize, t.resizeOver, t.screen, t.start, t.shade, t.day, t.interval, t.vorelrun,
                       t.calender, t.calenShadowOn, t.inOrder, t.calenCurrentLaw, t.systemCodecs,
                       t.perMonitor),
            std::tuple(false, true, false, false, true, true, false, true, false, false, false, true, true, false, true));
  EXPECT_EQ(std::tuple(t.holdFullScreen, t.holdBattery, t.holdLocked), std::tuple(true, true, true));
  EXPECT_EQ(std::tuple(t.position, t.click, t.changeTime, t.delayTime), std::tuple(0, 3, 30, 5));
  // The day font is taller than the cell was: the cell grows to it.
  EXPECT_EQ(std::tuple(t.calenYear, t.calenMonth, t.calenWeek, t.calenDay, t.calenTraOrLon, t.calenForm, t.calenPlace,
                       t.calenLength, t.calenYearStart, t.calenDistY, t.calenDistX, t.calenDayHeight),
            std::tuple(24, 6, 4, 5, 0, 1, 2, 18, -3, 123, -45, 32));
  EXPECT_EQ(std::tuple(t.colorYear, t.colorShadow), std::tuple(0x121314u, 0x78797Au));
  EXPECT_EQ(std::tuple(t.fonts[kFontYear].name, t.fonts[kFontYear].strikeOut, t.fonts[kFontDay].italic,
                       t.fonts[kFontWeek].name),
            std::tuple("ＭＳ Ｐゴシック", true, false, "ＭＳ Ｐ明朝"));
  EXPECT_EQ(
      std::tuple(t.app, t.appOption, t.susiePath, t.gvPath, t.wallFile),
      std::tuple("C:\\tools\\after.exe", "-x \"y\"", plugins.Path(), gv.File("Gv.exe"), folder_.File("Other.bmp")));
  // The end of the program would erase the desktop's wallpaper.
  form_->Model().shade = false;
}

// --- The other programs: GV and the plug-ins.

TEST_F(SettingsWindow, AViewerFolderWithoutGvIsNotTakenAndThePatternsComeBack) {
  testing::TempFolder withGv;
  ASSERT_TRUE(testing::WriteFileBytes(withGv.File("Gv.exe"), "MZ"));
  std::vector<FormDirRequest> requests;
  std::string answer;
  form_->Dialogs().pick = [&](const FormDirRequest& request) {
    requests.push_back(request);
    return answer.empty() ? std::optional<FormDirResult>() : std::optional<FormDirResult>({"", {}, answer});
  };
  const auto has = [this](const char* pattern) {
    const auto& p = form_->PicturePatterns();
    return std::find(p.begin(), p.end(), pattern) != p.end();
  };
  Open([&] {
    Put("EditGv", "C:\\old\\Gv.exe");
    EXPECT_EQ(Model().gvPath, "C:\\old\\Gv.exe");
    EXPECT_FALSE(Model().gvKnown);  // typing alone
    for (const std::string& folder : {std::string(), folder_.Path(), withGv.Path() + "\\"}) {
      answer = folder;
      const std::string before = Text("EditGv");
      Click("BitBtnGv");
      ASSERT_FALSE(requests.empty());
      EXPECT_EQ(requests.back().caption, "Gvのあるフォルダの設定");
      EXPECT_EQ(requests.back().folderText, before.substr(0, before.rfind('\\') + 1));
      EXPECT_EQ(requests.back().patterns, std::vector<std::string>{"*.exe"});
      EXPECT_TRUE(has("*.BMP"));
      EXPECT_FALSE(has("*.EXE"));
      const bool taken = folder == withGv.Path() + "\\";
      EXPECT_EQ(Text("EditGv"), taken ? withGv.File("Gv.exe") : before) << folder;
      EXPECT_EQ(Model().gvPath, Text("EditGv"));
      EXPECT_EQ(Model().gvKnown, taken);
      EXPECT_EQ(has("*.CAM"), taken);  // GV's formats only once GV is known
    }
  });
}

TEST_F(SettingsWindow, ThePluginListShowsTheFilesThatNameThemselvesAndNothingElse) {
  testing::TempFolder plugins;
  // Files that answer their descriptive name (one faults when asked for its patterns) ...
  for (const char* name : {"vtp24", "vtp8", "gif_lower", "jpeg_list", "crash_info"})
    ASSERT_TRUE(
        CopyFileW(ToWide(PluginFile(name)).c_str(), ToWide(plugins.File(std::string(name) + ".spi")).c_str(), FALSE));
  // ... and what only looks like a plug-in.
  ASSERT_TRUE(testing::WriteFileBytes(plugins.File("text.spi"), "not a library"));
  ASSERT_TRUE(testing::WriteFileBytes(plugins.File("empty.spi"), ""));
  ASSERT_TRUE(CopyFileW(ToWide(testing::FakeGvExe()).c_str(), ToWide(plugins.File("program.spi")).c_str(), FALSE));
  ASSERT_TRUE(CreateDirectoryW(ToWide(plugins.File("folder.spi")).c_str(), nullptr));
  ASSERT_TRUE(CopyFileW(ToWide(PluginFile("vtp32")).c_str(), ToWide(plugins.File("vtp32.dll")).c_str(), FALSE));
  FormDirRequest asked;
  form_->Dialogs().pick = [&](const FormDirRequest& request) {
    asked = request;
    return std::optional<FormDirResult>({"", {}, plugins.Path()});
  };
  Open([&] {
    Put("EditSusie", "C:\\no\\such\\folder");
    Click("BitBtnSusie");
    EXPECT_EQ(asked.caption, "Susie Plug-Inフォルダーの設定");
    EXPECT_EQ(asked.folderText, "C:\\no\\such\\folder");
    EXPECT_EQ(asked.patterns, std::vector<std::string>{"*.SPI"});
    EXPECT_EQ(Text("EditSusie"), plugins.Path());
    EXPECT_EQ(Model().susiePath, plugins.Path());
    EXPECT_EQ(ListItems(C("ListBoxSusie")), std::vector<std::string>(5, "Vorel test plug-in"));
    EXPECT_TRUE(Model().susieFolderKnown);
    const auto& p = form_->PicturePatterns();
    for (const char* pattern : {"*.VTP", "*.GIF", "*.JPEG", "*.BMP"})
      EXPECT_NE(std::find(p.begin(), p.end(), pattern), p.end()) << pattern;
    // Typing another folder rebuilds the list at once.
    Put("EditSusie", folder_.Path());
    EXPECT_TRUE(ListItems(C("ListBoxSusie")).empty());
  });
}

// --- Captions and hints.

struct Caption {
  const char* name;
  const char* caption;
  const char* hint;
  const char* items = nullptr;  // radio buttons or list items, one a line
};

// Typed from the window's description; the names of the colour labels and the page headings
// are this program's own.
const Caption kCaptions[] = {
    {"ImageBrelkin", "", "ホームページへ飛ぶ"},
    {"BitBtnChange", "おためし Change!!", "壁紙を張り替えます"},
    {"BitBtnOk", "OK", "設定を保存します"},
    {"BitBtnCancel", "ｷｬﾝｾﾙ", "設定を変更しないで閉じます"},
    {"SpeedButtonHelp", "", "ヘルプを表示します"},
    {"SpeedButtonAbout", "About", "バージョン情報"},
    {"Label1", "共通", ""},
    {"Label2", "常駐版", ""},
    {"Label3", "非常駐版", ""},
    {"CheckBoxTile", "タイル表示", "タイル表示か中央に一つだけかを選びます"},
    {"CheckBoxResize", "拡大縮小する", "画面に収まる範囲で目いっぱい広げます"},
    {"CheckBoxResizeOver", "はみ出たときだけ縮小する", "画像ファイルが大きすぎたときに小さくして画像を収めます"},
    {"CheckBoxScreen", "壁紙に空きを作る", "周りに空白をあけて画像を表示します"},
    {"LabelScreenY", "上下", "上下の空間隔です"},
    {"MemoScreenY", "0", "上下の空間隔です"},
    {"ButtonScreenYUp", "▲", "上下の空間隔です"},
    {"ButtonScreenYDown", "▼", "上下の空間隔です"},
    {"LabelScreenX", "左右", "左右の空間隔です"},
    {"MemoScreenX", "0", "左右の空間隔です"},
    {"ButtonScreenXUp", "▲", "左右の空間隔です"},
    {"ButtonScreenXDown", "▼", "左右の空間隔です"},
    {"RadioGroupType", "切り替え方法", "画面を書き換えるときの方法を決めます", "ランダム\n順番通り"},
    {"RadioGroupPosition", "壁紙の位置", "", "左上\n左\n左下\n上\n中央\n下\n右上\n右\n右下"},
    {"CheckBoxStart", "起動したときに書き換える", "ソフトウェアが立ち上がったときに壁紙を張り替えます"},
    {"CheckBoxShade", "終了時に壁紙を消す", "次に起動する時に壁紙が現れないので，立ち上げ時に見られたくなければ．．．"},
    {"CheckBoxChangeDay", "日付が変わったら書き換える", "０時になったら書き換えます"},
    {"CheckBoxChangeTime", "一定時間で書き換え", "時間がたったら壁紙を張り替えます"},
    {"LabelTime", "書き換え間隔", "壁紙を張りかえる時間間隔です"},
    {"MemoTimeInterval", "60", "壁紙を張りかえる時間間隔です"},
    {"LabelTimeOrder", "sec", ""},
    {"ButtonTimeIntervalUp", "▲", "壁紙を張りかえる時間間隔を10秒だけ伸ばします"},
    {"ButtonTimeIntervalDown", "▼", "壁紙を張りかえる時間間隔を10秒だけ縮めます"},
    {"RadioGroupLeftClick", "左クリックしたときの動作", "タスクバーのアイコンをクリックした時の動作を決めます",
     "壁紙を消す(ボスが来た!!)\n壁紙を張りかえる\n書き換え一時停止\nスクリーンセーバーの起動"},
    {"CheckBoxVorelrun", "次回起動時の壁紙を変更する",
     "チェックすると，立ち上がったときに画面を書き換えるような醜い事は無くなります"},
    {"LabelDelay", "遅延書き換え", "少し待ってから書き換えます"},
    {"MemoDelay", "0", "待つ時間です"},
    {"Label11", "sec", "待つ時間です"},
    {"ButtonDelayUp", "▲", "待つ時間です"},
    {"ButtonDelayDown", "▼", "待つ時間です"},
    {"CheckBoxCalender", "カレンダーを表示する", "壁紙にカレンダーを書き込みます"},
    {"GroupBoxFont", "フォント", ""},
    {"ButtonFontY", "Year/Month", "年月を表示する時のフォントを決めます"},
    {"ButtonFontW", "Week", "曜日を表示する時のフォントを決めます"},
    {"ButtonFontD", "Day", "日付を表示する時のフォントを決めます"},
    {"RadioGroupForm", "カレンダーの形", "四角いものか一列に並んだものかを選びます", "箱型\n棒型"},
    {"RadioGroupTraOrLon", "各月の並び方", "幅広いカレンダーにするか，細長いカレンダーにするか決めます", "縦\n横"},
    {"RadioGroupPlace", "カレンダーの位置", "カレンダーの基本位置を決めます", "左上\n左下\n右上\n右下"},
    {"Label19", "表示する形式", ""},
    {"CheckBoxCurrentLaw", "現行の暦",
     "祝日を現行の祝日法（振替休日・国民の休日を含む）で、元号を令和・平成・昭和で表示します"},
    {"Label3", "年", ""},  // the calendar page's own Label3
    {"ComboBoxYear", nullptr, "年の表示方法を決めます",
     "何も表示しない\n1998,1999,･･･\n'98,'99,･･･\n98,99,･･･\n1998年,1999年,･･･\n98年,99年,･･･\n"
     "平成10年,平成11年,･･･\nH10,H11,･･･\nH10年,H11年,･･･\n1998(H10),1999(H11),･･･\n'98(H10),'99(H11),･･･\n"
     "98(H10),99(H11),･･･\n1998年(H10),1999年(H11),･･･\n98年(H10),99年(H11),･･･\n"
     "1998(平成10),1999(平成11),･･･\n'98(平成10),'99(平成11),･･･\n98(平成10),99(平成11),･･･\n"
     "1998年(平成10),1999年(平成11),･･･\n98年(平成10),99年(平成11),･･･\n1998(平成10年),1999(平成11年),･･･\n"
     "'98(平成10年),'99(平成11年),･･･\n98(平成10年),99(平成11年),･･･\n1998(H10年),1999(H11年),･･･\n"
     "'98(H10年),'99(H11年),･･･\n98(H10年),99(H11年),･･･"},
    {"Label10", "月", ""},
    {"ComboBoxMonth", nullptr, "月の表示方法を決めます",
     "何も表示しない\n1, 2, 3, ・・・\nJanuary, February, March, ・・・\nJan, Feb, Mar, ・・・\n睦月, 如月,・・・\n"
     "壱月,弐月,参月,・・・\n1月, 2月, 3月, ・・・"},
    {"Label16", "曜日", ""},
    {"ComboBoxWeek", nullptr, "曜日の書き方を決めます",
     "何も表示しない\nS M ・・・\nSu Mo ・・・\nSun Mon ・・・\n日 月 ・・・"},
    {"Label17", "今日", ""},
    {"ComboBoxDay", nullptr, "今日の日付を目立つように特別に描きます",
     "何もしない\n色を変える\n背景を四角で塗りつぶす\n背景を円で塗りつぶす\n背景を丸で書く\n背景を角丸四角で塗りつぶ"
     "す"},
    {"Label18", "月数", ""},
    {"ComboBoxLength", nullptr, "何ヶ月分カレンダーを描くか決めます",
     "今月だけ\n今月，来月\n今月，来月，再来月\n先月，今月，来月"},
    {"ComboBoxLengthLine", nullptr, "何ヶ月分カレンダーを描くか決めます",
     "今月だけ\n今月，来月\n今月，来月，再来月\n先月，今月，来月\n今日から１ヶ月\n今日から2ヶ月\n今日から3ヶ月\n"
     "今週から１ヶ月\n今週から2ヶ月\n今週から3ヶ月\n先週から１ヶ月\n先週から2ヶ月\n先週から3ヶ月\n先先週から１ヶ月\n"
     "先先週から2ヶ月\n先先週から3ヶ月\n半月ごと１ヶ月\n半月ごと2ヶ月\n半月ごと3ヶ月"},
    {"GroupBoxColor", "色", ""},
    {"LabelYearStart", "年月の左端", "年をどのくらい右にずらして描くか決めます"},
    {"MemoYearStart", "16", "年をどのくらい右にずらして描くか決めます"},
    {"LabelYW", "年月と曜日の間隔", "年の表示と曜日の表示の間の間隔を決めます"},
    {"MemoYW", "2", "年の表示と曜日の表示の間の間隔を決めます"},
    {"LabelWD", "曜日と日付の間隔", "曜日の表示と日にちの表示の間の間隔を決めます"},
    {"MemoWD", "2", "曜日の表示と日にちの表示の間の間隔を決めます"},
    {"Label9", "日付の横幅", "日にちの左と右の文字の間を決めます"},
    {"MemoDayWidth", "48", "日にちの左と右の文字の間を決めます"},
    {"Label14", "日付の縦幅", "日にちの上と下の文字の間を決めます"},
    {"MemoDayHeight", "20", "日にちの上と下の文字の間を決めます"},
    {"LabelSpace", "各月の間隔", "月と月の間の間隔を設定します"},
    {"MemoSpace", "16", "月と月の間の間隔を設定します"},
    {"LabelTop", "下端からの距離", "基本位置からのずれを決めます"},
    {"MemoTop", "16", "基本位置からのずれを決めます"},
    {"LabelLeft", "右端からの距離", "基本位置からのずれを決めます"},
    {"MemoLeft", "37", "基本位置からのずれを決めます"},
    {"Label15", "影のずれ", "影を上の字からどのくらい右下に書くか決めます"},
    {"MemoShadow", "2", "影を上の字からどのくらい右下に書くか決めます"},
    {"CheckBoxShadow", "影をつける", "カレンダーの下に影を描くか決めます"},
    {"ButtonYear", "設定", "年や月の色を決めます"},
    {"ButtonNormal", "設定", "普通の日の色を決めます"},
    {"ButtonSat", "設定", "土曜日の色を決めます"},
    {"ButtonSun", "設定", "祝祭日の色を決めます"},
    {"ButtonFest", "設定", "祝祭日の色を決めます"},
    {"ButtonToday", "設定", "今日の色を決めます"},
    {"ButtonShadow", "設定", "影の色を決めます"},
    {"LabelShapeYear", "年月", ""},
    {"LabelShapeNormal", "平日", ""},
    {"LabelShapeSat", "土曜", ""},
    {"LabelShapeSun", "日曜", ""},
    {"LabelShapeFest", "祭日", ""},
    {"LabelShapeToday", "今日", ""},
    {"LabelShapeShadow", "影", ""},
    {"CheckBoxStuff", "第6週までなかったら詰める",
     "カレンダーの各月の間隔を一定にするのではなくて，週の数が少なかったら適当に調整します"},
    {"GroupBoxApp", "壁紙変更時に他のアプリケーションの実行", ""},
    {"EditApp", "", ""},
    {"BitBtnApp", "設定", "アプリケーションを選びます"},
    {"Label22", "オプション", ""},
    {"EditAppOption", "", ""},
    {"Label2", "グラフィックビューアー Gv のあるフォルダ", ""},  // the link page's own Label2
    {"EditGv", "", "Gvが入っていると思うフォルダを表示します"},
    {"BitBtnGv", "設定", "Gvの入ったフォルダを選びます"},
    {"LabelSusie", "グラフィックビューアー Susie の Plug-In のあるフォルダ", ""},
    {"EditSusie", "", "Susie Plug-Inが入っていると思うフォルダを表示します"},
    {"BitBtnSusie", "設定", "Susie Plug-Inの入ったフォルダを選びます"},
    {"ListBoxSusie", "", "有効なSusie Plug-Inの一覧です"},
    {"CheckBoxSystemCodecs", "Windows の画像形式も読む", "JPEGやPNGなど、Windowsが読める形式の画像も壁紙にします"},
    {"LabelWall", "壁紙ファイル", "実際にカレンダーが書き込まれるファイルです"},
    {"BitBtnWall", "設定", "壁紙ファイルを設定します"},
    {"EditWall", nullptr, "実際にカレンダーが書き込まれるファイルです"},
    {"CheckBoxPerMonitor", "モニターごとに別の絵を表示する",
     "モニターが二つ以上あるとき，それぞれのモニターに別の絵を張ります"},
    {"CheckBoxHoldFullScreen", "全画面のアプリを使っている間は張り替えない",
     "ゲームや動画，スライドショーが画面いっぱいに出ている間は，時間や日付での張り替えを待ち，終わったら一度だけ張り替えます"},
    {"CheckBoxHoldBattery", "バッテリーで動いている間は張り替えない",
     "電源につながっていないときやバッテリー節約機能がオンのときは，時間や日付での張り替えを待ち，電源につないだら一度だけ張り替えます"},
    {"CheckBoxHoldLocked", "画面がロックされている間は張り替えない",
     "画面がロックされているときやリモート接続が切れているときは，時間や日付での張り替えを待ち，戻ったら一度だけ張り替えます"},
};

// Names used on two pages: the row is looked up on that page.
int PageOfCaption(size_t row) {
  const std::string name = kCaptions[row].name;
  if (name == "Label3" && std::string(kCaptions[row].caption) == "年") return kPageCalendar;
  if (name == "Label2" && std::string(kCaptions[row].caption) != "常駐版") return kPageLink;
  if (name == "Label1" || name == "Label2" || name == "Label3") return kPageChange;
  return -1;
}

TEST_F(SettingsWindow, EveryCaptionAndHintIsTheDescribedOne) {
  EXPECT_EQ(WindowText(form_->Handle()), "Vorel");
  const char* tabs[] = {"壁紙", "張り替えかた", "カレンダー", "他のソフトとの連携", "ユーザー環境"};
  ASSERT_EQ(SendMessageW(form_->TabControl(), TCM_GETITEMCOUNT, 0, 0), kPageCount);
  for (int i = 0; i < kPageCount; ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(form_->TabControl(), TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(ToUtf8(text), tabs[i]);
  }
  EXPECT_EQ(form_->ActivePage(), kPageWallpaper);
  for (size_t row = 0; row < std::size(kCaptions); ++row) {
    const Caption& c = kCaptions[row];
    SCOPED_TRACE(c.name);
    const int page = PageOfCaption(row);
    const HWND h =
        page < 0 ? form_->Control(c.name) : dynamic_cast<const TablePage&>(*form_->Page(page)).Controls()[c.name];
    ASSERT_NE(h, nullptr);
    if (c.caption) {
      EXPECT_EQ(WindowText(h), c.caption);
    }
    EXPECT_EQ(form_->Hint(h), c.hint);
    if (!c.items) continue;
    std::vector<std::string> items;
    for (const HWND radio : PageOf(h).Controls().Radios(c.name)) {
      items.push_back(WindowText(radio));
      EXPECT_EQ(form_->Hint(radio), c.hint);
    }
    for (LRESULT i = 0, n = SendMessageW(h, CB_GETCOUNT, 0, 0); i < n; ++i) {
      std::wstring text(static_cast<size_t>(SendMessageW(h, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      text.resize(static_cast<size_t>(SendMessageW(h, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
      items.push_back(ToUtf8(text));
    }
    EXPECT_EQ(items, SplitItems(c.items));
  }
  // The ▲/▼ buttons stay out of the tab order, the fields and the rest take part in it.
  for (const char* name : {"MemoTimeInterval", "MemoDelay", "MemoScreenX", "MemoYearStart", "MemoLeft", "CheckBoxTile",
                           "EditGv", "BitBtnWall", "BitBtnOk", "ComboBoxYear"})
    EXPECT_TRUE(GetWindowLongW(C(name), GWL_STYLE) & WS_TABSTOP) << name;
  for (const char* name : {"ButtonTimeIntervalUp", "ButtonDelayDown", "ButtonScreenXUp", "ButtonYearStartDown",
                           "ButtonLeftUp", "ListBoxSusie"})
    EXPECT_FALSE(GetWindowLongW(C(name), GWL_STYLE) & WS_TABSTOP) << name;
  // The calendar fields' buttons carry no hint.
  for (const char* field : {"YearStart", "YW", "WD", "DayWidth", "DayHeight", "Space", "Top", "Left", "Shadow"})
    for (const char* side : {"Up", "Down"}) {
      const HWND h = C(std::string("Button") + field + side);
      EXPECT_EQ(WindowText(h), std::string(side) == "Up" ? "▲" : "▼") << field;
      EXPECT_EQ(form_->Hint(h), "") << field;
    }
  struct PickerRow {
    const char* name;
    const char* caption;
    const char* hint;
  };
  for (const PickerRow& r :
       {PickerRow{"Edit", nullptr, "選んだフォルダです"}, PickerRow{"DriveComboBox", nullptr, "ドライブを選びます"},
        PickerRow{"DirectoryListBox", nullptr, "フォルダを選びます"},
        PickerRow{"ListBoxFile", nullptr, "ファイルを選びます"},
        PickerRow{"Image", nullptr, "上で選択された絵のプレビューです"},
        PickerRow{"BitBtn1", "OK", "フォルダ，画像ファイルを選択します"},
        PickerRow{"BitBtn2", "ｷｬﾝｾﾙ", "やっぱり選ぶのを止めます"}}) {
    const HWND h = form_->Picker().Control(r.name);
    ASSERT_NE(h, nullptr) << r.name;
    if (r.caption) {
      EXPECT_EQ(WindowText(h), r.caption);
    }
    EXPECT_EQ(form_->Picker().Hint(h), r.hint) << r.name;
  }
}

// --- Layout.

TEST_F(SettingsWindow, TheBottomBarAndTheLinkPagesFollowTheSize) {
  struct Size {
    int width;
    int height;
    int expectedWidth;
    int expectedHeight;
  };
  Open([&] {
    RECT first{};
    GetWindowRect(form_->Handle(), &first);
    EXPECT_EQ(first.left, (GetSystemMetrics(SM_CXSCREEN) - 498) / 2);
    EXPECT_EQ(first.top, (GetSystemMetrics(SM_CYSCREEN) - 352) / 2);
    for (const Size& s :
         {Size{498, 352, 498, 352}, Size{700, 500, 700, 500}, Size{1024, 768, 1024, 768}, Size{100, 100, 498, 352}}) {
      SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
      SetWindowPos(form_->Handle(), nullptr, 0, 0, s.width, s.height, SWP_NOZORDER | SWP_NOMOVE);
      RECT outer{};
      GetWindowRect(form_->Handle(), &outer);
      EXPECT_EQ(outer.right - outer.left, s.expectedWidth);
      EXPECT_EQ(outer.bottom - outer.top, s.expectedHeight);
      RECT client{};
      GetClientRect(form_->Handle(), &client);
      const int w = client.right;
      const int h = client.bottom;
      const RECT change = RectInParent(C("BitBtnChange"));
      EXPECT_EQ(change.left, w - 353);
      EXPECT_EQ(change.top, h - 28);
      int left = change.left;
      for (const auto& [name, step] : {std::pair{"BitBtnOk", 116}, std::pair{"BitBtnCancel", 80},
                                       std::pair{"SpeedButtonHelp", 87}, std::pair{"SpeedButtonAbout", 29}}) {
        const RECT r = RectInParent(C(name));
        left += step;
        EXPECT_EQ(r.left, left) << name;
        EXPECT_EQ(r.top, h - 28) << name;
      }
      const RECT logo = RectInParent(C("ImageBrelkin"));
      EXPECT_EQ(logo.left, 0);
      EXPECT_EQ(logo.top, h - 32);
      const RECT tab = RectInParent(form_->TabControl());
      EXPECT_EQ(tab.right - tab.left, w);
      EXPECT_EQ(tab.bottom - tab.top, h - 35);

      Tab(kPageLink);
      RECT page{};
      GetClientRect(form_->Page(kPageLink)->Handle(), &page);
      const int pw = page.right;
      const int ph = page.bottom;
      EXPECT_EQ(RectInParent(C("GroupBoxApp")).right - RectInParent(C("GroupBoxApp")).left, pw);
      for (const char* edit : {"EditGv", "EditSusie", "EditApp", "EditAppOption"})
        EXPECT_EQ(RectInParent(C(edit)).right - RectInParent(C(edit)).left, pw - 78) << edit;
      for (const char* button : {"BitBtnGv", "BitBtnSusie", "BitBtnApp"})
        EXPECT_EQ(RectInParent(C(button)).left, pw - 69) << button;
      const RECT list = RectInParent(C("ListBoxSusie"));
      EXPECT_EQ(list.right - list.left, pw);
      EXPECT_EQ(list.bottom - list.top, ph - 165 - 24);
      // Below it, at the bottom edge, the switch of the system's formats.
      EXPECT_EQ(RectInParent(C("CheckBoxSystemCodecs")).top, ph - 20);
      EXPECT_EQ(RectInParent(C("CheckBoxSystemCodecs")).left, 8);

      Tab(kPageUser);
      GetClientRect(form_->Page(kPageUser)->Handle(), &page);
      EXPECT_EQ(RectInParent(C("EditWall")).right - RectInParent(C("EditWall")).left, page.right - 78);
      EXPECT_EQ(RectInParent(C("BitBtnWall")).left, page.right - 69);
      EXPECT_TRUE(IsWindowVisible(form_->Page(kPageUser)->Handle()));
      EXPECT_FALSE(IsWindowVisible(form_->Page(kPageLink)->Handle()));
    }
  });
}

// --- The calendar page.

TEST_F(SettingsWindow, ColoursAndFontsChosenInTheDialogsLandInTheModel) {
  std::vector<uint32_t> presets;
  form_->Dialogs().colour = [&](HWND, uint32_t preset) {
    presets.push_back(preset);
    return std::optional<uint32_t>(0x00336699);
  };
  std::vector<std::wstring> faces;
  int fontHeight = 0;
  form_->Dialogs().font = [&](HWND, const LOGFONTW& preset) {
    faces.push_back(preset.lfFaceName);
    LOGFONTW f = preset;
    wcscpy(f.lfFaceName, L"ＭＳ Ｐゴシック");
    f.lfHeight = fontHeight;
    return std::optional<LOGFONTW>(f);
  };
  struct DayCase {
    const char* before;
    int fontHeight;
    int32_t after;
  };
  Open([&] {
    Click("ButtonToday");
    EXPECT_EQ(presets, std::vector<uint32_t>{0x00FF00});
    EXPECT_EQ(Model().colorToday, 0x336699u);
    form_->Dialogs().colour = [](HWND, uint32_t) { return std::optional<uint32_t>(); };
    Click("ButtonToday");
    EXPECT_EQ(Model().colorToday, 0x336699u);  // cancelled

    // A taller day font sets the cell height to the font's; a taller cell stays.
    for (const DayCase& c : {DayCase{"20", -30, 30}, DayCase{"40", -30, 40}, DayCase{"20", 30, 20}}) {
      SCOPED_TRACE(std::string(c.before) + " " + std::to_string(c.fontHeight));
      Put("MemoDayHeight", c.before);
      Key(VK_RETURN);
      fontHeight = c.fontHeight;
      Click("ButtonFontD");
      EXPECT_EQ(Model().calenDayHeight, c.after);
      EXPECT_EQ(Text("MemoDayHeight"), std::to_string(c.after));
      EXPECT_EQ(Model().fonts[kFontDay].name, "ＭＳ Ｐゴシック");
      LOGFONTW shown{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(C("ButtonFontD"), WM_GETFONT, 0, 0)), sizeof(shown), &shown);
      EXPECT_EQ(ToUtf8(shown.lfFaceName), "ＭＳ Ｐゴシック");
    }
    EXPECT_EQ(faces.front(), L"ＭＳ Ｐ明朝");
    EXPECT_EQ(Model().fonts[kFontYear].name, "ＭＳ Ｐ明朝");
  });
}

TEST_F(SettingsWindow, FormAndPlaceRenameTheDistanceLabels) {
  struct Step {
    const char* what;
    const char* group;
    int index;
    const char* yearStart;
    const char* top;
    const char* left;
  };
  Open([&] {
    for (const Step& s :
         {Step{"box, 右下", "RadioGroupPlace", 3, "年月の左端", "下端からの距離", "右端からの距離"},
          Step{"bar keeps 3, 下", "RadioGroupForm", 1, "年月の左端", "下端からの距離", "左端からの距離"},
          Step{"bar, 左", "RadioGroupPlace", 1, "年月の上端", "上端からの距離", "左端からの距離"},
          Step{"bar, 右", "RadioGroupPlace", 2, "年月の上端", "上端からの距離", "右端からの距離"},
          Step{"box keeps 2, 右上", "RadioGroupForm", 0, "年月の左端", "上端からの距離", "右端からの距離"}}) {
      SCOPED_TRACE(s.what);
      ClickRadio(s.group, s.index);
      EXPECT_EQ(Text("LabelYearStart"), s.yearStart);
      EXPECT_EQ(Text("LabelTop"), s.top);
      EXPECT_EQ(Text("LabelLeft"), s.left);
      const bool box = Model().calenForm == 0;
      EXPECT_EQ(WindowText(Radios("RadioGroupPlace")[0]), box ? "左上" : "上");
      EXPECT_EQ(Text("LabelYW"), box ? "年月と曜日の間隔" : "年月と日付の間隔");
      EXPECT_EQ(IsWindowEnabled(C("ComboBoxWeek")) != FALSE, box);
      EXPECT_EQ(IsWindowVisible(C("ComboBoxLength")) != FALSE, box);
      EXPECT_EQ(IsWindowVisible(C("ComboBoxLengthLine")) != FALSE, !box);
      if (!box) Choose("ComboBoxLengthLine", 18);
    }
    EXPECT_EQ(Model().calenPlace, 2);
    EXPECT_EQ(Model().calenLength, 1);  // the box list's choice, not the bar's 18
  });
}

// --- The picker.

class Picker : public SettingsWindow {
 protected:
  std::optional<FormDirResult> Pick(const FormDirRequest& request, const std::function<void()>& act) {
    std::optional<FormDirResult> result;
    TFormDir& picker = form_->Picker();
    Modal(
        picker.Handle(), [&] { result = picker.Pick(form_->Handle(), request, form_->PreviewLoad()); }, act);
    return result;
  }
  HWND P(const char* name) { return form_->Picker().Control(name); }
  std::vector<std::string> Files() { return ListItems(P("ListBoxFile")); }
  void ClickFile(const std::string& name) {
    const HWND list = P("ListBoxFile");
    const LRESULT index =
        SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(ToWide(name).c_str()));
    ASSERT_GE(index, 0) << name;
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, index);
    SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    SendMessageW(form_->Picker().Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  // A double click on a line of the folder list.
  void OpenFolder(const std::string& name) {
    const HWND list = P("DirectoryListBox");
    const std::vector<std::string> lines = ListItems(list);
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const std::string& l) { return l.substr(l.find_first_not_of(' ')) == name; });
    ASSERT_NE(line, lines.end()) << name;
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line - lines.begin()), 0);
    SendMessageW(form_->Picker().Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
  }
  std::string Edit() { return WindowText(P("Edit")); }
};

TEST_F(Picker, ListsTheNamesOfThePatternsWhateverTheirCase) {
  for (const char* name : {"a.bmp", "b.JPG", "c.txt", "d", "e.Bmp", "f.bmp.txt", "g.jpeg"})
    ASSERT_TRUE(testing::WriteFileBytes(folder_.File(name), "x"));
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder_.File("h.bmp")).c_str(), nullptr));
  struct Case {
    std::vector<std::string> patterns;
    std::vector<std::string> listed;
  };
  for (const Case& c : {Case{{"*.BMP", "*.JPG"}, {"a.bmp", "b.JPG", "e.Bmp"}}, Case{{"*.*"}, {}},
                        Case{{"*.txt"}, {"c.txt", "f.bmp.txt"}}}) {
    Pick({"画像ファイルの追加", folder_.Path(), c.patterns, true}, [&] {
      EXPECT_EQ(WindowText(form_->Picker().Handle()), "画像ファイルの追加");
      EXPECT_EQ(Files(), c.listed) << c.patterns.front();
    });
  }
}

TEST_F(Picker, ThePreviewFitsTheClickedPictureIntoItsArea) {
  const auto bitmap = [](int w, int h) {
    return EncodeBmp24(Picture{w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, 0x204060)});
  };
  ASSERT_TRUE(testing::WriteFileBytes(folder_.File("wide.bmp"), bitmap(400, 100)));
  ASSERT_TRUE(testing::WriteFileBytes(folder_.File("tall.bmp"), bitmap(100, 400)));
  ASSERT_TRUE(CopyFileW(ToWide(PluginFile("vtp8")).c_str(), ToWide(folder_.File("vtp8.spi")).c_str(), FALSE));
  Pick({"画像ファイルの追加", folder_.Path(), {"*.BMP", "*.SPI"}, false}, [&] {
    RECT client{};
    GetClientRect(form_->Picker().Handle(), &client);
    EXPECT_EQ(client.right, 495);
    EXPECT_EQ(client.bottom, 330);
    const RECT none = form_->Picker().PreviewPlace();
    EXPECT_TRUE(IsRectEmpty(&none));
    struct Fit {
      const char* file;
      RECT place;
    };
    // The plug-in file is no picture: the preview stays as it was.
    for (const Fit& f : {Fit{"wide.bmp", {320, 253, 489, 295}}, Fit{"tall.bmp", {391, 222, 417, 327}},
                         Fit{"vtp8.spi", {391, 222, 417, 327}}}) {
      ClickFile(f.file);
      const RECT r = form_->Picker().PreviewPlace();
      EXPECT_TRUE(EqualRect(&r, &f.place))
          << f.file << ": " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
    }
  });
}

TEST_F(Picker, CancelRestoresTheFolderTextAndOkGivesWhatWasTyped) {
  ASSERT_TRUE(CreateDirectoryW(ToWide(folder_.File("sub")).c_str(), nullptr));
  const FormDirRequest request{"Susie Plug-Inフォルダーの設定", folder_.Path(), {"*.SPI"}, false};
  EXPECT_FALSE(Pick(request, [&] {
    OpenFolder("sub");
    EXPECT_EQ(Edit(), folder_.File("sub"));
    EXPECT_EQ(form_->Picker().Directory(), folder_.File("sub"));
    SendMessageW(P("BitBtn2"), BM_CLICK, 0, 0);
  }));
  EXPECT_EQ(Edit(), folder_.Path());

  const auto typed = Pick(request, [&] {
    OpenFolder("sub");
    SetWindowTextW(P("Edit"), L"C:\\typed");
    SendMessageW(P("BitBtn1"), BM_CLICK, 0, 0);
  });
  ASSERT_TRUE(typed);
  EXPECT_EQ(typed->folderText, "C:\\typed");
  EXPECT_EQ(typed->directory, folder_.File("sub"));
}

TEST_F(Picker, AViewerFolderWithoutGvLeavesThePicturePickerListingPictures) {
  for (const char* name : {"a.bmp", "tool.exe"}) ASSERT_TRUE(testing::WriteFileBytes(folder_.File(name), "x"));
  form_->Dialogs().pick = [this](const FormDirRequest& request) {
    return form_->Picker().Pick(form_->Handle(), request, form_->PreviewLoad());
  };
  Open([&] {
    Put("EditGv", "C:\\old\\Gv.exe");
    Modal(
        form_->Picker().Handle(), [&] { Click("BitBtnGv"); },
        [&] {
          EXPECT_EQ(WindowText(form_->Picker().Handle()), "Gvのあるフォルダの設定");
          SetWindowTextW(P("Edit"), ToWide(folder_.Path()).c_str());
          SendMessageW(P("BitBtn1"), BM_CLICK, 0, 0);
        });
    EXPECT_EQ(Text("EditGv"), "C:\\old\\Gv.exe");
    Pick({"画像ファイルの追加", folder_.Path(), form_->PicturePatterns(), true},
         [&] { EXPECT_EQ(Files(), std::vector<std::string>{"a.bmp"}); });
  });
}

TEST_F(Picker, AStartingFolderThatIsGoneOpensTheLastGoodOne) {
  ASSERT_TRUE(Pick({"Gvのあるフォルダの設定", folder_.Path(), {"*.exe"}, false},
                   [&] { SendMessageW(P("BitBtn1"), BM_CLICK, 0, 0); }));
  Pick({"Gvのあるフォルダの設定", folder_.File("gone\\deeper"), {"*.exe"}, false}, [&] {
    EXPECT_EQ(form_->Picker().Directory(), folder_.Path());
    EXPECT_EQ(Edit(), folder_.Path());
  });
}

}  // namespace
}  // namespace vorel
