// TFormOwnCalendar: the dialog of the user's own calendar, opened from the page
// "ユーザー環境": own days off and anniversaries (add, change, remove), the calendar file with
// its kind, the anniversaries' colour and the plate under the calendar. Created once, hidden;
// it edits a copy and hands it back on OK.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "engine/own_calendar_settings.h"
#include "platform/tool_tip_win32.h"
#include "platform/window_win32.h"
#include "settings_ui/control_table_win32.h"

namespace vorel {

inline constexpr int kOwnCalendarClientWidth = 440;
inline constexpr int kOwnCalendarClientHeight = 394;
inline constexpr const char* kOwnCalendarCaption = "自分のカレンダー";
inline constexpr const char* kIcsUnreadable = "読み込めません";

// The common dialogs it opens; the settings window's by default, the tests' own answers.
struct OwnCalendarChoosers {
  std::function<std::optional<uint32_t>(HWND, uint32_t)> colour;
  // initial folder → the calendar file chosen
  std::function<std::optional<std::string>(HWND, const std::string&)> calendarFile;
};

class TFormOwnCalendar final : public Window {
 public:
  bool Create(HWND owner);
  // Modal; on OK the edited values are written into own and true is returned.
  bool Edit(OwnCalendarSettings& own, const OwnCalendarChoosers& choosers);

  HWND Control(const std::string& name) const { return controls_[name]; }
  const ControlSet& Controls() const { return controls_; }
  // The records as the dialog holds them now.
  const std::vector<std::string>& Records() const { return edited_.myDays; }
  // What the page says of the calendar file next to its path.
  std::string FileState() const { return controls_.Text("LabelIcsState"); }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged(const RECT& suggested) override;

 private:
  void Show(const OwnCalendarSettings& own);
  void FillList(int selected);
  int SelectedRow() const;
  void ShowRecord(int row);
  // The record the editing fields describe.
  std::string EditedRecord() const;
  void EveryYearClick();
  void ShowFileState();
  void Command(const std::string& name, int code);
  void SetColumns();

  ControlSet controls_;
  UiFonts fonts_;
  ToolTips hints_;
  UniqueBrush swatch_;
  OwnCalendarSettings edited_;
  const OwnCalendarChoosers* choosers_ = nullptr;
  bool answered_ = false;  // OK or Cancel pressed: a close that follows changes nothing
};

std::span<const ControlRow> OwnCalendarRows();

}  // namespace vorel
