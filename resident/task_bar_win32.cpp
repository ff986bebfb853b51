#include "resident/task_bar_win32.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "platform/dpi_win32.h"
#include "platform/strings.h"
#include "resident/resident_ids.h"

namespace vorel {
namespace {

// Asked of the shell; Windows since Vista takes the user's own time instead, Wine 10 to 30 s.
constexpr UINT kBalloonTimeoutMs = 15000;

}  // namespace

TTaskBar::~TTaskBar() { Delete(); }

bool TTaskBar::Create(HICON applicationIcon) {
  applicationIcon_ = applicationIcon;
  // A hidden top-level window rather than a message-only one: only top-level windows hear
  // the "TaskbarCreated" broadcast.
  if (!CreateWindowOf(kTaskBarWindowClass, WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, 0, 0, nullptr, L"Vorel")) return false;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  return true;
}

void TTaskBar::Loaded() {
  if (enableTaskTray_) Add();
}

void TTaskBar::FillRecord() {
  record_ = NOTIFYICONDATAW{};
  record_.cbSize = sizeof(record_);
  record_.hWnd = Handle();
  record_.uID = kTrayIconId;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = kTrayCallbackMessage;
  record_.hIcon = icon_ ? icon_.Get() : applicationIcon_;
  const size_t n = std::min(tips_.size(), kTipChars);
  std::copy_n(tips_.c_str(), n, record_.szTip);
  record_.szTip[n] = L'\0';
}

void TTaskBar::Add() {
  FillRecord();
  added_ = Shell_NotifyIconW(NIM_ADD, &record_) != FALSE;
}

void TTaskBar::Delete() {
  if (!Handle()) return;
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof(gone);
  gone.hWnd = Handle();
  gone.uID = kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &gone);
  added_ = false;
}

void TTaskBar::Refresh() {
  FillRecord();
  if (enableTaskTray_) Shell_NotifyIconW(NIM_MODIFY, &record_);
}

void TTaskBar::SetIcon(HICON icon) {
  icon_.Reset(icon ? CopyIcon(icon) : nullptr);
  Refresh();
}

void TTaskBar::SetApplicationIcon(HICON icon) {
  applicationIcon_ = icon;
  Refresh();
}

void TTaskBar::DpiChanged(const RECT&) {
  // The hidden window has no size to take; only the icon follows.
  if (OnIconSizeChanged) OnIconSizeChanged(Dpi());
}

void TTaskBar::SetTips(const std::string& tips) {
  // The property holds up to 255 characters; the shell sees the first 63.
  std::wstring wide = ToWide(tips);
  if (wide.size() > 255) wide.resize(255);
  tips_ = wide;
  Refresh();
}

void TTaskBar::SetEnableTaskTray(bool on) {
  enableTaskTray_ = on;
  if (on) {
    Add();
  } else {
    Delete();
  }
}

bool TTaskBar::ShowBalloon(const std::string& title, const std::string& text, bool warning) {
  FillRecord();
  record_.uFlags |= NIF_INFO;
  const auto copyCut = [](const std::string& from, wchar_t* to, size_t capacity) {
    const std::wstring wide = ToWide(from);
    const size_t n = std::min(wide.size(), capacity - 1);
    std::copy_n(wide.c_str(), n, to);
    to[n] = L'\0';
  };
  copyCut(title, record_.szInfoTitle, std::size(record_.szInfoTitle));
  copyCut(text, record_.szInfo, std::size(record_.szInfo));
  record_.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  record_.uTimeout = kBalloonTimeoutMs;
  balloon_ = record_;
  const bool shown = enableTaskTray_ && added_ && Shell_NotifyIconW(NIM_MODIFY, &record_) != FALSE;
  // Later refreshes of the tip or the icon must not bring the balloon up again.
  FillRecord();
  return shown;
}

void TTaskBar::ShowMenu(HMENU menu, POINT at) {
  if (!menu) return;
  const HWND owner = menuOwner ? menuOwner : Handle();
  SetForegroundWindow(owner);
  MSG pending;
  while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) {
    if (pending.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(pending.wParam));
      return;
    }
    TranslateMessage(&pending);
    DispatchMessageW(&pending);
  }
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
  // Lets the menu close when the user clicks elsewhere.
  PostMessageW(owner, WM_NULL, 0, 0);
}

LRESULT TTaskBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  POINT cursor{};
  GetCursorPos(&cursor);
  if (taskbarCreated_ && message == taskbarCreated_) {
    // Explorer started again: its tray no longer knows the icon, and the display's scale may
    // have changed meanwhile, which Windows asks of the window again.
    AdoptDpi(WindowDpi(Handle()));
    if (OnIconSizeChanged) OnIconSizeChanged(Dpi());
    if (enableTaskTray_) Add();
    return 0;
  }
  if (message != kTrayCallbackMessage) return Window::HandleMessage(message, wParam, lParam);
  try {
    // The mouse message compared whole, as the shell of every version sends it.
    switch (lParam) {
      case WM_LBUTTONDOWN:
        if (OnTrayClick) OnTrayClick(0);
        break;
      case WM_RBUTTONDOWN:
        if (OnTrayClick) OnTrayClick(1);
        break;
      case WM_MBUTTONDOWN:
        if (OnTrayClick) OnTrayClick(2);
        break;
      case WM_LBUTTONUP:
        ShowMenu(PopupMenuLeft, cursor);
        break;
      case WM_MBUTTONUP:
        ShowMenu(PopupMenuMiddle, cursor);
        break;
      case WM_RBUTTONUP:
        ShowMenu(PopupMenuRight, cursor);
        break;
      case NIN_BALLOONSHOW:
      case NIN_BALLOONHIDE:
      case NIN_BALLOONTIMEOUT:
      case NIN_BALLOONUSERCLICK:
        if (OnBalloonEvent) OnBalloonEvent(static_cast<UINT>(lParam));
        break;
      default:
        break;
    }
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
  return 0;
}

}  // namespace vorel
