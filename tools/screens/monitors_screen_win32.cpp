// make screenshots, the desk of two monitors (tools/with-monitors.sh): one change with every
// monitor its own picture and the calendar, through the engine as Vorelset runs it; the file
// laid on the desk as the desktop values say, shown where the desktop is; then the desk
// photographed from the X screen that holds both monitors (VOREL_MONITOR_PHOTO).
//
// Wine 8 itself paints no wallpaper on a desk of several monitors, so the desktop is shown by
// a window of the virtual screen's size at the bottom of the others.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "calendar/calendar_draw.h"
#include "change/change_run_win32.h"
#include "engine/registry.h"
#include "platform/screen_geometry_win32.h"
#include "platform/strings.h"
#include "tests/fixtures/wine_test_support.h"

namespace {

using namespace vorel;

const Picture* gDesk = nullptr;

LRESULT CALLBACK DeskProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && gDesk) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = gDesk->width;
    info.bmiHeader.biHeight = -gDesk->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    SetDIBitsToDevice(dc, 0, 0, gDesk->width, gDesk->height, 0, 0, 0, gDesk->height, gDesk->pixels.data(), &info,
                      DIB_RGB_COLORS);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const char* photo = std::getenv("VOREL_MONITOR_PHOTO");
  const char* photoFile = std::getenv("VOREL_MONITOR_PHOTO_FILE");
  if (argc < 3 || !photo || !photoFile) return 2;
  const std::string out = ToUtf8(argv[1]);
  const std::string pictures = ToUtf8(argv[2]);
  LocalFree(argv);

  Settings settings = Settings::VorelsetDefaults();
  settings.perMonitor = true;
  settings.tile = false;
  settings.resize = true;
  settings.inOrder = true;
  settings.wallFile = out + "\\monitors-wallpaper.bmp";
  settings.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  settings.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  for (const char* name : {"空.bmp", "夕焼け.bmp"}) settings.pictures.push_back({pictures + "\\" + name});
  MemoryRegistry order;
  const std::vector<std::string> patterns;
  const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
  CompositionContext composition{settings, calendar};
  composition.screens = CurrentScreenGeometry();
  PictureLoadContext load;
  load.wallFile = settings.wallFile;
  Picture picture;
  const ChangeEnvironment environment{settings, order, patterns, composition, load, [] { return 0; }, nullptr};
  if (!ChangeWallpaper(picture, environment, InstallMode::kShow).installed) return 1;

  const WallpaperLayout layout = LayoutOf(composition.screens);
  const Picture desk = testing::DeskAsInstalled(layout);
  if (desk.Empty()) return 1;
  gDesk = &desk;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DeskProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VorelDesk";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"VorelDesk", L"", WS_POPUP, layout.box.left, layout.box.top,
                                      layout.Width(), layout.Height(), nullptr, nullptr, instance, nullptr);
  SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetCursorPos(layout.box.right - 1, layout.box.bottom - 1);
  Pump(1500);

  // The photograph is taken outside Windows, of the X screen both monitors are shown on.
  const std::wstring script = ToWide(photo);
  const std::wstring file = ToWide(photoFile);
  std::wstring line = L"\"" + script + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (CreateProcessW(script.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    if (pi.hThread) CloseHandle(pi.hThread);
    if (pi.hProcess) CloseHandle(pi.hProcess);
  }
  for (int i = 0; i < 150 && !Exists(file); ++i) Pump(100);
  DestroyWindow(window);
  DeleteFileW(ToWide(settings.wallFile).c_str());
  return Exists(file) ? 0 : 1;
}
