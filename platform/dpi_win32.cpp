#include "platform/dpi_win32.h"

#include <algorithm>
#include <cstring>

#include "engine/fit_picture.h"
#include "engine/picture.h"
#include "platform/gdi_canvas_win32.h"

namespace vorel {
namespace {

// The functions Windows 10 added, found once. Each pointer is null on a system without it.
struct DpiFunctions {
  UINT(WINAPI* getDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* getDpiForSystem)() = nullptr;
  int(WINAPI* getSystemMetricsForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* enableNonClientDpiScaling)(HWND) = nullptr;

  DpiFunctions() {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    Find(user32, "GetDpiForWindow", getDpiForWindow);
    Find(user32, "GetDpiForSystem", getDpiForSystem);
    Find(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi);
    Find(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi);
    Find(user32, "EnableNonClientDpiScaling", enableNonClientDpiScaling);
  }

  template <typename Function>
  static void Find(HMODULE module, const char* name, Function& function) {
    // GetProcAddress gives a generic pointer; the signature is the documented one.
    static_assert(sizeof(Function) == sizeof(FARPROC));
    const FARPROC found = GetProcAddress(module, name);
    std::memcpy(&function, &found, sizeof(function));
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

// A DPI Windows reports as 0 (a window being destroyed) is taken as the system's.
int Valid(UINT dpi) { return dpi > 0 ? static_cast<int>(dpi) : SystemDpi(); }

// The frame of a style at the system's DPI, the only one Windows 7 and 8 know.
SIZE SystemFrameExtent(DWORD style, DWORD exStyle) {
  RECT r{0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

// The picture of a bitmap resource as 0x00RRGGBB pixels, top-down.
Picture ReadBitmapResource(HINSTANCE instance, int resource) {
  if (resource == 0) return {};
  const UniqueBitmap bitmap(
      static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  BITMAP header{};
  if (!bitmap || !GetObjectW(bitmap.Get(), sizeof(header), &header) || header.bmWidth <= 0 || header.bmHeight <= 0)
    return {};
  Picture picture;
  picture.width = header.bmWidth;
  picture.height = std::abs(header.bmHeight);
  picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
  BITMAPINFO info = PictureDibInfo(picture.width, picture.height);
  const WindowDc screen(nullptr);
  if (GetDIBits(screen.Get(), bitmap.Get(), 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info,
                DIB_RGB_COLORS) != picture.height)
    return {};
  for (uint32_t& p : picture.pixels) p &= 0x00FFFFFF;
  return picture;
}

}  // namespace

int SystemDpi() {
  if (Functions().getDpiForSystem) {
    if (const UINT dpi = Functions().getDpiForSystem()) return static_cast<int>(dpi);
  }
  const WindowDc screen(nullptr);
  const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND window) {
  if (window && Functions().getDpiForWindow) return Valid(Functions().getDpiForWindow(window));
  return SystemDpi();
}

int MetricForDpi(int index, int dpi) {
  if (Functions().getSystemMetricsForDpi) return Functions().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  // Windows 7 and 8 have one DPI for every window: the metric is already for it, or as near
  // as the system can give it.
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

SIZE FrameExtent(DWORD style, DWORD exStyle, int dpi) {
  if (Functions().adjustWindowRectExForDpi) {
    RECT r{0, 0, 0, 0};
    if (Functions().adjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
      return {r.right - r.left, r.bottom - r.top};
  }
  const SIZE system = SystemFrameExtent(style, exStyle);
  const int systemDpi = SystemDpi();
  return {MulDiv(system.cx, dpi, systemDpi), MulDiv(system.cy, dpi, systemDpi)};
}

SIZE OuterSizeForDesignClient(int designWidth, int designHeight, DWORD style, DWORD exStyle, int dpi) {
  const SIZE frame = FrameExtent(style, exStyle, dpi);
  return {ScaleForDpi(designWidth, dpi) + frame.cx, ScaleForDpi(designHeight, dpi) + frame.cy};
}

SIZE DesignClientOfOuter(int designOuterWidth, int designOuterHeight, DWORD style, DWORD exStyle) {
  const SIZE frame = FrameExtent(style, exStyle, kDesignDpi);
  return {designOuterWidth - frame.cx, designOuterHeight - frame.cy};
}

void EnableNonClientScaling(HWND window) {
  if (Functions().enableNonClientDpiScaling) Functions().enableNonClientDpiScaling(window);
}

RECT ScaleDesignRect(const RECT& r, int dpi) {
  const int left = ScaleForDpi(r.left, dpi);
  const int top = ScaleForDpi(r.top, dpi);
  return {left, top, ScaleForDpi(r.left + r.right, dpi) - left, ScaleForDpi(r.top + r.bottom, dpi) - top};
}

UniqueFont FontForDpi(const LOGFONTW& design, int dpi) {
  LOGFONTW font = design;
  font.lfHeight = ScaleForDpi(design.lfHeight, dpi);
  return UniqueFont(CreateFontIndirectW(&font));
}

UniqueFont GuiFontForDpi(int dpi) {
  LOGFONTW font{};
  if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font)) return {};
  font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
  return UniqueFont(CreateFontIndirectW(&font));
}

UniqueIcon LoadIconAtSide(HINSTANCE instance, int resource, int side) {
  return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, side, side, 0)));
}

UniqueBitmap LoadPictureAtSize(HINSTANCE instance, int resource, int twiceResource, int width, int height) {
  if (width <= 0 || height <= 0) return {};
  Picture single = ReadBitmapResource(instance, resource);
  Picture picture;
  // The picture drawn for 96 DPI is exact at its own size; any other size is made from the
  // larger drawing, or from that one where there is none.
  if ((single.width != width || single.height != height) && twiceResource)
    picture = ReadBitmapResource(instance, twiceResource);
  if (picture.Empty()) picture = std::move(single);
  if (picture.Empty()) return {};
  if (picture.width != width || picture.height != height) picture = ScaledTo(picture, width, height);
  uint32_t* bits = nullptr;
  return CreatePictureDib(picture, bits);
}

void WindowIcons::Apply(HWND window, HINSTANCE instance, int resource, int dpi) {
  UniqueIcon big = LoadIconAtSide(instance, resource, MetricForDpi(SM_CXICON, dpi));
  UniqueIcon small = LoadIconAtSide(instance, resource, MetricForDpi(SM_CXSMICON, dpi));
  if (big) SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
  if (small) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
  // The window holds the new ones now: the old ones can go.
  if (big) big_ = std::move(big);
  if (small) small_ = std::move(small);
}

}  // namespace vorel
