// Vorelset: the resident program. Hidden but for its tray icon, it changes the wallpaper at
// start, on an interval, when the date changes and on request, and owns the settings window.
// Exit status -1 when Vorelset or Vorelrun is already running.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "platform/com_win32.h"
#include "platform/outside_code_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/form_start_win32.h"
#include "settings_ui/form_main_win32.h"

namespace {

void ShowStandardError(const char* text) {
  MessageBoxW(nullptr, vorel::ToWide(text).c_str(), L"Vorel", MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vorel;
  // Before anything loads a DLL by name: the common controls, the dialogs' shell extensions.
  KeepDllsOutOfCurrentFolder();
  // Not owned: whoever created it first keeps the other program out.
  UniqueKernelHandle guard(CreateMutexW(nullptr, FALSE, L"Vorel"));
  if (!guard || GetLastError() == ERROR_ALREADY_EXISTS) return -1;
  // The system's picture codecs are COM objects, used on this thread only.
  const ComApartment com;

  try {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Registry registry;
    TFormStart formStart;
    if (!formStart.Create()) return 0;
    TFormMain formMain(registry, FormMainHooks{[&formStart] { formStart.ShowAbout(); }, nullptr});
    formStart.SetFormMain(&formMain);
    if (!formMain.Create()) return 0;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    formMain.Exit();
    formStart.SetFormMain(nullptr);
  } catch (const std::exception& error) {
    ShowStandardError(error.what());
  } catch (...) {
    ShowStandardError("予期しないエラーが発生しました");
  }
  return 0;
}
