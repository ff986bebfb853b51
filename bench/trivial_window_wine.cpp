// The floor of a GUI program under Wine: register a class, show one window, paint it once,
// destroy it and leave. Vorelrun's own time is read against this. Figures only.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
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
  DestroyWindow(window);
  return 0;
}
