#include "platform/window_win32.h"

#include <exception>

#include "platform/dpi_win32.h"
#include "platform/strings.h"

namespace vorel {

Window::~Window() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool Window::CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                            HWND parent, const wchar_t* title, HICON icon) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, className, &existing)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (!RegisterClassExW(&wc)) return false;
  }
  return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, nullptr, instance, this) !=
         nullptr;
}

int Window::ShowModal() {
  if (!hwnd_ || modal_) return 0;
  modal_ = true;
  modalEnded_ = false;
  modalResult_ = 0;
  const HWND owner = GetWindow(hwnd_, GW_OWNER);
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  MSG msg;
  while (!modalEnded_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (!hwnd_) break;  // destroyed while shown
  }
  if (disableOwner) EnableWindow(owner, TRUE);
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  modal_ = false;
  return modalResult_;
}

void Window::EndModal(int result) {
  modalResult_ = result;
  modalEnded_ = true;
  // Wakes the loop when nothing else is queued.
  if (hwnd_) PostMessageW(hwnd_, WM_NULL, 0, 0);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DPICHANGED && lParam) {
    if (LOWORD(wParam) > 0) dpi_ = LOWORD(wParam);
    DpiChanged(*reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::DpiChanged(const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::PlaceCentred(int width, int height) const {
  SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Window::ShowError(const std::string& text) const {
  MessageBoxW(hwnd_, ToWide(text).c_str(), L"Vorel", MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->dpi_ = WindowDpi(hwnd);
    if (!(create->style & WS_CHILD)) EnableNonClientScaling(hwnd);
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    self->ShowError(error.what());
  } catch (...) {
    self->ShowError("予期しないエラーが発生しました");
  }
  return 0;
}

}  // namespace vorel
