#include "platform/outside_code_win32.h"

#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

// The search flags need an absolute path; a relative plug-in folder is taken, as the folder
// scan that found the file took it, from the current folder.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return path;
    if (n < full.size()) {
      full.resize(n);
      return full;
    }
    full.resize(n);
  }
}

}  // namespace

void KeepDllsOutOfCurrentFolder() {
  // Looked up: Windows 7 has it only with an update, and Vista not at all.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void (*)()>(kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr));
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) return;
  SetDllDirectoryW(L"");
}

HMODULE LoadPluginModule(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  if (const HMODULE module =
          LoadLibraryExW(full.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
    return module;
  // A system without the search flags refuses them as a bad parameter; there the DLL's own
  // folder is searched first for its imports, and KeepDllsOutOfCurrentFolder has taken the
  // current folder out of the rest.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  return LoadLibraryExW(full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool StartProgram(const std::string& program, const std::string& arguments, int show, DWORD idleWaitMs) {
  if (program.empty()) return false;
  const std::wstring application = ToWide(program);
  std::wstring commandLine = L"\"" + application + L"\"";
  if (!arguments.empty()) commandLine += L" " + ToWide(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started))
    return false;
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  WaitForInputIdle(process.Get(), idleWaitMs);
  return true;
}

}  // namespace vorel
