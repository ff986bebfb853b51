// The tray form and the settings window in this process, on settings in memory: the menu's
// items in their order and which are greyed, the tip with the picture's name and the pause,
// the message of a second Vorelset (only a command's exact name is taken), and a key another
// program holds named in the tip.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/bmp_file.h"
#include "engine/settings_store.h"
#include "platform/strings.h"
#include "resident/form_start_win32.h"
#include "resident/hot_keys.h"
#include "resident/remote_command.h"
#include "resident/resident_ids.h"
#include "settings_ui/form_main_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

Picture Plain(int32_t width, int32_t height, uint32_t colour) {
  return {width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, colour)};
}

class TrayWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    const auto key = registry_.Open(kSettingsKeyPath, true);
    key->WriteText("WallFile", folder_.File("WallPaper.bmp"));
    key->WriteInt("Calender", 0);
    key->WriteInt("Type", 1);  // list order: the pictures come as 1, 2, 0
    key->WriteInt("FileNum", 3);
    for (uint32_t i = 0; i < 3; ++i) {
      const std::string path = folder_.File("写真" + std::to_string(i) + ".bmp");
      ASSERT_TRUE(testing::WriteFileBytes(path, EncodeBmp24(Plain(64, 48, 0x102030 * (i + 1)))));
      key->WriteText("WallFile" + std::to_string(i), path);
    }
  }
  void Start() {
    ASSERT_TRUE(start_.Create());
    FormMainHooks hooks;
    hooks.currentChanged = [this] { start_.UpdateTip(); };
    form_ = std::make_unique<TFormMain>(registry_, std::move(hooks), [] { return SystemTime{2026, 12, 9, 12, 0, 0}; });
    start_.SetFormMain(form_.get());
    ASSERT_TRUE(form_->Create());
    start_.RegisterHotKeys(false);
  }
  void TearDown() override {
    start_.SetFormMain(nullptr);
    if (form_) form_->Exit();
    form_.reset();
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    const HMENU menu = start_.PopupMenu();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128]{};
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_STRING;
      info.dwTypeData = text;
      info.cch = 127;
      GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
      captions.push_back(info.fType & MFT_SEPARATOR ? "-" : ToUtf8(text));
    }
    return captions;
  }
  // Which of the items that need a picture or a history can be chosen as the menu opens.
  std::vector<bool> Enabled() {
    SendMessageW(start_.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(start_.PopupMenu()), 0);
    std::vector<bool> enabled;
    for (const UINT id : {kCmdPrev, kCmdOpenPicture, kCmdOpenFolder, kCmdExclude})
      enabled.push_back(!(GetMenuState(start_.PopupMenu(), id, MF_BYCOMMAND) & MF_GRAYED));
    return enabled;
  }
  std::string Tip() { return ToUtf8(start_.TaskBar().Record().szTip); }
  LRESULT CopyData(uint64_t tag, const std::string& bytes) {
    COPYDATASTRUCT data{static_cast<ULONG_PTR>(tag), static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    return SendMessageW(start_.Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }

  testing::TempFolder folder_;
  MemoryRegistry registry_;
  TFormStart start_;
  std::unique_ptr<TFormMain> form_;
};

TEST_F(TrayWin32, TheMenuKeepsItsOrderAndGreysWhatHasNoPictureOrHistory) {
  Start();
  EXPECT_EQ(Captions(), (std::vector<std::string>{
                            "ヘルプ", "ヴァージョン情報", "-", "壁紙の張り替え", "前の壁紙に戻す",
                            "壁紙を消す(ボスが来た!!)", "書き換え一時停止", "スクリーンセーバー起動", "-",
                            "この絵を開く", "この絵のフォルダーを開く", "この絵を今後使わない", "-", "設定", "終了"}));
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(Tip(), "Vorel");

  start_.RunCommand(kCmdReDraw);
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, true, true})) << "nothing before the first picture";
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp");
  start_.RunCommand(kCmdReDraw);
  EXPECT_EQ(Enabled(), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(Tip(), "Vorel\n写真2.bmp");

  // The pause, set by the command line's switch twice: still paused, and said in the tip.
  start_.RunCommand(kCmdPause);
  start_.RunCommand(kCmdPause);
  EXPECT_TRUE(form_->RewritePaused());
  EXPECT_EQ(Tip(), "Vorel（一時停止中）\n写真2.bmp");
  start_.RunCommand(kCmdStop);  // the menu's item toggles
  EXPECT_FALSE(form_->RewritePaused());

  start_.RunCommand(kCmdPrev);
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp");
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, true, true})) << "back at the first picture";

  // Erased: the picture items grey; back brings the erased picture again.
  start_.RunCommand(kCmdErase);
  EXPECT_EQ(Tip(), "Vorel");
  EXPECT_EQ(Enabled(), (std::vector<bool>{true, false, false, false}));
}

TEST_F(TrayWin32, ASecondVorelsetsMessageCarriesOnlyACommandsExactName) {
  Start();
  start_.RunCommand(kCmdReDraw);
  ASSERT_EQ(Tip(), "Vorel\n写真1.bmp");
  // Refused, and nothing runs: another tag, a path, a name with more behind it, too long.
  EXPECT_EQ(CopyData(kRemoteCommandTag + 1, "erase"), FALSE);
  EXPECT_EQ(CopyData(kRemoteCommandTag, "C:\\Windows\\notepad.exe"), FALSE);
  EXPECT_EQ(CopyData(kRemoteCommandTag, std::string("erase\0next", 10)), FALSE);
  EXPECT_EQ(CopyData(kRemoteCommandTag, std::string(4096, 'e')), FALSE);
  EXPECT_EQ(SendMessageW(start_.Handle(), WM_COPYDATA, 0, 0), FALSE);
  Pump();
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp");
  // Accepted at once, carried out after the answer.
  EXPECT_EQ(CopyData(kRemoteCommandTag, "erase"), TRUE);
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp");
  Pump();
  EXPECT_EQ(Tip(), "Vorel");
}

TEST_F(TrayWin32, AKeyAnotherProgramHoldsIsNamedInTheTip) {
  // This thread holds Ctrl+Alt+F10 first, as another program would.
  ASSERT_TRUE(RegisterHotKey(nullptr, 77, MOD_CONTROL | MOD_ALT, VK_F10));
  const auto key = registry_.Open(kSettingsKeyPath, true);
  key->WriteInt("HotKeyPrev", (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F10);
  key->WriteInt("HotKeyNext", (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | VK_F11);
  key->WriteInt("HotKeyPause", 0x7FFF0000);  // damaged: no key
  Start();
  EXPECT_EQ(Tip(), "Vorel\n使えないキー: Ctrl+Alt+F10");
  // The one it could have works: a change, which the tip shows.
  SendMessageW(start_.Handle(), WM_HOTKEY, kFirstHotKeyId + static_cast<int>(HotKeyAction::kNext), 0);
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp\n使えないキー: Ctrl+Alt+F10");
  // Let go by the other program and registered again (as after OK): nothing is held any more.
  UnregisterHotKey(nullptr, 77);
  start_.RegisterHotKeys(false);
  EXPECT_EQ(Tip(), "Vorel\n写真1.bmp");
  start_.UnregisterHotKeys();
}

}  // namespace
}  // namespace vorel
