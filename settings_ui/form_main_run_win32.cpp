// The scheduling half of the settings window: the start steps, the change run with its
// timers and day check, the switch handling of the options, and the exit steps.
#include "settings_ui/form_main_win32.h"

#include <shellapi.h>

#include <exception>

#include "calendar/calendar_draw.h"
#include "change/change_run_win32.h"
#include "change/compose_win32.h"
#include "engine/settings_store.h"
#include "platform/dpi_win32.h"
#include "platform/program_paths_win32.h"
#include "platform/screen_geometry_win32.h"

namespace vorel {

SystemTime LocalSystemTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

TFormMain::TFormMain(Registry& registry, FormMainHooks hooks, std::function<SystemTime()> clock)
    : registry_(registry), hooks_(std::move(hooks)), clock_(std::move(clock)) {}

TFormMain::~TFormMain() { Exit(); }

void TFormMain::StartSteps() {
  DragAcceptFiles(Handle(), TRUE);
  schedule_.RecordDay(clock_().day);
  rewritePaused_ = false;
  history_ = LoadHistory(registry_);
  StartHolding();
  LoadAllSettings();
  if (settings_.start) BitBtnChangeClick();
}

void TFormMain::LoadAllSettings() {
  // The screen as it is now: its size, and the DPI the wallpaper's calendar is drawn for.
  const LoadContext context{ProgramFolder(), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), SystemDpi()};
  settings_ = LoadSettings(ProgramKind::kVorelset, registry_, context);
  // The plug-ins before the switch handling: a day check that finds a new day changes the
  // wallpaper, and its picture may need them.
  ApplySusieFolder();
  // The rules before the timers: a day check of the switch handling meets the hold.
  CheckBoxHoldClick();
  MemoTimeIntervalExit();
  CheckBoxChangeTimeClick();
  CheckBoxChangeDayClick();
  if (Handle()) ShowModelInControls();
  if (hooks_.currentChanged) hooks_.currentChanged();
}

bool TFormMain::SaveAllSettings() { return SaveSettings(settings_, registry_); }

void TFormMain::ApplySusieFolder() {
  // The plug-ins already loaded stay loaded until the exit steps: a scan adds those of a new
  // folder and skips the known ones. Unloading them here would reload every DLL each time
  // the settings are read again (the settings window's cancel, its plug-in list), and a
  // plug-in's runtime may keep handles it never returns at unload.
  const PatternScan scan = ScanPlugins(host_, settings_.susiePath, settings_.gvKnown, ProgramKind::kVorelset,
                                        settings_.systemCodecs);
  patterns_ = scan.picturePatterns;
  dialogFilter_ = scan.dialogFilter;
}

void TFormMain::ApplyTimers() {
  if (!Handle()) return;
  const auto apply = [this](UINT_PTR id, const TimerSetting& wanted, TimerSetting& applied) {
    if (!wanted.enabled) {
      if (applied.enabled) KillTimer(Handle(), id);
    } else if (!(wanted == applied)) {
      // Setting a timer again restarts its countdown.
      SetTimer(Handle(), id, wanted.intervalMs, nullptr);
    }
    applied = wanted;
  };
  apply(kTimerChangeId, schedule_.ChangeTimer(), appliedChange_);
  apply(kTimerDayId, schedule_.DayTimer(), appliedDay_);
}

void TFormMain::MemoTimeIntervalExit() {
  schedule_.IntervalCommitted(settings_.changeTime);
  ApplyTimers();
}

void TFormMain::CheckBoxChangeTimeClick() {
  schedule_.IntervalOptionSwitched(settings_.interval, settings_.changeTime);
  ApplyTimers();
}

void TFormMain::CheckBoxChangeDayClick() {
  const bool newDay = schedule_.DayOptionSwitched(settings_.day, clock_());
  ApplyTimers();
  if (newDay) BitBtnChangeClick();
}

void TFormMain::TimerSuspendTimer() {
  const bool released = RefreshHold();
  const bool newDay = schedule_.DayCheck(clock_());
  ApplyTimers();
  if (released || newDay) BitBtnChangeClick();
}

void TFormMain::TimerChangeTimer() {
  // The change of a hold found over here stands for this expiry too.
  if (RefreshHold() || schedule_.ChangeTimerExpired(rewritePaused_)) BitBtnChangeClick();
}

void TFormMain::BitBtnChangeClick() {
  if (!schedule_.RequestRun()) return;  // kept for the end of the run in progress
  do RunChange();
  while (schedule_.TakeDeferred());
}

void TFormMain::RunChange(RunKind kind) {
  schedule_.BeginRun();
  ApplyTimers();
  std::optional<bool> hadCandidates;
  WithEnvironment([this, kind, &hadCandidates](const ChangeEnvironment& environment) {
    if (kind == RunKind::kBack) {
      ShowFromHistory(HistoryDirection::kBack, environment);
      return;
    }
    // After going back, the pictures shown after it come again first, as a browser's forward.
    if (history_.HasForward() && ShowFromHistory(HistoryDirection::kForward, environment)) return;
    ChangeOutcome outcome = ChangeWallpaper(picture_, environment, InstallMode::kShow);
    hadCandidates = outcome.hadCandidates;
    if (outcome.installed) {
      RecordInHistory(outcome.records);
      TakeRecords(settings_, std::move(outcome.records));
      schedule_.Installed(outcome.installed->displayTime, settings_.changeTime);
    }
  });
  // The big buffers are not kept between changes.
  picture_ = Picture{};
  if (hooks_.currentChanged) hooks_.currentChanged();
  if (hadCandidates && hooks_.changeRunFinished) hooks_.changeRunFinished(*hadCandidates);
  if (schedule_.DayCheckAtEnd(clock_())) {
    ApplyTimers();
    RunChange();  // a new day: the nested run, its own day check finds the day recorded
  }
  schedule_.EndRun();
  ApplyTimers();
}

void TFormMain::InstallPreviewed(const PictureEntry& entry) {
  WithEnvironment([&entry](const ChangeEnvironment& environment) {
    Picture picture;
    InstallPicture(entry, picture, environment, InstallMode::kShow);
  });
}

void TFormMain::WithEnvironment(const std::function<void(const ChangeEnvironment&)>& step) {
  try {
    // The settings as they stand at the start: edits made while a load waits for GV apply
    // to the next run.
    const Settings settings = settings_;
    const CalendarLayout calendar = CalendarLayoutFromSettings(settings);
    const CompositionContext composition = Composition(settings, calendar);
    const PictureLoadContext load = PictureLoading(settings);
    const ChangeEnvironment environment{settings, registry_,         patterns_,   composition,
                                        load,     std::ref(random_), &orderCache_};
    step(environment);
  } catch (const std::exception& error) {
    ReportRunError(error.what());
  } catch (...) {
    ReportRunError("予期しないエラーが発生しました");
  }
}

void TFormMain::DisplayChanged() {
  // Plugging a monitor in or changing a resolution sends several of these; the screens are
  // composed for once they have settled.
  if (Handle()) SetTimer(Handle(), kTimerScreensId, kScreensQuietMs, nullptr);
}

void TFormMain::TimerScreensTimer() {
  if (Handle()) KillTimer(Handle(), kTimerScreensId);
  // A change run in progress (waiting for GV) composes for the screens it found; these are
  // composed again once it is over.
  if (schedule_.InRun()) {
    DisplayChanged();
    return;
  }
  // The calendar's drawing area is the new primary screen, at its scale.
  settings_.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  settings_.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  settings_.screenDpi = SystemDpi();
  WithEnvironment([this](const ChangeEnvironment& environment) {
    TakeRecords(settings_, RecomposeForScreens(picture_, environment));
  });
  picture_ = Picture{};
  if (hooks_.currentChanged) hooks_.currentChanged();
}

CompositionContext TFormMain::Composition(const Settings& settings, const CalendarLayout& calendar) const {
  CompositionContext context{settings, calendar, Handle()};
  context.screens = CurrentScreenGeometry();
  return context;
}

PictureLoadContext TFormMain::PictureLoading(const Settings& settings) {
  return LoadContextOf(settings, host_);
}

void TFormMain::ReportRunError(const std::string& text) {
  // Timers keep firing while the box is open; their errors are not stacked into more boxes.
  if (errorShown_) return;
  errorShown_ = true;
  ShowError(text);
  errorShown_ = false;
}

void TFormMain::Exit() {
  if (exited_) return;
  exited_ = true;
  if (Handle()) {
    KillTimer(Handle(), kTimerChangeId);
    KillTimer(Handle(), kTimerDayId);
    KillTimer(Handle(), kTimerHoldSettledId);
  }
  foregroundWatch_.Stop();
  holdNotices_.Unregister();
  try {
    const CalendarLayout calendar = CalendarLayoutFromSettings(settings_);
    RecomposeAtExit(picture_, Composition(settings_, calendar), PictureLoading(settings_));
  } catch (const std::exception&) {
    // A wallpaper file that cannot be written at exit keeps its previous content; there is
    // no one left to tell.
  }
  host_.UnloadPlugins();
  picture_ = Picture{};
}

}  // namespace vorel
