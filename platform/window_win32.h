// The one window base of both programs: the static procedure keeps `this` from
// WM_NCCREATE on and forwards every message to the member handler. No exception crosses
// the procedure: it is shown in a message box with its text and the program goes on.
// Each window knows its DPI from its creation on and follows WM_DPICHANGED when it moves to
// a monitor of another scale.
#pragma once

#include <windows.h>

#include <string>

#include "engine/display_scale.h"

namespace vorel {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  // The DPI the window is laid out for: its monitor's, or the one the last WM_DPICHANGED named.
  int Dpi() const { return dpi_; }
  // A 96-DPI design value at the window's DPI.
  int Scale(int designValue) const { return ScaleForDpi(designValue, dpi_); }
  // Child windows hear of a new DPI from their top-level window, not from Windows.
  void AdoptDpi(int dpi) { dpi_ = dpi; }

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
  // WM_DPICHANGED, after Dpi() has taken the new DPI: the window makes its fonts and pictures
  // anew and takes the place Windows suggests, which lays it out again. Windows of a fixed
  // design size keep their own size at the new DPI instead.
  virtual void DpiChanged(const RECT& suggested);
  // Sizes the window to outer width × height, centred on the primary screen.
  void PlaceCentred(int width, int height) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  int dpi_ = kDesignDpi;
  bool modal_ = false;
  bool modalEnded_ = false;
  int modalResult_ = 0;
};

}  // namespace vorel
