// The page "カレンダー": every option of the calendar drawn onto the wallpaper. Each control
// writes straight into the settings model, from which every change run builds its calendar.
#include <algorithm>
#include <array>

#include "platform/dpi_win32.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/table_page_win32.h"

namespace vorel {
namespace {

using K = ControlKind;

constexpr const char* kYearItems =
    "何も表示しない\n1998,1999,･･･\n'98,'99,･･･\n98,99,･･･\n1998年,1999年,･･･\n98年,99年,･･･\n"
    "平成10年,平成11年,･･･\nH10,H11,･･･\nH10年,H11年,･･･\n1998(H10),1999(H11),･･･\n'98(H10),'99(H11),･･･\n"
    "98(H10),99(H11),･･･\n1998年(H10),1999年(H11),･･･\n98年(H10),99年(H11),･･･\n1998(平成10),1999(平成11),･･･\n"
    "'98(平成10),'99(平成11),･･･\n98(平成10),99(平成11),･･･\n1998年(平成10),1999年(平成11),･･･\n"
    "98年(平成10),99年(平成11),･･･\n1998(平成10年),1999(平成11年),･･･\n'98(平成10年),'99(平成11年),･･･\n"
    "98(平成10年),99(平成11年),･･･\n1998(H10年),1999(H11年),･･･\n'98(H10年),'99(H11年),･･･\n98(H10年),99(H11年),･･･";
constexpr const char* kMonthItems =
    "何も表示しない\n1, 2, 3, ・・・\nJanuary, February, March, ・・・\nJan, Feb, Mar, ・・・\n睦月, 如月,・・・\n"
    "壱月,弐月,参月,・・・\n1月, 2月, 3月, ・・・";
constexpr const char* kWeekItems = "何も表示しない\nS M ・・・\nSu Mo ・・・\nSun Mon ・・・\n日 月 ・・・";
constexpr const char* kDayItems =
    "何もしない\n色を変える\n背景を四角で塗りつぶす\n背景を円で塗りつぶす\n背景を丸で書く\n背景を角丸四角で塗りつぶす";
#define VOREL_BOX_LENGTHS "今月だけ\n今月，来月\n今月，来月，再来月\n先月，今月，来月"
constexpr const char* kLengthItems = VOREL_BOX_LENGTHS;
constexpr const char* kLengthLineItems = VOREL_BOX_LENGTHS
    "\n今日から１ヶ月\n今日から2ヶ月\n今日から3ヶ月\n今週から１ヶ月\n今週から2ヶ月\n今週から3ヶ月\n先週から１ヶ月\n"
    "先週から2ヶ月\n先週から3ヶ月\n先先週から１ヶ月\n先先週から2ヶ月\n先先週から3ヶ月\n半月ごと１ヶ月\n半月ごと2ヶ月\n"
    "半月ごと3ヶ月";
#undef VOREL_BOX_LENGTHS

constexpr const char* kBoxPlaces = "左上\n左下\n右上\n右下";
constexpr const char* kBarPlaces = "上\n左\n右\n下";

#define VOREL_FIELD(label, labelText, base, hint, x, y)                                             \
  ControlRow{label, K::kLabel, labelText, hint, {x, y + 5, 96, 14}, false},                         \
      ControlRow{"Memo" base, K::kNumeric, "0", hint, {x + 96, y, 46, 24}},                         \
      ControlRow{"Button" base "Up", K::kArrow, "▲", "", {x + 142, y, 14, 12}, false}, ControlRow { \
    "Button" base "Down", K::kArrow, "▼", "", {x + 142, y + 12, 14, 12}, false                      \
  }

#define VOREL_COLOUR(button, hint, shape, label, y)                                              \
  ControlRow{shape, K::kSwatch, "", "", {334, y + 1, 15, 15}, false},                            \
      ControlRow{"Label" shape, K::kLabel, label, "", {356, y + 2, 40, 14}, false}, ControlRow { \
    button, K::kButton, "設定", hint, { 410, y, 48, 17 }                                         \
  }

const std::array kRows{
    ControlRow{
        "CheckBoxCalender", K::kCheckBox, "カレンダーを表示する", "壁紙にカレンダーを書き込みます", {6, 2, 150, 16}},
    ControlRow{"RadioGroupForm",
               K::kRadioGroup,
               "カレンダーの形",
               "四角いものか一列に並んだものかを選びます",
               {4, 20, 152, 36},
               true,
               "箱型\n棒型",
               2},
    ControlRow{"RadioGroupTraOrLon",
               K::kRadioGroup,
               "各月の並び方",
               "幅広いカレンダーにするか，細長いカレンダーにするか決めます",
               {4, 58, 152, 36},
               true,
               "縦\n横",
               2},
    ControlRow{"RadioGroupPlace",
               K::kRadioGroup,
               "カレンダーの位置",
               "カレンダーの基本位置を決めます",
               {4, 96, 152, 50},
               true,
               kBoxPlaces,
               2},
    ControlRow{"GroupBoxFont", K::kGroupBox, "フォント", "", {4, 148, 152, 104}, false},
    ControlRow{"ButtonFontY", K::kFontButton, "Year/Month", "年月を表示する時のフォントを決めます", {12, 163, 136, 28}},
    ControlRow{"ButtonFontW", K::kFontButton, "Week", "曜日を表示する時のフォントを決めます", {12, 192, 136, 28}},
    ControlRow{"ButtonFontD", K::kFontButton, "Day", "日付を表示する時のフォントを決めます", {12, 221, 136, 28}},
    ControlRow{"Label19", K::kLabel, "表示する形式", "", {162, 3, 84, 14}, false},
    // Beside the heading, where the page has room: today's holiday law and eras instead of
    // the fixed table and Heisei for every year.
    ControlRow{"CheckBoxCurrentLaw",
               K::kCheckBox,
               "現行の暦",
               "祝日を現行の祝日法（振替休日・国民の休日を含む）で、元号を令和・平成・昭和で表示します",
               {250, 2, 70, 16}},
    ControlRow{"Label3", K::kLabel, "年", "", {162, 22, 30, 14}, false},
    ControlRow{"ComboBoxYear", K::kComboList, "", "年の表示方法を決めます", {194, 18, 126, 20}, true, kYearItems},
    ControlRow{"Label10", K::kLabel, "月", "", {162, 44, 30, 14}, false},
    ControlRow{"ComboBoxMonth", K::kComboList, "", "月の表示方法を決めます", {194, 40, 126, 20}, true, kMonthItems},
    ControlRow{"Label16", K::kLabel, "曜日", "", {162, 66, 30, 14}, false},
    ControlRow{"ComboBoxWeek", K::kComboList, "", "曜日の書き方を決めます", {194, 62, 126, 20}, true, kWeekItems},
    ControlRow{"Label17", K::kLabel, "今日", "", {162, 88, 30, 14}, false},
    ControlRow{"ComboBoxDay",
               K::kComboList,
               "",
               "今日の日付を目立つように特別に描きます",
               {194, 84, 126, 20},
               true,
               kDayItems},
    ControlRow{"Label18", K::kLabel, "月数", "", {162, 110, 30, 14}, false},
    ControlRow{"ComboBoxLength",
               K::kComboList,
               "",
               "何ヶ月分カレンダーを描くか決めます",
               {194, 106, 126, 20},
               true,
               kLengthItems},
    ControlRow{"ComboBoxLengthLine",
               K::kComboList,
               "",
               "何ヶ月分カレンダーを描くか決めます",
               {194, 106, 126, 20},
               true,
               kLengthLineItems},
    VOREL_FIELD("LabelYearStart", "年月の左端", "YearStart", "年をどのくらい右にずらして描くか決めます", 162, 130),
    VOREL_FIELD("LabelYW", "年月と曜日の間隔", "YW", "年の表示と曜日の表示の間の間隔を決めます", 162, 155),
    VOREL_FIELD("LabelWD", "曜日と日付の間隔", "WD", "曜日の表示と日にちの表示の間の間隔を決めます", 162, 180),
    VOREL_FIELD("Label9", "日付の横幅", "DayWidth", "日にちの左と右の文字の間を決めます", 162, 205),
    VOREL_FIELD("Label14", "日付の縦幅", "DayHeight", "日にちの上と下の文字の間を決めます", 162, 230),
    ControlRow{"GroupBoxColor", K::kGroupBox, "色", "", {326, 0, 156, 152}, false},
    VOREL_COLOUR("ButtonYear", "年や月の色を決めます", "ShapeYear", "年月", 14),
    VOREL_COLOUR("ButtonNormal", "普通の日の色を決めます", "ShapeNormal", "平日", 31),
    VOREL_COLOUR("ButtonSat", "土曜日の色を決めます", "ShapeSat", "土曜", 48),
    VOREL_COLOUR("ButtonSun", "祝祭日の色を決めます", "ShapeSun", "日曜", 65),
    VOREL_COLOUR("ButtonFest", "祝祭日の色を決めます", "ShapeFest", "祭日", 82),
    VOREL_COLOUR("ButtonToday", "今日の色を決めます", "ShapeToday", "今日", 99),
    VOREL_COLOUR("ButtonShadow", "影の色を決めます", "ShapeShadow", "影", 116),
    ControlRow{"CheckBoxShadow", K::kCheckBox, "影をつける", "カレンダーの下に影を描くか決めます", {334, 134, 120, 15}},
    VOREL_FIELD("LabelSpace", "各月の間隔", "Space", "月と月の間の間隔を設定します", 326, 155),
    VOREL_FIELD("LabelTop", "下端からの距離", "Top", "基本位置からのずれを決めます", 326, 180),
    VOREL_FIELD("LabelLeft", "右端からの距離", "Left", "基本位置からのずれを決めます", 326, 205),
    VOREL_FIELD("Label15", "影のずれ", "Shadow", "影を上の字からどのくらい右下に書くか決めます", 326, 230),
    ControlRow{"CheckBoxStuff",
               K::kCheckBox,
               "第6週までなかったら詰める",
               "カレンダーの各月の間隔を一定にするのではなくて，週の数が少なかったら適当に調整します",
               {0, 0, 0, 0},
               false},
};
#undef VOREL_FIELD
#undef VOREL_COLOUR

struct ColourRow {
  const char* button;
  const char* shape;
  uint32_t Settings::*member;
};
constexpr std::array kColours{
    ColourRow{"ButtonYear", "ShapeYear", &Settings::colorYear},
    ColourRow{"ButtonNormal", "ShapeNormal", &Settings::colorNormal},
    ColourRow{"ButtonSat", "ShapeSat", &Settings::colorSat},
    ColourRow{"ButtonSun", "ShapeSun", &Settings::colorSun},
    ColourRow{"ButtonFest", "ShapeFest", &Settings::colorFest},
    ColourRow{"ButtonToday", "ShapeToday", &Settings::colorToday},
    ColourRow{"ButtonShadow", "ShapeShadow", &Settings::colorShadow},
};

struct FieldRow {
  const char* base;
  int32_t Settings::*member;
  int typedLength;
};
constexpr std::array kFields{
    FieldRow{"YearStart", &Settings::calenYearStart, 4},
    FieldRow{"YW", &Settings::calenYW, 4},
    FieldRow{"WD", &Settings::calenWD, 4},
    FieldRow{"DayWidth", &Settings::calenDayWidth, 4},
    FieldRow{"DayHeight", &Settings::calenDayHeight, 4},
    FieldRow{"Shadow", &Settings::calenShadow, 4},
    FieldRow{"Space", &Settings::calenSpace, 4},
    FieldRow{"Top", &Settings::calenDistY, 6},
    FieldRow{"Left", &Settings::calenDistX, 6},
};
constexpr FieldRange kCalendarRange{-9999, 9999};

struct FontRow {
  const char* button;
  int index;
};
constexpr std::array kFonts{FontRow{"ButtonFontY", kFontYear}, FontRow{"ButtonFontW", kFontWeek},
                            FontRow{"ButtonFontD", kFontDay}};

class CalendarPage final : public TablePage {
 public:
  std::span<const ControlRow> Rows() const override { return kRows; }

  void ShowModel() override {
    const Settings& s = form_->Model();
    controls_.SetChecked("CheckBoxCalender", s.calender);
    controls_.SetChecked("CheckBoxShadow", s.calenShadowOn);
    controls_.SetChecked("CheckBoxStuff", s.calenStuff);
    controls_.SetChecked("CheckBoxCurrentLaw", s.calenCurrentLaw);
    for (const FieldRow& f : kFields) Field(f.base).Show(s.*f.member);
    controls_.SetRadioIndex("RadioGroupForm", s.calenForm);
    controls_.SetRadioIndex("RadioGroupTraOrLon", s.calenTraOrLon);
    controls_.SetRadioIndex("RadioGroupPlace", s.calenPlace);
    controls_.SetComboIndex("ComboBoxYear", s.calenYear);
    controls_.SetComboIndex("ComboBoxMonth", s.calenMonth);
    controls_.SetComboIndex("ComboBoxWeek", s.calenWeek);
    controls_.SetComboIndex("ComboBoxDay", s.calenDay);
    const bool box = s.calenForm == 0;
    controls_.SetComboIndex("ComboBoxLength", box ? s.calenLength : -1);
    controls_.SetComboIndex("ComboBoxLengthLine", s.calenLength);
    for (const FontRow& f : kFonts) ShowFont(f);
    FormRule(false);
    InvalidateRect(Handle(), nullptr, TRUE);
  }

 protected:
  void ControlsCreated() override {
    Settings* s = &form_->Model();
    for (const FieldRow& f : kFields) {
      int32_t Settings::*member = f.member;
      AddField(
          f.base, [] { return kCalendarRange; }, 1, [s, member](int32_t v) { s->*member = v; }, f.typedLength);
    }
    ShowWindow(controls_["CheckBoxStuff"], SW_HIDE);
    ShowWindow(controls_["ComboBoxLengthLine"], SW_HIDE);
  }

  void FontsGiven() override {
    for (const char* group : {"GroupBoxFont", "GroupBoxColor"})
      SendMessageW(controls_[group], WM_SETFONT, reinterpret_cast<WPARAM>(form_->Fonts().bold.Get()), TRUE);
    for (const FontRow& f : kFonts) ShowFont(f);
  }

  void Command(const std::string& name, int code, int radio) override {
    Settings& s = form_->Model();
    if (code == CBN_SELCHANGE) {
      const int index = controls_.ComboIndex(name);
      if (index < 0) return;
      if (name == "ComboBoxYear") s.calenYear = index;
      if (name == "ComboBoxMonth") s.calenMonth = index;
      if (name == "ComboBoxWeek") s.calenWeek = index;
      if (name == "ComboBoxDay") s.calenDay = index;
      if (name == "ComboBoxLength" || name == "ComboBoxLengthLine") s.calenLength = index;
      return;
    }
    if (code != BN_CLICKED) return;
    if (name == "CheckBoxCalender") s.calender = controls_.Checked(name);
    if (name == "CheckBoxShadow") s.calenShadowOn = controls_.Checked(name);
    if (name == "CheckBoxCurrentLaw") s.calenCurrentLaw = controls_.Checked(name);
    if (name == "RadioGroupForm" && radio >= 0) {
      s.calenForm = radio;
      FormRule(true);
    }
    if (name == "RadioGroupTraOrLon" && radio >= 0) s.calenTraOrLon = radio;
    if (name == "RadioGroupPlace" && radio >= 0) PlaceRule();
    for (const ColourRow& c : kColours)
      if (name == c.button) ChooseColour(c);
    for (const FontRow& f : kFonts)
      if (name == f.button) ChooseFont(f);
  }

  HBRUSH StaticBrush(HWND control) override {
    for (size_t i = 0; i < kColours.size(); ++i) {
      if (controls_[kColours[i].shape] != control) continue;
      const uint32_t colour = form_->Model().*kColours[i].member;
      brushes_[i].Reset(CreateSolidBrush(colour));
      return brushes_[i].Get();
    }
    return nullptr;
  }

 private:
  // The form decides the place items, the weekday controls and which length list shows.
  void FormRule(bool clicked) {
    Settings& s = form_->Model();
    const bool box = s.calenForm == 0;
    const int place = controls_.RadioIndex("RadioGroupPlace");
    controls_.SetRadioTexts("RadioGroupPlace", SplitItems(box ? kBoxPlaces : kBarPlaces));
    controls_.SetRadioIndex("RadioGroupPlace", place);
    controls_.SetText("LabelYW", box ? "年月と曜日の間隔" : "年月と日付の間隔");
    for (const char* name : {"LabelWD", "MemoWD", "ButtonWDUp", "ButtonWDDown", "ComboBoxWeek"})
      EnableWindow(controls_[name], box);
    ShowWindow(controls_["ComboBoxLength"], box ? SW_SHOW : SW_HIDE);
    ShowWindow(controls_["ComboBoxLengthLine"], box ? SW_HIDE : SW_SHOW);
    if (clicked) {
      const int length = controls_.ComboIndex(box ? "ComboBoxLength" : "ComboBoxLengthLine");
      // A bar length beyond the box list leaves no selection there; the run then finds the
      // length it had, not an index the box form cannot draw.
      if (length >= 0)
        s.calenLength = length;
      else if (box && s.calenLength > 3) {
        s.calenLength = 0;
        controls_.SetComboIndex("ComboBoxLength", 0);
      }
    }
    PlaceRule();
  }

  void PlaceRule() {
    Settings& s = form_->Model();
    const int p = controls_.RadioIndex("RadioGroupPlace");
    if (p >= 0) s.calenPlace = p;
    std::string yearStart = "年月の左端";
    std::string top;
    std::string left;
    if (s.calenForm != 0) {
      if (p == 1 || p == 2) yearStart = "年月の上端";
      top = p == 3 ? "下端からの距離" : "上端からの距離";
      left = p == 2 ? "右端からの距離" : "左端からの距離";
    } else {
      top = (p == 1 || p == 3) ? "下端からの距離" : "上端からの距離";
      left = (p == 2 || p == 3) ? "右端からの距離" : "左端からの距離";
    }
    controls_.SetText("LabelYearStart", yearStart);
    controls_.SetText("LabelTop", top);
    controls_.SetText("LabelLeft", left);
  }

  void ChooseColour(const ColourRow& row) {
    Settings& s = form_->Model();
    const auto chosen = form_->Dialogs().colour(Handle(), s.*row.member);
    if (!chosen) return;
    s.*row.member = *chosen & 0xFFFFFF;
    InvalidateRect(controls_[row.shape], nullptr, TRUE);
  }

  void ChooseFont(const FontRow& row) {
    Settings& s = form_->Model();
    CalendarFont& font = s.fonts[static_cast<size_t>(row.index)];
    // The font dialog speaks in the screen's pixels (the system DPI, as GDI measures them).
    const int screenDpi = SystemDpi();
    const auto chosen = form_->Dialogs().font(Handle(), LogFontOf(font, screenDpi));
    if (!chosen) return;
    font = CalendarFontOf(*chosen, screenDpi);
    ShowFont(row);
    // DayHeight is a 96-DPI value, drawn times the screen's DPI ÷ 96 like the font itself: the
    // font's character height is compared in the same units.
    if (row.index == kFontDay && chosen->lfHeight < 0) {
      const int32_t charHeight = DesignForDpi(-chosen->lfHeight, screenDpi);
      if (charHeight > s.calenDayHeight) {
        controls_.SetText("MemoDayHeight", std::to_string(charHeight));
        Field("DayHeight").Apply();
      }
    }
  }

  void ShowFont(const FontRow& row) {
    LOGFONTW logFont = LogFontOf(form_->Model().fonts[static_cast<size_t>(row.index)], Dpi());
    // The button shows the face and the style; a size taller than the button is shown at
    // the button's height so that its caption stays readable.
    RECT box{};
    GetClientRect(controls_[row.button], &box);
    const LONG tallest = std::max<LONG>(Scale(8), box.bottom - box.top - Scale(8));
    if (logFont.lfHeight < -tallest || logFont.lfHeight > tallest) logFont.lfHeight = -tallest;
    fontHandles_[static_cast<size_t>(row.index)].Reset(CreateFontIndirectW(&logFont));
    SendMessageW(controls_[row.button], WM_SETFONT,
                 reinterpret_cast<WPARAM>(fontHandles_[static_cast<size_t>(row.index)].Get()), TRUE);
  }

  std::array<UniqueBrush, kColours.size()> brushes_;
  std::array<UniqueFont, 3> fontHandles_;
};

}  // namespace

LOGFONTW LogFontOf(const CalendarFont& font, int dpi) {
  LOGFONTW f{};
  f.lfHeight = -MulDiv(font.size, dpi, 72);
  f.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  f.lfItalic = font.italic;
  f.lfUnderline = font.underline;
  f.lfStrikeOut = font.strikeOut;
  f.lfCharSet = static_cast<BYTE>(font.charset);
  const std::wstring face = ToWide(font.name).substr(0, LF_FACESIZE - 1);
  face.copy(f.lfFaceName, face.size());
  return f;
}

CalendarFont CalendarFontOf(const LOGFONTW& f, int dpi) {
  CalendarFont font;
  font.name = ToUtf8(f.lfFaceName);
  font.charset = f.lfCharSet;
  font.size = MulDiv(f.lfHeight < 0 ? -f.lfHeight : f.lfHeight, 72, dpi);
  font.bold = f.lfWeight >= FW_BOLD;
  font.italic = f.lfItalic != 0;
  font.underline = f.lfUnderline != 0;
  font.strikeOut = f.lfStrikeOut != 0;
  return font;
}

std::span<const ControlRow> CalendarPageRows() { return kRows; }
std::unique_ptr<SettingsPage> MakeCalendarPage() { return std::make_unique<CalendarPage>(); }

}  // namespace vorel
