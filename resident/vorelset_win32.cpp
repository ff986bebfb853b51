// Vorelset: the resident program. Hidden but for its tray icon, it changes the wallpaper at
// start, on an interval, when the date changes and on request, and owns the settings window.
// Exit status -1 when Vorelset or Vorelrun is already running.
//
// Started with switches ("/next", "/prev", ...) it is a messenger instead: it hands them to
// the running Vorelset and ends (0 handed over, 1 no Vorelset running, 2 a switch unknown).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "platform/com_win32.h"
#include "platform/outside_code_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"
#include "platform/win32_registry.h"
#include "resident/command_sender_win32.h"
#include "resident/form_start_win32.h"
#include "resident/hint_balloons_win32.h"
#include "resident/remote_command.h"
#include "settings_ui/form_main_win32.h"

namespace {

void ShowStandardError(const char* text) {
  MessageBoxW(nullptr, vorel::ToWide(text).c_str(), L"Vorel", MB_OK | MB_ICONERROR);
}

vorel::CommandLineSwitches Switches() {
  int count = 0;
  const vorel::UniqueLocal args(reinterpret_cast<HLOCAL>(CommandLineToArgvW(GetCommandLineW(), &count)));
  std::vector<std::string> arguments;
  for (int n = 1; args && n < count; ++n) arguments.push_back(vorel::ToUtf8(static_cast<wchar_t**>(args.Get())[n]));
  return vorel::ParseSwitches(arguments);
}

// What a click on a hint's balloon opens, and the look at the candidates of the first run.
vorel::HintActions FirstHintActions(vorel::TFormMain& formMain) {
  using namespace vorel;
  HintActions actions;
  actions.hasCandidates = [&formMain] { return HasCandidates(formMain.Model(), formMain.PicturePatterns()); };
  actions.openWallpaperPage = [&formMain] {
    formMain.SelectPage(kPageWallpaper);
    formMain.ShowSettings();
  };
  actions.openWindowsBackground = [] {
    ShellExecuteW(nullptr, L"open", L"ms-settings:personalization-background", nullptr, nullptr, SW_SHOWNORMAL);
  };
  return actions;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vorel;
  // Before anything loads a DLL by name: the common controls, the dialogs' shell extensions.
  KeepDllsOutOfCurrentFolder();
  const CommandLineSwitches switches = Switches();
  if (switches.kind == CommandLineSwitches::Kind::kUnknown) return kExitUnknownSwitch;
  if (switches.kind == CommandLineSwitches::Kind::kCommands) return HandOverCommands(switches.commands);
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
    HintBalloons hints(formStart.TaskBar(), registry);
    FormMainHooks hooks;
    hooks.showAbout = [&formStart] { formStart.ShowAbout(); };
    hooks.currentChanged = [&formStart] { formStart.UpdateTip(); };
    hooks.settingsOpening = [&formStart] { formStart.UnregisterHotKeys(); };
    hooks.settingsClosed = [&formStart](bool saved) { formStart.RegisterHotKeys(saved); };
    hooks.changeRunFinished = [&hints](bool hadCandidates) { hints.RunFinished(hadCandidates); };
    TFormMain formMain(registry, std::move(hooks));
    formStart.SetFormMain(&formMain);
    if (!hints.Create(FirstHintActions(formMain))) return 0;
    if (!formMain.Create()) return 0;
    // The keys of the stored settings; one another program holds is named in the tip only.
    formStart.RegisterHotKeys(false);
    hints.Started(formMain.Model().folders.empty() && formMain.Model().pictures.empty());

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
