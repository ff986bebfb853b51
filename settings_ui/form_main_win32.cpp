// The settings window itself: creation, its pages and controls, showing it modally, OK and
// Cancel. The scheduling half of the class is in form_main_run_win32.cpp.
#include "settings_ui/form_main_win32.h"

#include "resident/resident_ids.h"

namespace vorel {
namespace {

constexpr int kDesignWidth = 498;
constexpr int kDesignHeight = 352;

}  // namespace

bool TFormMain::Create() {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kDesignWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kDesignHeight) / 2;
  if (!CreateWindowOf(kFormMainClass, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x,
                      y, kDesignWidth, kDesignHeight, nullptr, L"Vorel"))
    return false;
  CreatePages();
  StartSteps();
  return true;
}

void TFormMain::ShowSettings() {
  if (shown_) {
    // Already open (modally, further out): bring it to the front instead of refusing.
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    return;
  }
  shown_ = true;
  SaveAllSettings();
  ShowModelInControls();
  LayoutPages();
  ShowModal();
  shown_ = false;
}

void TFormMain::CreatePages() {}

void TFormMain::ShowModelInControls() {}

void TFormMain::LayoutPages() {}

void TFormMain::BitBtnOkClick() {
  SaveAllSettings();
  EndModal(IDOK);
}

void TFormMain::BitBtnCancelClick() {
  LoadAllSettings();
  EndModal(IDCANCEL);
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimerChangeId) TimerChangeTimer();
      if (wParam == kTimerDayId) TimerSuspendTimer();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMESUSPEND) TimerSuspendTimer();
      return TRUE;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) Exit();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) BitBtnOkClick();
      if (LOWORD(wParam) == IDCANCEL) BitBtnCancelClick();
      return 0;
    case WM_CLOSE:
      // The close box keeps the edits unsaved: they stay the live settings.
      if (InModalLoop()) EndModal(IDCLOSE);
      return 0;
    case WM_SIZE:
      LayoutPages();
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace vorel
