// Helper of the installer test: tells whether a top-level window of a class exists (hidden
// windows count, as Vorelset's tray form is hidden), waiting up to a timeout.
// With a command number it also posts that WM_COMMAND to the window (the screenshots open the
// about window this way, as the tray menu does).
// Usage: vorel_find_window.exe CLASS [TIMEOUT_MS [COMMAND]]   exit 0 found, 1 not found, 2 usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 4) {
    std::fputs("usage: vorel_find_window.exe CLASS [TIMEOUT_MS [COMMAND]]\n", stderr);
    return 2;
  }
  const long timeout = argc >= 3 ? std::wcstol(argv[2], nullptr, 10) : 0;
  const long command = argc == 4 ? std::wcstol(argv[3], nullptr, 10) : 0;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout < 0 ? 0 : timeout);
  for (;;) {
    if (const HWND window = FindWindowW(argv[1], nullptr); window != nullptr) {
      if (command > 0) {
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
      }
      std::fputs("found\n", stdout);
      return 0;
    }
    if (GetTickCount64() >= end) {
      std::fputs("not found\n", stdout);
      return 1;
    }
    Sleep(100);
  }
}
