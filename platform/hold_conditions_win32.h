// What holds Vorelset's timed changes, as the system tells it: a program in front showing
// full screen, the machine on battery, the session locked or disconnected; and the watch that
// tells a window when the program in front may have changed. What follows from them is the
// scheduling's to decide.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

namespace vorel {

// The shell's own answer (a full-screen program, a Direct3D game, presentation mode) or, since
// not every system gives one, the window in front covering its whole monitor with its client
// area, without being the desktop or the taskbar.
bool FullScreenInFront();
// The window covers its monitor as a full-screen program's does. For the test of the rule.
bool CoversItsMonitor(HWND window);
// Running on battery, or the battery saver on. False when the system cannot tell.
bool RunningOnBattery();
// The session's connection is gone (a remote client away, the console switched to another
// user). False when the system cannot tell.
bool SessionDisconnected();

// WM_WTSSESSION_CHANGE for this session and the battery saver's WM_POWERBROADCAST
// (PBT_POWERSETTINGCHANGE) for a window, from Register to the end of this object. The changes
// of the power source come to every top-level window without it (PBT_APMPOWERSTATUSCHANGE).
class SessionAndPowerNotices {
 public:
  SessionAndPowerNotices() = default;
  SessionAndPowerNotices(const SessionAndPowerNotices&) = delete;
  SessionAndPowerNotices& operator=(const SessionAndPowerNotices&) = delete;
  ~SessionAndPowerNotices() { Unregister(); }
  void Register(HWND window);
  void Unregister();

 private:
  HWND window_ = nullptr;
  UniquePowerNotify batterySaver_;
};

// The window in front followed through the system's event hooks, out of context, so that the
// events arrive on this thread's message loop and cost nothing while nothing happens. A
// message is posted to the window when another window comes to the front or a window is
// minimised or restored, and when the window in front is hidden, destroyed, moved or sized
// (a player leaving full screen without giving up the front). Events in a row post one message
// until Handled says it was taken. One watch per process (the hook's procedure has no context).
class ForegroundWatch {
 public:
  ForegroundWatch() = default;
  ForegroundWatch(const ForegroundWatch&) = delete;
  ForegroundWatch& operator=(const ForegroundWatch&) = delete;
  ~ForegroundWatch() { Stop(); }

  void Start(HWND window, UINT message);
  void Stop();
  bool Running() const { return static_cast<bool>(foreground_); }
  // The posted message was taken: the next event posts again, and the hook on the window in
  // front moves to the window now in front.
  void Handled();

 private:
  static void CALLBACK Event(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                             DWORD time);
  void Post();

  HWND window_ = nullptr;
  UINT message_ = 0;
  bool posted_ = false;
  HWND front_ = nullptr;  // the window whose own events are followed
  UniqueWinEventHook foreground_;
  UniqueWinEventHook minimise_;
  UniqueWinEventHook frontWindow_;
};

}  // namespace vorel
