// The floor of a GUI program under Wine: register a class, show one window, paint it once,
// destroy it and leave. Vorelrun's own time is read against this. With --stay the window
// stays up, its messages served, for 30 s (or until the process is ended): the working set of
// an idle GUI program, which Vorelset's is read against. Figures only.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VorelTrivialWindow";
  if (!RegisterClassW(&windowClass)) return 1;
  const HWND window = CreateWindowExW(WS_EX_TOPMOST, windowClass.lpszClassName, L"Vorel", WS_POPUP, 100, 100, 435, 126,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  if (wcsstr(commandLine, L"--stay")) {
    SetTimer(nullptr, 0, 30000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) DispatchMessageW(&message);
  }
  DestroyWindow(window);
  return 0;
}
