// The conditions that hold Vorelset's timed changes, read from the shell, the power status
// and the terminal services; the window in front followed through event hooks.
#include "platform/hold_conditions_win32.h"

#include <shellapi.h>
#include <wtsapi32.h>

namespace vorel {
namespace {

// GUID_POWER_SAVING_STATUS: the battery saver switched on or off.
constexpr GUID kBatterySaverStatus = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};

ForegroundWatch* g_watch = nullptr;

bool ShellSaysFullScreen() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return false;
  return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

// The desktop and the taskbar cover a monitor without being a program shown full screen.
bool IsDesktopOrTaskbar(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  wchar_t name[64]{};
  GetClassNameW(window, name, 64);
  for (const wchar_t* shell : {L"Progman", L"WorkerW", L"Shell_TrayWnd", L"Shell_SecondaryTrayWnd"})
    if (lstrcmpiW(name, shell) == 0) return true;
  return false;
}

}  // namespace

bool CoversItsMonitor(HWND window) {
  if (!window || !IsWindowVisible(window) || IsIconic(window) || IsDesktopOrTaskbar(window)) return false;
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONULL);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!monitor || !GetMonitorInfoW(monitor, &info)) return false;
  // The client area: a maximised window with its caption does not cover the monitor with it,
  // where its frame may (with the taskbar hidden).
  RECT client{};
  if (!GetClientRect(window, &client)) return false;
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  const RECT& m = info.rcMonitor;
  return client.left <= m.left && client.top <= m.top && client.right >= m.right && client.bottom >= m.bottom;
}

bool FullScreenInFront() { return ShellSaysFullScreen() || CoversItsMonitor(GetForegroundWindow()); }

bool RunningOnBattery() {
  SYSTEM_POWER_STATUS status{};
  if (!GetSystemPowerStatus(&status)) return false;
  // ACLineStatus 0 is offline (1 online, 255 unknown). The byte after the battery's percentage
  // is SystemStatusFlag (mingw-w64 names it Reserved1): 1 while the battery saver is on.
  return status.ACLineStatus == 0 || (status.Reserved1 & 1) != 0;
}

bool SessionDisconnected() {
  LPWSTR buffer = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSConnectState, &buffer, &bytes))
    return false;
  const bool gone = buffer && bytes >= sizeof(WTS_CONNECTSTATE_CLASS) &&
                    *reinterpret_cast<const WTS_CONNECTSTATE_CLASS*>(buffer) == WTSDisconnected;
  WTSFreeMemory(buffer);
  return gone;
}

void SessionAndPowerNotices::Register(HWND window) {
  Unregister();
  if (WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION)) window_ = window;
  batterySaver_.Reset(RegisterPowerSettingNotification(window, &kBatterySaverStatus, DEVICE_NOTIFY_WINDOW_HANDLE));
}

void SessionAndPowerNotices::Unregister() {
  if (window_) WTSUnRegisterSessionNotification(window_);
  window_ = nullptr;
  batterySaver_.Reset();
}

void ForegroundWatch::Start(HWND window, UINT message) {
  Stop();
  window_ = window;
  message_ = message;
  posted_ = false;
  g_watch = this;
  foreground_.Reset(
      SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, Event, 0, 0, WINEVENT_OUTOFCONTEXT));
  minimise_.Reset(SetWinEventHook(EVENT_SYSTEM_MINIMIZESTART, EVENT_SYSTEM_MINIMIZEEND, nullptr, Event, 0, 0,
                                  WINEVENT_OUTOFCONTEXT));
  Handled();
}

void ForegroundWatch::Stop() {
  foreground_.Reset();
  minimise_.Reset();
  frontWindow_.Reset();
  front_ = nullptr;
  window_ = nullptr;
  if (g_watch == this) g_watch = nullptr;
}

void ForegroundWatch::Handled() {
  posted_ = false;
  if (!foreground_) return;
  const HWND front = GetForegroundWindow();
  if (front == front_ && frontWindow_) return;
  frontWindow_.Reset();
  front_ = front;
  DWORD process = 0;
  const DWORD thread = front ? GetWindowThreadProcessId(front, &process) : 0;
  if (!thread) return;
  frontWindow_.Reset(SetWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_LOCATIONCHANGE, nullptr, Event, process, thread,
                                     WINEVENT_OUTOFCONTEXT));
}

void ForegroundWatch::Post() {
  if (posted_ || !window_) return;
  posted_ = PostMessageW(window_, message_, 0, 0) != FALSE;
}

void CALLBACK ForegroundWatch::Event(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD,
                                     DWORD) {
  ForegroundWatch* watch = g_watch;
  if (!watch) return;
  if (hook == watch->frontWindow_.Get()) {
    // Of the window in front only the window itself: its controls and caret move all the time.
    if (window != watch->front_ || object != OBJID_WINDOW || child != CHILDID_SELF) return;
    if (event != EVENT_OBJECT_DESTROY && event != EVENT_OBJECT_HIDE && event != EVENT_OBJECT_LOCATIONCHANGE) return;
  }
  watch->Post();
}

}  // namespace vorel
