// Vorelrun: started at log-on, shows its title picture, waits the stored delay, changes the
// wallpaper once and ends. Exit status -1 when Vorelset or another Vorelrun is running.
#include <windows.h>

#include <optional>
#include <string>

#include "oneshot/one_shot_run_win32.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "platform/window_win32.h"
#include "resources/resource_ids.h"

namespace vorel {
namespace {

constexpr int kClientWidth = 435;
constexpr int kClientHeight = 126;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerIntervalMs = 1000;
constexpr UINT kShownMessage = WM_APP + 1;

class TFormMain final : public Window {
 public:
  explicit TFormMain(std::optional<std::string> directPicture) : directPicture_(std::move(directPicture)) {}

  bool Create() {
    title_.Reset(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_POPUP, FALSE, WS_EX_TOPMOST);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
    if (!CreateWindowOf(L"TFormMain.Vorelrun", WS_EX_TOPMOST, WS_POPUP, x, y, width, height, nullptr, L"Vorel", icon))
      return false;
    ShowWindow(Handle(), SW_SHOWNORMAL);
    PostMessageW(Handle(), kShownMessage, 0, 0);
    return true;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_PAINT:
        Paint();
        return 0;
      case kShownMessage:
        FormShow();
        return 0;
      case WM_TIMER:
        if (wParam == kTimerId) TimerTimer();
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

 private:
  void Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    if (title_) {
      UniqueMemoryDc memory(CreateCompatibleDC(dc));
      SelectionRestorer keep(memory.Get(), title_.Get());
      BitBlt(dc, 0, 0, kClientWidth, kClientHeight, memory.Get(), 0, 0, SRCCOPY);
    }
    EndPaint(Handle(), &ps);
  }

  // The delay runs without processing messages: the title is painted once before it.
  void FormShow() {
    UpdateWindow(Handle());
    if (const std::optional<DWORD> delay = StoredDelayMs(registry_)) Sleep(*delay);
    SetTimer(Handle(), kTimerId, kTimerIntervalMs, nullptr);
  }

  // Runs once. An error that escapes it is reported and the window stays open until the
  // user closes it.
  void TimerTimer() {
    KillTimer(Handle(), kTimerId);
    if (ran_) return;
    ran_ = true;
    RunOnce(registry_, directPicture_, Handle());
    DestroyWindow(Handle());
  }

  std::optional<std::string> directPicture_;
  Win32Registry registry_;
  UniqueBitmap title_;
  bool ran_ = false;
};

}  // namespace
}  // namespace vorel

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vorel;
  // Not owned: whoever created it first keeps the other program out.
  UniqueKernelHandle guard(CreateMutexW(nullptr, FALSE, L"Vorel"));
  if (!guard || GetLastError() == ERROR_ALREADY_EXISTS) return -1;

  TFormMain form(DirectPictureFromCommandLine(GetCommandLineW()));
  if (!form.Create()) return -1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
