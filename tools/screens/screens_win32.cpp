// make screenshots: opens the settings window (on settings in memory, with the test plug-ins
// as the Susie folder and the pictures folder in both lists) on the Wine virtual desktop and
// saves every page, the page "壁紙" with the folder's contents and a preview, the folder
// settings dialog, the list of pictures never used again, the picker, the about window, the
// tray's menu, and the window at its smallest and at 1024 x 768 as bitmaps, at the DPI of the session it runs in; tools/screenshots.sh turns them
// into PNGs. With --calendar it composes a wallpaper with Vorelset's calendar instead, for a
// screen of the given size at the session's DPI.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <iterator>
#include <string>

#include "change/compose_win32.h"
#include "converters/dib.h"
#include "engine/bmp_file.h"
#include "engine/registry.h"
#include "engine/settings.h"
#include "engine/settings_store.h"
#include "engine/wallpaper_history.h"
#include "platform/dpi_win32.h"
#include "platform/files.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "resident/form_start_win32.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/form_own_calendar_win32.h"
#include "settings_ui/table_page_win32.h"
#include "settings_ui/page_wallpaper_win32.h"

namespace {

using namespace vorel;

std::string gOut;
TFormDir* gPicker = nullptr;
TFormFolderSetup* gSetup = nullptr;

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

// The window as the screen shows it, read back from the desktop.
void Capture(HWND window, const std::string& name) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  const BITMAPINFO info = PictureDibInfo(w, h);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  Picture picture;
  picture.width = w;
  picture.height = h;
  const auto* pixels = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(pixels, pixels + static_cast<size_t>(w) * h);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const std::string bytes = EncodeBmp24(picture);
  HANDLE file = CreateFileW(ToWide(gOut + "\\" + name + ".bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void CALLBACK ShootPicker(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // The first file clicked, so that the preview shows.
  const HWND list = gPicker->Control("ListBoxFile");
  SendMessageW(list, LB_SETSEL, TRUE, 0);
  SendMessageW(gPicker->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  Pump(400);
  Capture(gPicker->Handle(), "picker");
  PostMessageW(gPicker->Handle(), WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK ShootSetup(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Pump(300);
  Capture(gSetup->Handle(), "folder-setup");
  PostMessageW(gSetup->Handle(), WM_COMMAND, IDCANCEL, 0);
}

TFormStart* gAbout = nullptr;
TFormExcluded* gExcluded = nullptr;

void CALLBACK ShootExcluded(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Pump(300);
  Capture(gExcluded->Handle(), "excluded");
  PostMessageW(gExcluded->Handle(), WM_CLOSE, 0, 0);
}

// The tray's pop-up menu, open: the window the system shows it in.
void CALLBACK ShootMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Pump(200);
  if (const HWND menu = FindWindowW(L"#32768", nullptr)) Capture(menu, "tray-menu");
  EndMenu();
}

void CALLBACK ShootAbout(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  Pump(300);
  Capture(gAbout->Handle(), "about");
  PostMessageW(gAbout->Handle(), WM_COMMAND, IDOK, 0);
}

// The picture composed as Vorelset composes it, with its calendar on 9 December 2026, for a
// screen of width × height at the session's DPI, written as OUT\<name>.bmp.
int ComposeCalendar(const std::string& picturePath, int width, int height, const std::string& name,
                    const std::function<void(Settings&)>& adjust = nullptr) {
  MemoryRegistry registry;
  Settings settings = LoadSettings(ProgramKind::kVorelset, registry, {ProgramFolder(), width, height, SystemDpi()});
  if (adjust) adjust(settings);
  const std::optional<std::string> bytes = ReadWholeFile(picturePath);
  std::optional<Picture> decoded = bytes ? DecodeBmpFile(bytes->data(), bytes->size()) : std::nullopt;
  if (!decoded) return 3;
  Picture picture = std::move(*decoded);
  FitRequest request;
  request.layout = GlobalLayout(settings);
  request.layout.scale = true;
  request.screenWidth = width;
  request.screenHeight = height;
  FitPicture(picture, request, DesktopColour);
  StampCalendar(picture, false, 4, CalendarLayoutFromSettings(settings), settings.calenForm,
                [] { return Date{2026, 12, 9}; });
  const std::string out = EncodeBmp24(picture);
  return WriteWholeFile(gOut + "\\" + name + ".bmp", out) ? 0 : 4;
}

// The user's own days and a calendar file of theirs, as the dialog and the wallpapers show
// them: year-end days off, anniversaries, and a weekly and a monthly event.
constexpr const char* kOwnDays[] = {"12/29,休日,年末年始休暇", "12/30,休日,年末年始休暇", "12/31,休日,年末年始休暇",
                                    "2026/12/04,記念日,結婚記念日", "12/18,記念日,創立記念日",
                                    "2027/01/04,休日,仕事始めの前"};
std::string WriteCalendarFile(const std::string& folder) {
  const std::string path = folder + "\\予定.ics";
  WriteWholeFile(path,
                 "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20261102\r\n"
                 "RRULE:FREQ=WEEKLY;BYDAY=WE\r\nEXDATE;VALUE=DATE:20261223\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:b\r\n"
                 "DTSTART:20261101T010000Z\r\nRRULE:FREQ=MONTHLY;BYDAY=-1FR\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
  return path;
}

// A wallpaper with the own calendar and the plate on, in both forms, beside the same picture
// without the plate: OUT\calendar-bright.bmp, calendar-plate.bmp and calendar-plate-bar.bmp.
int ComposePlates(const std::string& picturePath, int width, int height) {
  const std::string file = WriteCalendarFile(gOut);
  const auto own = [&file](bool plate, int form) {
    return [&file, plate, form](Settings& s) {
      s.ownCalendar.myDays.assign(std::begin(kOwnDays), std::end(kOwnDays));
      s.ownCalendar.icsFile = file;
      s.ownCalendar.plate = plate;
      s.calenForm = form;
      if (form == 1) s.calenLength = 4;
    };
  };
  int status = ComposeCalendar(picturePath, width, height, "calendar-bright", own(false, 0));
  if (status == 0) status = ComposeCalendar(picturePath, width, height, "calendar-plate", own(true, 0));
  if (status == 0) status = ComposeCalendar(picturePath, width, height, "calendar-plate-bar", own(true, 1));
  RemoveFile(file);
  return status;
}

TFormOwnCalendar* gOwnCalendar = nullptr;

void CALLBACK ShootOwnCalendar(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // The second day selected, so that the fields below the list show it.
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(gOwnCalendar->Control("ListViewMyDays"), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
  Pump(300);
  Capture(gOwnCalendar->Handle(), "own-calendar");
  PostMessageW(gOwnCalendar->Handle(), WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc == 6 && std::wstring(argv[1]) == L"--calendar") {
    gOut = ToUtf8(argv[2]);
    return ComposeCalendar(ToUtf8(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]),
                           "calendar-" + std::to_string(SystemDpi()) + "dpi");
  }
  if (argc == 6 && std::wstring(argv[1]) == L"--plate") {
    gOut = ToUtf8(argv[2]);
    return ComposePlates(ToUtf8(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]));
  }
  if (argc < 3) return 2;
  gOut = ToUtf8(argv[1]);
  const std::string plugins = ToUtf8(argv[2]);
  const std::string pictures = argc > 3 ? ToUtf8(argv[3]) : plugins;

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  // The pointer out of the way: resting on a centred dialog it would bring up a hint.
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  MemoryRegistry registry;
  const auto key = registry.Open(kSettingsKeyPath, true);
  key->WriteText("SusiePath", plugins);
  key->WriteInt("Screen", 1);
  key->WriteInt("ScreenX", 20);
  // The pictures folder in the folder list (with its subfolders), one of its pictures in the
  // file list with its own time and position.
  key->WriteInt("WallNum", 1);
  key->WriteText("WallPath0", pictures);
  key->WriteText("WallSub0", "一層");
  key->WriteInt("FileNum", 1);
  key->WriteText("WallFile0", pictures + "\\空.bmp");
  key->WriteText("FileTime0", "30");
  key->WriteText("FilePosi0", "左上");
  // A picture on the desktop with one before it, two pictures never used again, and two keys.
  const std::string sea = pictures + "\\海辺\\波.bmp";
  key->WriteText("OldFile", sea);
  WallpaperHistory history;
  AppendToHistory(history, {{pictures + "\\夕焼け.bmp"}}, {});
  AppendToHistory(history, {{sea}}, {});
  SaveHistory(history, registry);
  key->WriteInt("ExcludeNum", 2);
  key->WriteText("ExcludeFile0", pictures + "\\Aurora.bmp");
  key->WriteText("ExcludeFile1", pictures + "\\草原.bmp");
  key->WriteInt("HotKeyNext", (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'N');
  key->WriteInt("HotKeyPrev", (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8 | 'B');
  // The own calendar's days and file, for its dialog.
  key->WriteInt("MyDayNum", static_cast<int32_t>(std::size(kOwnDays)));
  for (size_t i = 0; i < std::size(kOwnDays); ++i) key->WriteText("MyDay" + std::to_string(i), kOwnDays[i]);
  const std::string calendarFile = WriteCalendarFile(gOut);
  key->WriteText("IcsFile", calendarFile);
  TFormMain form(registry, FormMainHooks{});
  if (!form.Create()) return 1;
  ShowWindow(form.Handle(), SW_SHOW);
  SetForegroundWindow(form.Handle());
  const char* names[] = {"page1-wallpaper", "page2-change", "page3-calendar", "page4-link", "page5-user", "page6-keys"};
  for (int i = 0; i < kPageCount; ++i) {
    form.SelectPage(i);
    Pump(500);
    Capture(form.Handle(), names[i]);
  }
  // The page "壁紙" with the folder selected, its contents listed and the first previewed;
  // then the folder settings dialog over it.
  form.SelectPage(kPageWallpaper);
  if (auto* page = dynamic_cast<WallpaperPage*>(form.Page(kPageWallpaper))) {
    page->SelectFolders({true});
    Pump(300);
    const HWND contents = page->Control(kWallListBoxFolDir);
    SendMessageW(contents, LB_SETCURSEL, 0, 0);
    SendMessageW(page->Handle(), WM_COMMAND, MAKEWPARAM(kWallListBoxFolDir, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(contents));
    Pump(400);
    Capture(form.Handle(), "page1-wallpaper-folder");
    gSetup = &page->FolderSetup();
    SetTimer(nullptr, 0, 300, &ShootSetup);
    page->SpeedButtonFolderSetupClick();
    gExcluded = &page->Excluded().Dialog();
    SetTimer(nullptr, 0, 300, &ShootExcluded);
    page->Excluded().Click();
  }
  // Smallest (the design size) with the link page, whose layout follows the size.
  form.SelectPage(kPageLink);
  SetWindowPos(form.Handle(), nullptr, 0, 0, 100, 100, SWP_NOZORDER);
  Pump(500);
  Capture(form.Handle(), "smallest");
  SetWindowPos(form.Handle(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
  Pump(500);
  Capture(form.Handle(), "1024x768");
  SetWindowPos(form.Handle(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER | SWP_NOMOVE);
  form.SelectPage(kPageCalendar);
  Pump(400);
  Capture(form.Handle(), "1024x768-calendar");

  // The own calendar's dialog, from the page "ユーザー環境".
  form.SelectPage(kPageUser);
  if (TFormOwnCalendar* own = OwnCalendarDialog(form.Page(kPageUser))) {
    gOwnCalendar = own;
    SetTimer(nullptr, 0, 300, &ShootOwnCalendar);
    own->Edit(form.Model().ownCalendar, {form.Dialogs().colour, form.Dialogs().calendarFile});
  }
  RemoveFile(calendarFile);

  gPicker = &form.Picker();
  SetTimer(nullptr, 0, 300, &ShootPicker);
  form.Picker().Pick(form.Handle(), {"画像ファイルの追加", pictures, {"*.BMP", "*.SPI"}, true}, form.PreviewLoad());

  TFormStart about;
  if (about.Create()) {
    gAbout = &about;
    SetTimer(nullptr, 0, 300, &ShootAbout);
    about.ShowAbout();
    // The menu as the tray opens it, its items enabled as they are with a picture on the desktop.
    about.SetFormMain(&form);
    SetForegroundWindow(about.Handle());
    SetTimer(nullptr, 0, 400, &ShootMenu);
    TrackPopupMenu(about.PopupMenu(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, 300, 200, 0, about.Handle(), nullptr);
    about.SetFormMain(nullptr);
  }
  form.Exit();
  LocalFree(argv);
  return 0;
}
