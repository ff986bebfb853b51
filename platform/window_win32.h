// The one window base of both programs: the static procedure keeps `this` from
// WM_NCCREATE on and forwards every message to the member handler. No exception crosses
// the procedure: it is shown in a message box with its text and the program goes on.
#pragma once

#include <windows.h>

#include <string>

namespace vorel {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

  // Shows the window and runs a nested message loop until EndModal, with the owner window
  // disabled meanwhile; the window is hidden again afterwards. Timers, the tray and other
  // windows keep being served by the loop. A WM_QUIT ends the loop and is posted again for
  // the loops outside it. Returns the value given to EndModal (0 after WM_QUIT).
  int ShowModal();
  void EndModal(int result);
  bool InModalLoop() const { return modal_; }

 protected:
  // Registers the class on first use. False when the window could not be created.
  bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, int x, int y, int width, int height,
                      HWND parent, const wchar_t* title, HICON icon = nullptr);
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The error report of the program: a message box over this window.
  void ShowError(const std::string& text) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool modalEnded_ = false;
  int modalResult_ = 0;
};

}  // namespace vorel
