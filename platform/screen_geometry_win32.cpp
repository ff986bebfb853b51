#include "platform/screen_geometry_win32.h"

#include <windows.h>

namespace vorel {

ScreenGeometry CurrentScreenGeometry() {
  ScreenGeometry geometry;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM list) -> BOOL CALLBACK {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& r = info.rcMonitor;
          reinterpret_cast<ScreenGeometry*>(list)->push_back(
              {{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&geometry));
  if (geometry.empty())
    geometry.push_back({{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true});
  return geometry;
}

}  // namespace vorel
