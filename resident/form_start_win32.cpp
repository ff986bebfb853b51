#include "resident/form_start_win32.h"

#include <shellapi.h>

#include "change/compose_win32.h"
#include "platform/dpi_win32.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "resident/resident_ids.h"
#include "resources/resource_ids.h"
#include "settings_ui/form_main_win32.h"

namespace vorel {
namespace {

// The about picture's size, the window's client area, at 96 DPI.
constexpr int kAboutWidth = 435;
constexpr int kAboutHeight = 126;
constexpr RECT kOkDesign{kAboutWidth - 88, kAboutHeight - 34, 80, 26};  // left, top, width, height
constexpr int kOkId = IDOK;

void OpenWithShell(HWND owner, const std::string& target) {
  const std::wstring folder = ToWide(ProgramFolder());
  ShellExecuteW(owner, L"open", ToWide(target).c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}

void SetScreenSaverActive(bool active) {
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

}  // namespace

bool TFormStart::Create() {
  // Made where the primary screen begins, so that it has that screen's DPI, then sized for it.
  if (!CreateWindowOf(kTrayFormClass, WS_EX_CONTROLPARENT, kStyle, 0, 0, 0, 0, nullptr, L"Vorel セットアップ"))
    return false;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  bitBtnOk_ = CreateWindowExW(0, L"BUTTON", L"OK!", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                              Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kOkId)), instance, nullptr);
  hints_.Create(Handle());
  hints_.Set(bitBtnOk_, "閉じます");
  LayOutAbout();
  const SIZE size = OuterSizeForDesignClient(kAboutWidth, kAboutHeight, kStyle, 0, Dpi());
  PlaceCentred(size.cx, size.cy);

  CreatePopupMenu1();
  if (!taskBar_.Create(nullptr)) return false;
  taskBar_.menuOwner = Handle();
  taskBar_.PopupMenuMiddle = popupMenu1_;
  taskBar_.PopupMenuRight = popupMenu1_;
  taskBar_.OnTrayClick = [this](int button) { TaskBarTrayClick(button); };
  taskBar_.OnIconSizeChanged = [this](int dpi) { TrayIcons(dpi); };
  taskBar_.SetTips(kTipRunning);
  TrayIcons(taskBar_.Dpi());
  taskBar_.Loaded();
  return true;
}

void TFormStart::TrayIcons(int dpi) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const int side = MetricForDpi(SM_CXSMICON, dpi);
  UniqueIcon running = LoadIconAtSide(instance, IDI_TRAY_RUNNING, side);
  UniqueIcon paused = LoadIconAtSide(instance, IDI_TRAY_PAUSED, side);
  UniqueIcon application = LoadIconAtSide(instance, IDI_APP, side);
  taskBar_.SetApplicationIcon(application.Get());
  taskBar_.SetIcon(showingPaused_ ? paused.Get() : running.Get());
  // The tray holds its own copy or the new application icon now: the old ones can go.
  imageIconNonStop_ = std::move(running);
  imageIconStop_ = std::move(paused);
  applicationIcon_ = std::move(application);
}

void TFormStart::LayOutAbout() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  imageAbout_ = LoadPictureAtSize(instance, IDB_ABOUT, IDB_ABOUT_2X, Scale(kAboutWidth), Scale(kAboutHeight));
  const RECT ok = ScaleDesignRect(kOkDesign, Dpi());
  MoveWindow(bitBtnOk_, ok.left, ok.top, ok.right, ok.bottom, TRUE);
  UniqueFont font = GuiFontForDpi(Dpi());
  SendMessageW(bitBtnOk_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  okFont_ = std::move(font);
  icons_.Apply(Handle(), instance, IDI_APP, Dpi());
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TFormStart::DpiChanged(const RECT& suggested) {
  // The picture's window keeps the picture's size at the new DPI, where Windows suggests.
  LayOutAbout();
  const SIZE size = OuterSizeForDesignClient(kAboutWidth, kAboutHeight, kStyle, 0, Dpi());
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormStart::CreatePopupMenu1() {
  menuBar_.Reset(CreateMenu());
  popupMenu1_ = CreatePopupMenu();
  const auto item = [this](UINT id, const char* caption) {
    AppendMenuW(popupMenu1_, MF_STRING, id, ToWide(caption).c_str());
  };
  item(kCmdHelp, "ヘルプ");
  item(kCmdAbout, "ヴァージョン情報");
  AppendMenuW(popupMenu1_, MF_SEPARATOR, 0, nullptr);
  item(kCmdReDraw, "壁紙の張り替え");
  item(kCmdErase, "壁紙を消す(ボスが来た!!)");
  item(kCmdStop, "書き換え一時停止");
  item(kCmdScreen, "スクリーンセーバー起動");
  AppendMenuW(popupMenu1_, MF_SEPARATOR, 0, nullptr);
  item(kCmdSetting, "設定");
  item(kCmdClose, "終了");
  // The bar owns the pop-up, so destroying the bar frees both.
  AppendMenuW(menuBar_.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popupMenu1_), L"Vorel");
}

void TFormStart::ShowAbout() {
  if (InModalLoop()) {
    SetForegroundWindow(Handle());
    return;
  }
  SetFocus(bitBtnOk_);
  ShowModal();
}

void TFormStart::PopupMenuHelpClick() { OpenWithShell(Handle(), ProgramFolder() + "Help\\index.html"); }

void TFormStart::PopupMenuReDrawClick() {
  if (formMain_) formMain_->BitBtnChangeClick();
}

void TFormStart::K1Click() {
  if (!formMain_) return;
  Settings& settings = formMain_->Model();
  settings.ForgetCurrentPictures();
  EraseWallpaper();
  // The menu form starts the follow-up program without its parameters.
  RunFollowUp(Handle(), settings.app, "", settings.activeDesktopOn);
}

void TFormStart::ShowPauseCaption(bool paused) {
  const std::wstring caption = ToWide(paused ? "書き換え再開" : "書き換え一時停止");
  ModifyMenuW(popupMenu1_, kCmdStop, MF_BYCOMMAND | MF_STRING, kCmdStop, caption.c_str());
  taskBar_.SetTips(paused ? kTipPaused : kTipRunning);
}

void TFormStart::PopupMenuStopClick() {
  if (!formMain_) return;
  const bool paused = !formMain_->RewritePaused();
  formMain_->SetRewritePaused(paused);
  ShowPauseCaption(paused);
  SetScreenSaverActive(!paused);
  showingPaused_ = paused;
  taskBar_.SetIcon(paused ? imageIconStop_.Get() : imageIconNonStop_.Get());
}

void TFormStart::PopupMenuScreenClick() { SendMessageW(Handle(), WM_SYSCOMMAND, SC_SCREENSAVE, 0); }

void TFormStart::PopupMenuSettingClick() {
  if (formMain_) formMain_->ShowSettings();
}

void TFormStart::PopupMenuCloseClick() { DestroyWindow(Handle()); }

void TFormStart::TaskBarTrayClick(int button) {
  if (button != 0 || !formMain_) return;
  Settings& settings = formMain_->Model();
  switch (settings.click) {
    case 1:
      formMain_->BitBtnChangeClick();
      break;
    case 2: {
      // Only the flag and the caption: the icon and the screen saver stay as they are.
      const bool paused = !formMain_->RewritePaused();
      formMain_->SetRewritePaused(paused);
      ShowPauseCaption(paused);
      break;
    }
    case 3:
      PopupMenuScreenClick();
      break;
    default:
      settings.ForgetCurrentPictures();
      EraseWallpaper();
      RunFollowUp(Handle(), settings.app, settings.appOption, settings.activeDesktopOn);
      break;
  }
}

void TFormStart::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(Handle(), &ps);
  if (imageAbout_) {
    UniqueMemoryDc memory(CreateCompatibleDC(dc));
    SelectionRestorer keep(memory.Get(), imageAbout_.Get());
    BitBlt(dc, 0, 0, Scale(kAboutWidth), Scale(kAboutHeight), memory.Get(), 0, 0, SRCCOPY);
  }
  EndPaint(Handle(), &ps);
}

void TFormStart::EndSession() {
  if (formMain_) formMain_->Exit();
  taskBar_.SetEnableTaskTray(false);
}

LRESULT TFormStart::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_LBUTTONUP:
      // The about picture fills the window: a click on it opens the home page.
      OpenWithShell(Handle(), kHomePage);
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kOkId:
        case IDCANCEL:
          if (InModalLoop()) EndModal(IDOK);
          break;
        case kCmdHelp:
          PopupMenuHelpClick();
          break;
        case kCmdAbout:
          ShowAbout();
          break;
        case kCmdReDraw:
          PopupMenuReDrawClick();
          break;
        case kCmdErase:
          K1Click();
          break;
        case kCmdStop:
          PopupMenuStopClick();
          break;
        case kCmdScreen:
          PopupMenuScreenClick();
          break;
        case kCmdSetting:
          PopupMenuSettingClick();
          break;
        case kCmdClose:
          PopupMenuCloseClick();
          break;
        default:
          break;
      }
      return 0;
    case WM_CLOSE:
      if (InModalLoop()) {
        EndModal(IDOK);
      } else {
        DestroyWindow(Handle());
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) {
        EndSession();
        DestroyWindow(Handle());
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace vorel
