// The display's DPI as Windows reports it, and what is made for it: fonts, icons, pictures and
// frames at a window's own DPI. The functions of Windows 10 (GetDpiForWindow and its family) are
// looked up in user32 at run time; on Windows 7 and 8, which lack them, every window has the
// system's DPI and the system-wide values stand in.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/display_scale.h"
#include "platform/unique_handle.h"

namespace vorel {

// The DPI of the screen at log-on: what GDI measures fonts in (LOGPIXELSY of the screen) and
// what the wallpaper and its calendar are drawn for.
int SystemDpi();
// The window's own DPI (that of its monitor); the system DPI where Windows cannot tell.
int WindowDpi(HWND window);
// A system metric (SM_CXSMICON, SM_CXEDGE, ...) at dpi.
int MetricForDpi(int index, int dpi);
// What a frame of that style adds around a client area at dpi (width and height together).
SIZE FrameExtent(DWORD style, DWORD exStyle, int dpi);
// The outer size of a window of that style whose client area is the design size at dpi.
SIZE OuterSizeForDesignClient(int designWidth, int designHeight, DWORD style, DWORD exStyle, int dpi);
// The design client size of a window whose outer size was designed for a 96-DPI frame.
SIZE DesignClientOfOuter(int designOuterWidth, int designOuterHeight, DWORD style, DWORD exStyle);
// Lets a top-level window's caption and frame follow its DPI under per-monitor awareness of
// the first kind (Windows 10 1607), which does not do so by itself; called at WM_NCCREATE.
void EnableNonClientScaling(HWND window);

// A 96-DPI design rectangle given as left, top, width and height, at dpi: the edges are scaled,
// so that controls that touch at 96 DPI touch at every DPI.
RECT ScaleDesignRect(const RECT& leftTopWidthHeight, int dpi);

// A font whose height is given in 96-DPI pixels, made for dpi.
UniqueFont FontForDpi(const LOGFONTW& design, int dpi);
// The system's GUI font (DEFAULT_GUI_FONT, which the system makes for its own DPI) at dpi.
UniqueFont GuiFontForDpi(int dpi);

// An icon resource at side × side pixels (the frame of that size when the icon has one).
UniqueIcon LoadIconAtSide(HINSTANCE instance, int resource, int side);
// A picture resource drawn for 96 DPI, with a twice-as-large drawing of the same picture
// (twiceResource, 0 when none), as a bitmap of exactly width × height: the larger drawing is
// shrunk for any DPI above 96, so that text and edges stay sharp; nullptr when neither loads.
UniqueBitmap LoadPictureAtSize(HINSTANCE instance, int resource, int twiceResource, int width, int height);

// The big and small icons of a window, at the sizes its DPI asks for.
class WindowIcons {
 public:
  void Apply(HWND window, HINSTANCE instance, int resource, int dpi);

 private:
  UniqueIcon big_;
  UniqueIcon small_;
};

}  // namespace vorel
