// The pages of the settings window that are built from a table of rows: the base that
// creates the child window and its controls and routes the controls' commands, and the
// factories of the pages "張り替えかた", "カレンダー", "他のソフトとの連携" and "ユーザー環境".
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "settings_ui/control_table_win32.h"
#include "settings_ui/numeric_field_win32.h"
#include "settings_ui/settings_page_win32.h"

namespace vorel {

class TablePage : public SettingsPage {
 public:
  bool CreatePage(HWND parent, TFormMain& form, ToolTips& hints) override;
  void Arrange(int /*width*/, int /*height*/) override {}
  void Rescale(int dpi) override;
  const ControlSet& Controls() const { return controls_; }
  virtual std::span<const ControlRow> Rows() const = 0;

 protected:
  // After the controls exist: numeric fields attached.
  virtual void ControlsCreated() {}
  // After the controls got the window's fonts (at creation and at every new DPI): the page's
  // own fonts.
  virtual void FontsGiven() {}
  // A command from the control of that name; radio is the button's index in its group.
  virtual void Command(const std::string& name, int code, int radio) = 0;
  // The background brush of a static control, for colour samples; nullptr for the default.
  virtual HBRUSH StaticBrush(HWND /*control*/) { return nullptr; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // ▲/▼ of a numeric field, by the buttons' names "...Up"/"...Down".
  NumericField* FieldOfArrow(const std::string& name, int& direction);
  void AddField(const std::string& baseName, std::function<FieldRange()> range, int32_t step,
                std::function<void(int32_t)> store, int typedLength = 0);
  NumericField& Field(const std::string& baseName);

  TFormMain* form_ = nullptr;
  ControlSet controls_;

 private:
  std::vector<std::pair<std::string, std::unique_ptr<NumericField>>> fields_;
};

// A calendar font as the font dialog and GDI take it at dpi (its height in pixels from the
// point size), and back.
LOGFONTW LogFontOf(const CalendarFont& font, int dpi);
CalendarFont CalendarFontOf(const LOGFONTW& font, int dpi);

std::unique_ptr<SettingsPage> MakeChangePage();
std::unique_ptr<SettingsPage> MakeCalendarPage();
std::unique_ptr<SettingsPage> MakeLinkPage();
std::unique_ptr<SettingsPage> MakeUserPage();
std::unique_ptr<SettingsPage> MakeKeysPage();

class TFormOwnCalendar;
// The own calendar's dialog of the page "ユーザー環境"; nullptr for another page.
TFormOwnCalendar* OwnCalendarDialog(SettingsPage* userPage);

// The tables, for the bottom bar and for the caption-and-hint test.
std::span<const ControlRow> ChangePageRows();
std::span<const ControlRow> CalendarPageRows();
std::span<const ControlRow> LinkPageRows();
std::span<const ControlRow> UserPageRows();
std::span<const ControlRow> KeysPageRows();
std::span<const ControlRow> BottomBarRows();

}  // namespace vorel
