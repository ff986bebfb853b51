// The own calendar's dialog: its controls from one table, the list of own days kept as the
// stored records (a damaged one stays listed until the user changes or removes it), and the
// calendar file read once when it is named, to say next to its path whether it can be read.
#include "settings_ui/form_own_calendar_win32.h"

#include <commctrl.h>

#include <array>

#include "calendar/own_days.h"
#include "change/calendar_file_win32.h"
#include "platform/dpi_win32.h"
#include "platform/strings.h"

namespace vorel {
namespace {

using K = ControlKind;

constexpr wchar_t kClass[] = L"TFormOwnCalendar";
// Not WS_CLIPCHILDREN: the group boxes leave their insides to the dialog's own background.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kFirstId = 300;
constexpr const char* kKinds = "休日\n記念日";

const std::array kRows{
    ControlRow{"GroupBoxMyDays", K::kGroupBox, "自分の休日・記念日", "", {8, 6, 424, 196}, false},
    ControlRow{"ListViewMyDays",
               K::kReportList,
               "",
               "カレンダーに描く自分の休日と記念日です。選ぶと下の欄で変更できます",
               {16, 24, 408, 110}},
    ControlRow{"LabelMyDayDate", K::kLabel, "日付", "", {16, 146, 30, 14}, false},
    ControlRow{"DateTimePickerMyDay", K::kDatePicker, "", "休日や記念日の日付です", {48, 142, 112, 22}},
    ControlRow{"CheckBoxEveryYear", K::kCheckBox, "毎年", "毎年同じ月日に描きます", {168, 145, 56, 16}},
    ControlRow{"LabelMyDayKind", K::kLabel, "種類", "", {232, 146, 30, 14}, false},
    ControlRow{"ComboBoxMyDayKind",
               K::kComboList,
               "",
               "休日は祝日と同じ色で，記念日は記念日の色で描きます",
               {264, 142, 80, 20},
               true,
               kKinds},
    ControlRow{"LabelMyDayName", K::kLabel, "名前", "", {16, 176, 30, 14}, false},
    ControlRow{"EditMyDayName", K::kEdit, "", "休日や記念日の名前です", {48, 172, 212, 22}},
    ControlRow{"ButtonMyDayAdd", K::kButton, "追加", "この日を一覧に加えます", {268, 171, 50, 24}},
    ControlRow{"ButtonMyDayChange", K::kButton, "変更", "一覧で選んだ日をこの内容にします", {322, 171, 50, 24}},
    ControlRow{"ButtonMyDayDelete", K::kButton, "削除", "一覧で選んだ日を消します", {376, 171, 48, 24}},
    ControlRow{"GroupBoxIcs", K::kGroupBox, "予定表ファイル (iCalendar)", "", {8, 208, 424, 78}, false},
    ControlRow{"EditIcsFile",
               K::kEdit,
               "",
               "Google カレンダー・Outlook・Apple のカレンダーから書き出した .ics ファイルです。壁紙を描くたびに読み直します",
               {16, 226, 344, 22}},
    ControlRow{"ButtonIcsFile", K::kButton, "参照", "予定表ファイルを選びます", {364, 225, 60, 24}},
    ControlRow{"LabelIcsKind", K::kLabel, "予定のある日", "", {16, 258, 90, 14}, false},
    ControlRow{"ComboBoxIcsKind",
               K::kComboList,
               "",
               "予定のある日を休日として描くか，記念日として描くか決めます",
               {108, 254, 80, 20},
               true,
               kKinds},
    ControlRow{"LabelIcsState", K::kLabel, "", "", {200, 258, 224, 14}, false},
    ControlRow{"GroupBoxMyDayLook", K::kGroupBox, "色と背景", "", {8, 292, 424, 62}, false},
    ControlRow{"ShapeMyDay", K::kSwatch, "", "", {16, 311, 15, 15}, false},
    ControlRow{"LabelShapeMyDay", K::kLabel, "記念日", "", {38, 312, 50, 14}, false},
    ControlRow{"ButtonMyDay", K::kButton, "設定", "記念日の色を決めます", {92, 310, 48, 17}},
    ControlRow{"CheckBoxPlate",
               K::kCheckBox,
               "背景を敷いて読みやすくする",
               "カレンダーの下の絵を読みやすいだけ暗く（または明るく）して，どんな絵の上でも日付が読めるようにします",
               {16, 333, 300, 16}},
    ControlRow{"BitBtnOk", K::kButton, "OK", "設定を変更します", {270, 362, 75, 25}},
    ControlRow{"BitBtnCancel", K::kButton, "ｷｬﾝｾﾙ", "変更を止めて閉じます", {352, 362, 80, 25}},
};

struct Column {
  const char* title;
  int width;  // at 96 DPI
};
constexpr Column kColumns[] = {{"日付", 100}, {"種類", 60}, {"名前", 224}};

SYSTEMTIME LocalToday() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return now;
}

// The list's three columns for a record; a damaged one shows what is stored.
std::array<std::string, 3> RowTexts(const std::string& record) {
  const std::optional<OwnDay> day = ParseOwnDay(record);
  if (!day) return {"？", "", record};
  return {(day->EveryYear() ? "毎年 " : "") + OwnDayDateText(*day), DayMarkKindText(day->kind), day->name};
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::span<const ControlRow> OwnCalendarRows() { return kRows; }

bool TFormOwnCalendar::Create(HWND owner) {
  if (!CreateWindowOf(kClass, kExStyle, kStyle, 0, 0, 0, 0, owner, ToWide(kOwnCalendarCaption).c_str())) return false;
  const SIZE size =
      OuterSizeForDesignClient(kOwnCalendarClientWidth, kOwnCalendarClientHeight, kStyle, kExStyle, Dpi());
  PlaceCentred(size.cx, size.cy);
  fonts_ = UiFonts::Make(Dpi());
  hints_.Create(Handle());
  controls_.Create(Handle(), kRows, fonts_, hints_, kFirstId, Dpi());
  const HWND list = controls_["ListViewMyDays"];
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    std::wstring title = ToWide(kColumns[i].title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title.data();
    column.cx = Scale(kColumns[i].width);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(controls_["EditMyDayName"], EM_LIMITTEXT, 200, 0);
  return true;
}

void TFormOwnCalendar::SetColumns() {
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
    SendMessageW(controls_["ListViewMyDays"], LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), Scale(kColumns[i].width));
}

void TFormOwnCalendar::DpiChanged(const RECT& suggested) {
  // The controls get the new fonts before the old ones go at the end of the scope.
  UiFonts old = std::exchange(fonts_, UiFonts::Make(Dpi()));
  controls_.Rescale(Dpi(), fonts_);
  SetColumns();
  const SIZE size =
      OuterSizeForDesignClient(kOwnCalendarClientWidth, kOwnCalendarClientHeight, kStyle, kExStyle, Dpi());
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TFormOwnCalendar::Edit(OwnCalendarSettings& own, const OwnCalendarChoosers& choosers) {
  choosers_ = &choosers;
  answered_ = false;
  Show(own);
  const bool ok = ShowModal() == IDOK;
  choosers_ = nullptr;
  if (ok) own = edited_;
  return ok;
}

void TFormOwnCalendar::Show(const OwnCalendarSettings& own) {
  edited_ = own;
  FillList(-1);
  const SYSTEMTIME today = LocalToday();
  SendMessageW(controls_["DateTimePickerMyDay"], DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));
  controls_.SetChecked("CheckBoxEveryYear", false);
  EveryYearClick();
  controls_.SetComboIndex("ComboBoxMyDayKind", 0);
  controls_.SetText("EditMyDayName", "");
  controls_.SetText("EditIcsFile", own.icsFile);
  const std::optional<DayMarkKind> kind = ParseDayMarkKind(own.icsKind);
  controls_.SetComboIndex("ComboBoxIcsKind", kind == DayMarkKind::kHoliday ? 0 : 1);
  controls_.SetChecked("CheckBoxPlate", own.plate);
  InvalidateRect(controls_["ShapeMyDay"], nullptr, TRUE);
  ShowFileState();
}

void TFormOwnCalendar::FillList(int selected) {
  const HWND list = controls_["ListViewMyDays"];
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t row = 0; row < edited_.myDays.size(); ++row) {
    const std::array<std::string, 3> texts = RowTexts(edited_.myDays[row]);
    for (int column = 0; column < 3; ++column) {
      std::wstring text = ToWide(texts[static_cast<size_t>(column)]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = column;
      item.pszText = text.data();
      SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, column == 0 ? 0 : row,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  if (selected < 0 || selected >= static_cast<int>(edited_.myDays.size())) return;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
}

int TFormOwnCalendar::SelectedRow() const {
  return static_cast<int>(
      SendMessageW(controls_["ListViewMyDays"], LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TFormOwnCalendar::ShowRecord(int row) {
  if (row < 0 || row >= static_cast<int>(edited_.myDays.size())) return;
  const std::optional<OwnDay> day = ParseOwnDay(edited_.myDays[static_cast<size_t>(row)]);
  if (!day) return;
  // An every-year day shows in this year (a leap year for 29 February), its year hidden.
  SYSTEMTIME date = LocalToday();
  date.wYear = static_cast<WORD>(day->EveryYear() ? (day->month == 2 && day->day == 29 ? 2028 : date.wYear)
                                                  : day->year);
  date.wMonth = static_cast<WORD>(day->month);
  date.wDay = static_cast<WORD>(day->day);
  SendMessageW(controls_["DateTimePickerMyDay"], DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
  controls_.SetChecked("CheckBoxEveryYear", day->EveryYear());
  EveryYearClick();
  controls_.SetComboIndex("ComboBoxMyDayKind", day->kind == DayMarkKind::kHoliday ? 0 : 1);
  controls_.SetText("EditMyDayName", day->name);
}

std::string TFormOwnCalendar::EditedRecord() const {
  SYSTEMTIME date{};
  SendMessageW(controls_["DateTimePickerMyDay"], DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&date));
  OwnDay day;
  day.year = controls_.Checked("CheckBoxEveryYear") ? 0 : date.wYear;
  day.month = date.wMonth;
  day.day = date.wDay;
  day.kind = controls_.ComboIndex("ComboBoxMyDayKind") == 1 ? DayMarkKind::kAnniversary : DayMarkKind::kHoliday;
  day.name = controls_.Text("EditMyDayName");
  return OwnDayRecord(day);
}

void TFormOwnCalendar::EveryYearClick() {
  const bool everyYear = controls_.Checked("CheckBoxEveryYear");
  SendMessageW(controls_["DateTimePickerMyDay"], DTM_SETFORMATW, 0,
               reinterpret_cast<LPARAM>(everyYear ? L"MM'/'dd" : L"yyyy'/'MM'/'dd"));
}

void TFormOwnCalendar::ShowFileState() {
  const std::string path = controls_.Text("EditIcsFile");
  edited_.icsFile = path;
  if (path.empty()) {
    controls_.SetText("LabelIcsState", "");
    return;
  }
  const SYSTEMTIME now = LocalToday();
  const Date first{now.wYear, now.wMonth, 1};
  const IcsDays read = ReadCalendarFile(path, {first, {now.wYear, now.wMonth, DaysInMonth(now.wYear, now.wMonth)}});
  controls_.SetText("LabelIcsState", read.status == IcsStatus::kRead
                                         ? "読み込めます（予定 " + std::to_string(read.events) + " 件）"
                                         : std::string(kIcsUnreadable));
}

void TFormOwnCalendar::Command(const std::string& name, int code) {
  if (name == "EditIcsFile" && code == EN_KILLFOCUS) ShowFileState();
  if (code != BN_CLICKED && code != CBN_SELCHANGE) return;
  if (name == "CheckBoxEveryYear") EveryYearClick();
  if (name == "ComboBoxIcsKind")
    edited_.icsKind = controls_.ComboIndex(name) == 0 ? kHolidayKindText : kAnniversaryKindText;
  if (name == "CheckBoxPlate") edited_.plate = controls_.Checked(name);
  if (name == "ButtonMyDayAdd") {
    edited_.myDays.push_back(EditedRecord());
    FillList(static_cast<int>(edited_.myDays.size()) - 1);
  }
  const int selected = SelectedRow();
  if (name == "ButtonMyDayChange" && selected >= 0) {
    edited_.myDays[static_cast<size_t>(selected)] = EditedRecord();
    FillList(selected);
  }
  if (name == "ButtonMyDayDelete" && selected >= 0) {
    edited_.myDays.erase(edited_.myDays.begin() + selected);
    FillList(std::min(selected, static_cast<int>(edited_.myDays.size()) - 1));
  }
  if (name == "ButtonIcsFile" && choosers_ && choosers_->calendarFile) {
    if (const auto chosen = choosers_->calendarFile(Handle(), FolderOf(controls_.Text("EditIcsFile")))) {
      controls_.SetText("EditIcsFile", *chosen);
      ShowFileState();
    }
  }
  if (name == "ButtonMyDay" && choosers_ && choosers_->colour) {
    if (const auto chosen = choosers_->colour(Handle(), edited_.colorMyDay)) {
      edited_.colorMyDay = *chosen & 0xFFFFFF;
      InvalidateRect(controls_["ShapeMyDay"], nullptr, TRUE);
    }
  }
  if (name == "BitBtnOk") {
    ShowFileState();  // a path typed and not left counts too
    answered_ = true;
    EndModal(IDOK);
  }
  if (name == "BitBtnCancel") {
    answered_ = true;
    EndModal(IDCANCEL);
  }
}

LRESULT TFormOwnCalendar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        Command("BitBtnOk", BN_CLICKED);
      } else if (LOWORD(wParam) == IDCANCEL) {
        Command("BitBtnCancel", BN_CLICKED);
      } else {
        Command(controls_.NameOfId(LOWORD(wParam)), HIWORD(wParam));
      }
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == controls_["ListViewMyDays"] && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED)) ShowRecord(change->iItem);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == controls_["ShapeMyDay"]) {
        swatch_.Reset(CreateSolidBrush(edited_.colorMyDay & 0xFFFFFF));
        return reinterpret_cast<LRESULT>(swatch_.Get());
      }
      break;
    case WM_CLOSE:
      if (InModalLoop() && !answered_) EndModal(IDCANCEL);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorel
