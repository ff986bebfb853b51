// TFormMain: Vorelset's settings window, and for the whole life of the program the owner of
// the live settings, the change run, its timers, the plug-in host and the engine's bitmaps.
// It is created hidden at start and shown modally from the tray's "設定".
//
// The class is split over files by concern:
//   form_main_win32.cpp        the window, its pages and controls, OK/Cancel, modal showing
//   form_main_run_win32.cpp    start, the change run, the timers, the day check, exit
//   form_main_steer_win32.cpp  the history walk back and forward, the pictures never used again
//   form_main_hold_win32.cpp   what holds the timed changes: full screen, battery, lock
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/calendar_dates.h"
#include "change/change_run_win32.h"
#include "change/compose_win32.h"
#include "change/load_picture_win32.h"
#include "converters/susie_plugin_win32.h"
#include "engine/picture.h"
#include "engine/picture_order.h"
#include "engine/registry.h"
#include "engine/settings.h"
#include "engine/wallpaper_history.h"
#include "platform/dpi_win32.h"
#include "platform/hold_conditions_win32.h"
#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"
#include "platform/window_win32.h"
#include "resident/change_schedule.h"
#include "settings_ui/control_table_win32.h"
#include "settings_ui/form_dir_win32.h"
#include "settings_ui/settings_page_win32.h"

namespace vorel {

// What the settings window needs of the program around it.
struct FormMainHooks {
  std::function<void()> showAbout;          // the about window (the tray form), modally
  std::function<void(bool)> pausedChanged;  // a pause switched from inside (none yet)
  std::function<void()> currentChanged;     // the picture on the desktop may be another now
  // The window opens, and closes again (saved: by OK): the system-wide keys are let go while
  // it is open, so that the key page's fields receive every combination typed into them.
  std::function<void()> settingsOpening;
  std::function<void(bool saved)> settingsClosed;
  // A change run has chosen from its candidates, or found none (the first run's hint).
  std::function<void(bool hadCandidates)> changeRunFinished;
};

// The dialogs the pages open: the common dialogs and the picker by default; the tests put
// their own answers in.
struct FormMainDialogs {
  // title, initial folder → the confirmed file.
  std::function<std::optional<std::string>(HWND, const std::string&, const std::string&)> openFile;
  std::function<std::optional<uint32_t>(HWND, uint32_t)> colour;
  std::function<std::optional<LOGFONTW>(HWND, const LOGFONTW&)> font;
  std::function<std::optional<FormDirResult>(const FormDirRequest&)> pick;
  // initial folder → the calendar file (*.ics) confirmed.
  std::function<std::optional<std::string>(HWND, const std::string&)> calendarFile;
};

// Tab pages in order.
enum FormMainPage { kPageWallpaper = 0, kPageChange, kPageCalendar, kPageLink, kPageUser, kPageKeys, kPageCount };

// Window timers of the settings window.
inline constexpr UINT_PTR kTimerChangeId = 1;   // TimerChange
inline constexpr UINT_PTR kTimerDayId = 2;      // TimerDay
inline constexpr UINT_PTR kTimerScreensId = 3;  // the screens settled after WM_DISPLAYCHANGE
inline constexpr UINT kScreensQuietMs = 2000;
// Posted by the watch of the window in front: whether a program shows full screen is read again,
// at once and once more when the windows have settled (a window being closed may still be
// there when the first event about it arrives).
inline constexpr UINT kHoldCheckMessage = WM_APP + 36;
inline constexpr UINT_PTR kTimerHoldSettledId = 4;
inline constexpr UINT kHoldSettledMs = 1000;

class TFormMain final : public Window {
 public:
  TFormMain(Registry& registry, FormMainHooks hooks, std::function<SystemTime()> clock = LocalSystemTime);
  ~TFormMain() override;

  // Creates the window hidden and runs the start steps: settings, plug-ins, timers, and the
  // change at start when it is on.
  bool Create();
  // The exit steps (erase or calendar-free copy, plug-ins unloaded, bitmaps released). Runs
  // once; also at the end of the Windows session.
  void Exit();

  // "設定": shows the window modally; while it is already open it comes to the front.
  void ShowSettings();
  bool SettingsShown() const { return shown_; }

  // The change run. A request while a run is in progress is remembered and run once right
  // after it.
  void BitBtnChangeClick();
  bool RewritePaused() const { return rewritePaused_; }
  void SetRewritePaused(bool paused) { rewritePaused_ = paused; }

  // "前の壁紙に戻す": the history's entry before the desktop's, composed now and made the
  // current picture; the persistent order is not touched. Greyed while CanGoBack() is false.
  void GoBack();
  bool CanGoBack() const;
  // "この絵を今後使わない": the current picture joins the exclusion list, at once in the key
  // too, and a change run follows.
  void ExcludeCurrent();
  const WallpaperHistory& History() const { return history_; }

  // The live settings as the controls show them.
  const Settings& Model() const { return settings_; }
  Settings& Model() { return settings_; }
  const std::vector<std::string>& PicturePatterns() const { return patterns_; }
  // A previewed picture clicked: installed at once with the entry's texts, as a change run
  // would install it; the current-picture record and the schedule stay as they are.
  void InstallPreviewed(const PictureEntry& entry);

  // --- The window's controls, for the pages, the tests and the screenshots.
  const UiFonts& Fonts() const { return fonts_; }
  // The outer size the window cannot be dragged below at its DPI: its design size.
  SIZE SmallestSize() const;
  FormMainDialogs& Dialogs() { return dialogs_; }
  TFormDir& Picker() { return picker_; }
  // The picker's preview through the engine's loader with the program's plug-ins.
  PreviewLoader PreviewLoad();
  // A control of the bottom bar or of a table page by its name; nullptr when none.
  HWND Control(const std::string& name) const;
  std::string Hint(HWND control) const { return hints_.Get(control); }
  HWND TabControl() const { return tab_; }
  SettingsPage* Page(int index) const;
  int ActivePage() const;
  void SelectPage(int index);

  // --- Switch handling of the scheduling (form_main_run_win32.cpp); the pages call these
  // right after they have put the control's new state into the model.
  void CheckBoxChangeTimeClick();  // settings_.interval changed
  void CheckBoxChangeDayClick();   // settings_.day changed
  void MemoTimeIntervalExit();     // settings_.changeTime committed
  void TimerSuspendTimer();        // the day check
  void TimerChangeTimer();
  // WM_DISPLAYCHANGE: once no further one has come for kScreensQuietMs, the pictures on the
  // desktop are composed again for the new screens (TimerScreensTimer).
  void DisplayChanged();
  void TimerScreensTimer();
  // Loads the plug-ins of settings_.susiePath and rebuilds the picture-file patterns.
  void ApplySusieFolder();
  // Every setting read back from the registry, with the switch handling that follows it.
  void LoadAllSettings();
  // Every setting written; false when the key could not be written.
  bool SaveAllSettings();

  // --- Holding the timed changes (form_main_hold_win32.cpp).
  // The hold rules of the model applied (the page's check boxes, every load): the window in
  // front is followed while its rule is on, and a hold that ends runs the kept change.
  void CheckBoxHoldClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  // --- The window's controls (form_main_win32.cpp).
  void CreatePages();
  void BarPictures();          // the logo and the help glyph at the window's DPI
  void ShowModelInControls();  // after every load
  void LayoutPages();
  void BitBtnOkClick();
  void BitBtnCancelClick();
  void ShowActivePage();
  void BarCommand(const std::string& name);
  void DefaultDialogs();

  // --- Scheduling (form_main_run_win32.cpp).
  void StartSteps();
  enum class RunKind { kNext, kBack };
  // One change run, steps 1-9: the next picture (the history's forward walk first, then the
  // order), or the history's entry before the desktop's.
  void RunChange(RunKind kind = RunKind::kNext);
  // --- The history (form_main_steer_win32.cpp).
  // Walks the history and shows the first entry that can be; true when one was shown.
  bool ShowFromHistory(HistoryDirection direction, const ChangeEnvironment& environment);
  // A change from the order put these records on the desktop.
  void RecordInHistory(const std::vector<CurrentPictureRecord>& records);
  void ApplyTimers();  // the window timers set to what the schedule says
  void ReportRunError(const std::string& text);
  // The loader with this program's plug-ins and the given settings' viewer and file.
  PictureLoadContext PictureLoading(const Settings& settings);
  // A composition of the given settings on the desk as it is now.
  CompositionContext Composition(const Settings& settings, const CalendarLayout& calendar) const;
  // Runs the step with a change's environment for the settings as they stand now; an error
  // ends it and is shown.
  void WithEnvironment(const std::function<void(const ChangeEnvironment&)>& step);

  // --- Holding (form_main_hold_win32.cpp).
  // At creation: the session and power notices registered, the conditions read.
  void StartHolding();
  // At each timed trigger: the conditions that can be read are read again. True when that
  // ended a hold with a kept trigger; the caller then runs the one change.
  bool RefreshHold();
  void HoldCheck();              // kHoldCheckMessage
  void TimerHoldSettledTimer();  // the same once the windows have settled
  void PowerStatusChanged();
  void SessionChanged(WPARAM code);
  // A condition as now read; runs the kept change when it ended the hold.
  void HoldConditionIs(HoldCondition condition, bool present);

  UiFonts fonts_;
  ToolTips hints_;
  HWND tab_ = nullptr;
  std::vector<std::unique_ptr<SettingsPage>> pages_;
  ControlSet bar_;
  UniqueBitmap logo_;
  UniqueIcon helpIcon_;
  WindowIcons icons_;
  TFormDir picker_;
  FormMainDialogs dialogs_;
  bool centred_ = false;

  Registry& registry_;
  FormMainHooks hooks_;
  std::function<SystemTime()> clock_;
  Settings settings_;
  std::vector<std::string> patterns_;
  std::string dialogFilter_;  // the open dialog's filter, from the plug-ins
  TSusiePlugIn host_;
  Random15 random_;
  OrderPieceCache orderCache_;
  Picture picture_;  // the picture bitmap; empty between changes
  WallpaperHistory history_;  // as stored under the key, written after every change
  ChangeSchedule schedule_;
  TimerSetting appliedChange_;
  TimerSetting appliedDay_;
  bool rewritePaused_ = false;
  bool shown_ = false;
  bool exited_ = false;
  bool errorShown_ = false;
  ForegroundWatch foregroundWatch_;
  SessionAndPowerNotices holdNotices_;
};

}  // namespace vorel
