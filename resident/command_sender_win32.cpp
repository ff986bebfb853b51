#include "resident/command_sender_win32.h"

#include <tlhelp32.h>

#include <string>
#include <string_view>

#include "platform/unique_handle.h"
#include "resident/resident_ids.h"

namespace vorel {
namespace {

constexpr wchar_t kVorelrunWindowClass[] = L"TFormMain.Vorelrun";

bool SomeoneHoldsTheName() {
  const UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"Vorel"));
  // A mutex this process may not open is held all the same.
  return mutex || GetLastError() == ERROR_ACCESS_DENIED;
}

// Another process of this program's file name: a Vorelset started a moment ago may not even
// hold "Vorel" yet.
bool AnotherOfUsRuns() {
  wchar_t self[MAX_PATH]{};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::wstring_view name(self, length);
  name.remove_prefix(name.find_last_of(L"\\/") + 1);
  // Fails with INVALID_HANDLE_VALUE, as a file does.
  const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
    if (entry.th32ProcessID != GetCurrentProcessId() && lstrcmpiW(entry.szExeFile, std::wstring(name).c_str()) == 0)
      return true;
  return false;
}

// The running Vorelset's tray form, waited for while one may be starting: while "Vorel" is
// held and no Vorelrun shows, or while another process of this program runs.
HWND FindVorelset(DWORD waitMs) {
  const DWORD start = GetTickCount();
  while (true) {
    if (const HWND form = FindWindowW(kTrayFormClass, kTrayFormCaption)) return form;
    if (FindWindowW(kVorelrunWindowClass, nullptr)) return nullptr;
    if (!SomeoneHoldsTheName() && !AnotherOfUsRuns()) return nullptr;
    if (GetTickCount() - start >= waitMs) return nullptr;
    Sleep(50);
  }
}

}  // namespace

int HandOverCommands(const std::vector<RemoteCommand>& commands, const HandOverWaits& waits) {
  const HWND form = FindVorelset(waits.windowMs);
  if (!form) return kExitNoVorelset;
  // The settings window it may open comes to the front: this process was just started by the
  // user and may give the foreground away.
  DWORD pid = 0;
  GetWindowThreadProcessId(form, &pid);
  if (pid) AllowSetForegroundWindow(pid);
  const DWORD start = GetTickCount();
  for (const RemoteCommand command : commands) {
    const std::string_view name = CommandName(command);
    COPYDATASTRUCT data{kRemoteCommandTag, static_cast<DWORD>(name.size()), const_cast<char*>(name.data())};
    const DWORD used = GetTickCount() - start;
    if (used >= waits.acceptMs) return kExitNoVorelset;
    DWORD_PTR accepted = FALSE;
    if (!SendMessageTimeoutW(form, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, waits.acceptMs - used,
                             &accepted) ||
        accepted != TRUE)
      return kExitNoVorelset;
  }
  return kExitHandedOver;
}

}  // namespace vorel
