// Vorelrun: started at log-on, shows its title picture, waits the stored delay, changes the
// wallpaper once and ends. Exit status -1 when Vorelset or another Vorelrun is running.
#include <windows.h>

#include <atomic>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "oneshot/one_shot_run_win32.h"
#include "platform/com_win32.h"
#include "platform/dpi_win32.h"
#include "platform/outside_code_win32.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "platform/window_win32.h"
#include "resources/resource_ids.h"

namespace vorel {
namespace {

// The title picture's size, the window's client area, at 96 DPI.
constexpr int kClientWidth = 435;
constexpr int kClientHeight = 126;
constexpr DWORD kStyle = WS_POPUP;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerIntervalMs = 1000;
constexpr UINT kShownMessage = WM_APP + 1;

// The run given up before it changed anything: the title was closed before its second.
struct RunAbandoned {};

class TFormMain final : public Window {
 public:
  explicit TFormMain(std::optional<std::string> directPicture) : directPicture_(std::move(directPicture)) {}

  bool Create() {
    // Made where the primary screen begins, so that it has that screen's DPI, then sized for it.
    if (!CreateWindowOf(L"TFormMain.Vorelrun", kExStyle, kStyle, 0, 0, 0, 0, nullptr, L"Vorel")) return false;
    TitleForDpi();
    const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
    PlaceCentred(size.cx, size.cy);
    // Shown without taking the focus from what the user is starting at log-on.
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    PostMessageW(Handle(), kShownMessage, 0, 0);
    return true;
  }

 protected:
  void DpiChanged(const RECT& suggested) override {
    // The picture's window keeps the picture's size at the new DPI, where Windows suggests.
    TitleForDpi();
    const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr, FALSE);
  }

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
        Abandon();
        PostQuitMessage(0);
        return 0;
      default:
        return Window::HandleMessage(message, wParam, lParam);
    }
  }

 private:
  // The title picture and the window's icons at the window's DPI.
  void TitleForDpi() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    title_ = LoadPictureAtSize(instance, IDB_TITLE, IDB_TITLE_2X, Scale(kClientWidth), Scale(kClientHeight));
    icons_.Apply(Handle(), instance, IDI_APP, Dpi());
  }

  void Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(Handle(), &ps);
    if (title_) {
      UniqueMemoryDc memory(CreateCompatibleDC(dc));
      SelectionRestorer keep(memory.Get(), title_.Get());
      BitBlt(dc, 0, 0, Scale(kClientWidth), Scale(kClientHeight), memory.Get(), 0, 0, SRCCOPY);
    }
    EndPaint(Handle(), &ps);
  }

  // The delay runs without processing messages: the title is painted once before it. The
  // run starts after the delay (which keeps it out of the way at log-on) and does its
  // choosing, loading, fitting and drawing during the title's second; it changes nothing
  // anyone can see or read back before the timer releases it.
  void FormShow() {
    UpdateWindow(Handle());
    if (const std::optional<DWORD> delay = StoredDelayMs(registry_)) Sleep(*delay);
    SetTimer(Handle(), kTimerId, kTimerIntervalMs, nullptr);
    release_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (release_) worker_.Reset(CreateThread(nullptr, 0, &TFormMain::RunThread, this, 0, nullptr));
  }

  static DWORD WINAPI RunThread(void* self) {
    static_cast<TFormMain*>(self)->RunInBackground();
    return 0;
  }

  void RunInBackground() {
    // The run reads pictures through the system's codecs, COM objects of this thread.
    const ComApartment com;
    try {
      RunOnce(registry_, directPicture_, Handle(), [this] {
        WaitForSingleObject(release_.Get(), INFINITE);
        if (abandoned_) throw RunAbandoned{};
      });
    } catch (const RunAbandoned&) {
    } catch (...) {
      failure_ = std::current_exception();
    }
  }

  // Waits for the run, painting the title meanwhile.
  void AwaitRun() {
    if (!worker_) return;
    const HANDLE worker = worker_.Get();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          PostQuitMessage(static_cast<int>(msg.wParam));
          break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    worker_.Reset();
  }

  // The title closed before its second: the run stops before its first visible change.
  void Abandon() {
    if (!worker_) return;
    abandoned_ = true;
    SetEvent(release_.Get());
    WaitForSingleObject(worker_.Get(), INFINITE);
    worker_.Reset();
  }

  // Runs once. An error that escapes it is reported and the window stays open until the
  // user closes it.
  void TimerTimer() {
    KillTimer(Handle(), kTimerId);
    if (ran_) return;
    ran_ = true;
    if (worker_) {
      SetEvent(release_.Get());
      AwaitRun();
      if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    } else {
      RunOnce(registry_, directPicture_, Handle());
    }
    DestroyWindow(Handle());
  }

  std::optional<std::string> directPicture_;
  Win32Registry registry_;
  UniqueBitmap title_;
  WindowIcons icons_;
  bool ran_ = false;
  UniqueKernelHandle release_;  // set at the timer: the run may change the wallpaper
  UniqueKernelHandle worker_;
  std::atomic<bool> abandoned_ = false;
  std::exception_ptr failure_;
};

}  // namespace
}  // namespace vorel

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vorel;
  // Before anything loads a DLL by name: the common controls, the dialogs' shell extensions.
  KeepDllsOutOfCurrentFolder();
  // Not owned: whoever created it first keeps the other program out.
  UniqueKernelHandle guard(CreateMutexW(nullptr, FALSE, L"Vorel"));
  if (!guard || GetLastError() == ERROR_ALREADY_EXISTS) return -1;
  // The system's picture codecs are COM objects: for a run on this thread (the worker has an
  // apartment of its own).
  const ComApartment com;

  TFormMain form(DirectPictureFromCommandLine(GetCommandLineW()));
  if (!form.Create()) return -1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
