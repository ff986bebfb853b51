// Prepares the demonstration: Vorelrun's settings with the demo folder (and its
// subfolders), random order, the calendar on and the wallpaper file under build/demo;
// optionally the plug-in folder, and one picture of the folder turned into the format
// only the project's own test plug-in reads.
//   vorel_demo_setup.exe <picture folder> <wallpaper file> [<plug-in folder> <bitmap> <.vtp out>]
//   vorel_demo_setup.exe --hold <seconds>
//   vorel_demo_setup.exe --tray-menu | --close-vorelset
// --hold only waits: it keeps the Wine virtual desktop open after Vorelrun has ended, so
// that the desktop can be photographed. --tray-menu opens the running Vorelset's pop-up
// menu as a right click on its tray icon does; --close-vorelset closes the menu and ends
// Vorelset through its "終了".
#include <windows.h>

#include <cstdio>
#include <string_view>

#include "converters/dib.h"
#include "engine/settings_store.h"
#include "platform/files.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"
#include "resident/resident_ids.h"
#include "tests/fixtures/test_picture_format.h"

namespace {

void Say(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

bool WriteTestFormatCopy(const std::string& bitmap, const std::string& target) {
  const std::optional<std::string> bytes = vorel::ReadWholeFile(bitmap);
  if (!bytes) return false;
  const std::optional<vorel::Picture> picture = vorel::DecodeBmpFile(bytes->data(), bytes->size());
  if (!picture) return false;
  return vorel::WriteWholeFile(target,
                               vorel::testing::EncodeTestPicture({picture->width, picture->height, {picture->pixels.begin(), picture->pixels.end()}}));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace vorel;
  if (argc == 3 && std::wstring_view(argv[1]) == L"--hold") {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
    return 0;
  }
  if (argc == 2 && std::wstring_view(argv[1]) == L"--tray-menu") {
    HWND tray = nullptr;
    for (int i = 0; i < 100 && !(tray = FindWindowW(kTaskBarWindowClass, nullptr)); ++i) Sleep(100);
    if (!tray) return 1;
    SetCursorPos(700, 420);
    PostMessageW(tray, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONDOWN);
    PostMessageW(tray, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
    return 0;
  }
  if (argc == 2 && std::wstring_view(argv[1]) == L"--close-vorelset") {
    const HWND form = FindWindowW(kTrayFormClass, nullptr);
    if (!form) return 1;
    PostMessageW(form, WM_CANCELMODE, 0, 0);
    PostMessageW(form, WM_COMMAND, kCmdClose, 0);
    return 0;
  }
  if (argc != 3 && argc != 6) {
    Say("usage: vorel_demo_setup <picture folder> <wallpaper file> [<plug-in folder> <bitmap> <.vtp out>]");
    return 2;
  }
  Settings settings = Settings::VorelrunDefaults();
  FolderEntry folder;
  folder.path = ToUtf8(argv[1]);
  folder.subfolders = kSubfoldersAll;
  settings.folders = {folder};
  settings.wallFile = ToUtf8(argv[2]);
  settings.inOrder = false;
  settings.calender = true;
  settings.vorelrun = false;
  settings.resizeOver = true;
  if (argc == 6) {
    settings.susiePath = ToUtf8(argv[3]);
    settings.susieFolderKnown = true;
    if (!WriteTestFormatCopy(ToUtf8(argv[4]), ToUtf8(argv[5]))) Say("the plug-in picture could not be made");
  }
  Win32Registry registry;
  if (!SaveSettings(settings, registry)) {
    Say("the settings could not be written");
    return 1;
  }
  return 0;
}
