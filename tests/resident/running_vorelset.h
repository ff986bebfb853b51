// A Vorelset.exe started by a test, and the waits the tests of the running program share.
#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "engine/settings.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel::testing {

// True once the condition holds, false when the time ran out first.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = 15000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// The program beside the test executable's folder, two levels up; ended if the test leaves
// it running.
class RunningVorelset {
 public:
  RunningVorelset() = default;
  RunningVorelset(const RunningVorelset&) = delete;
  RunningVorelset& operator=(const RunningVorelset&) = delete;
  ~RunningVorelset() {
    if (!process_) return;
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
  }
  // Started (the tree's own program, or the one given), its tray window made and its first
  // messages handled.
  bool Start(const std::string& program = ExeFolder() + "..\\..\\Vorelset.exe") {
    std::wstring line = ToWide("\"" + program + "\"");
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    process_.Reset(pi.hProcess);
    CloseHandle(pi.hThread);
    if (!WaitFor([this] { return TaskBar() != nullptr || Exited(); })) return false;
    WaitForInputIdle(process_.Get(), 15000);
    return !Exited();
  }
  HANDLE Process() const { return process_.Get(); }
  DWORD Pid() const { return GetProcessId(process_.Get()); }
  HWND TrayForm() const { return FindWindowW(kTrayFormClass, nullptr); }
  HWND TaskBar() const { return FindWindowW(kTaskBarWindowClass, nullptr); }
  HWND FormMain() const { return FindWindowW(kFormMainClass, nullptr); }
  void Tray(UINT mouseMessage) const { PostMessageW(TaskBar(), kTrayCallbackMessage, kTrayIconId, mouseMessage); }
  void Command(UINT id) const { PostMessageW(TrayForm(), WM_COMMAND, id, 0); }
  bool Exited() const { return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }
  // Answers within the time: the message loop is alive and not stuck.
  bool Alive() const {
    DWORD_PTR result = 0;
    return !Exited() && SendMessageTimeoutW(TrayForm(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result) != 0;
  }
  // Lets every message posted so far be handled.
  void Settle() const {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(TaskBar(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
    SendMessageTimeoutW(TrayForm(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
  }
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 20000) {
    if (WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.Get(), &code);
    process_.Reset();
    return code;
  }
  std::optional<DWORD> Close() {
    Command(kCmdClose);
    return WaitExit();
  }

 private:
  UniqueKernelHandle process_;
};

// The lines the follow-up program has appended. The log is read sharing every access, so
// that a follow-up appending at this moment is never refused and its line never lost.
inline int CountLines(const std::string& path) {
  UniqueFile file(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  int lines = 0;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
    lines += static_cast<int>(std::count(buffer, buffer + got, '\n'));
  return lines;
}

// The log's lines once no follow-up program has added one for quietMs: a follow-up started by
// a change just before a pause or a fault may take seconds to start under load and write
// after it (at most limitMs is waited).
inline int SettledLines(const std::string& path, DWORD quietMs = 2500, DWORD limitMs = 20000) {
  const DWORD start = GetTickCount();
  int lines = CountLines(path);
  DWORD since = start;
  while (GetTickCount() - since < quietMs && GetTickCount() - start < limitMs) {
    Sleep(100);
    if (const int now = CountLines(path); now != lines) {
      lines = now;
      since = GetTickCount();
    }
  }
  return lines;
}

// The start of every test of the running program: no settings stored, no wallpaper named,
// and the settings it then stores: no tile, no calendar, no change at a new day, the
// wallpaper file in the folder given, and a follow-up program that writes one line to the
// log file (returned) at every change.
inline std::string FreshResidentSettings(Settings& settings, const TempFolder& folder) {
  DeleteUserKey(kSettingsKeyPath);
  SetDesktopValue("Wallpaper", "");
  settings = Settings::VorelsetDefaults();
  settings.tile = false;
  settings.calender = false;
  settings.day = false;
  settings.wallFile = folder.File("WallPaper.bmp");
  const std::string log = folder.File("changes.log");
  settings.app = FixturePath("follow_up\\follow_up.exe");
  settings.appOption = "\"" + log + "\" changed";
  return log;
}

}  // namespace vorel::testing
