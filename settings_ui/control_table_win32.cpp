#include "settings_ui/control_table_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "platform/dpi_win32.h"
#include "platform/strings.h"

namespace vorel {
namespace {

UniqueFont MakeFont(int pixels, int weight, bool italic, int dpi) {
  return UniqueFont(CreateFontW(-ScaleForDpi(pixels, dpi), 0, 0, 0, weight, italic, FALSE, FALSE, SHIFTJIS_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                L"ＭＳ Ｐゴシック"));
}

// The height of a drop-down list with its list opened.
constexpr int kComboDroppedHeight = 260;

struct ClassAndStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle = 0;
};

ClassAndStyle StyleOf(const ControlRow& row) {
  switch (row.kind) {
    case ControlKind::kLabel:
    case ControlKind::kHeading:
      return {L"STATIC", SS_LEFT | SS_NOTIFY};
    case ControlKind::kCheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX};
    case ControlKind::kButton:
    case ControlKind::kFontButton:
    case ControlKind::kArrow:
      return {L"BUTTON", BS_PUSHBUTTON};
    case ControlKind::kEdit:
      return {L"EDIT", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kNumeric:
      // One line scrolling sideways: a right-aligned multi-line edit always wraps and then
      // refuses what does not fit its width, so a calendar field took three digits of its
      // four. Enter still reaches the field: it claims the key (NumericField).
      return {L"EDIT", ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kGroupBox:
    case ControlKind::kRadioGroup:
      return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::kComboList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL};
    case ControlKind::kListBox:
      return {L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    case ControlKind::kFlatList:
      return {L"LISTBOX", LBS_NOSEL | WS_VSCROLL | LBS_NOINTEGRALHEIGHT};
    case ControlKind::kImage:
      return {L"STATIC", SS_BITMAP | SS_NOTIFY | SS_REALSIZECONTROL};
    case ControlKind::kIconButton:
      return {L"BUTTON", BS_PUSHBUTTON | BS_ICON};
    case ControlKind::kSortedList:
      return {L"LISTBOX", LBS_NOTIFY | LBS_SORT | LBS_EXTENDEDSEL | WS_VSCROLL | LBS_NOINTEGRALHEIGHT,
              WS_EX_CLIENTEDGE};
    case ControlKind::kPreview:
      return {L"STATIC", SS_OWNERDRAW | SS_NOTIFY};
    case ControlKind::kSwatch:
      return {L"STATIC", SS_NOTIFY | WS_BORDER};
    case ControlKind::kHotKey:
      return {HOTKEY_CLASSW, 0, WS_EX_CLIENTEDGE};
    case ControlKind::kReportList:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, WS_EX_CLIENTEDGE};
    case ControlKind::kDatePicker:
      return {DATETIMEPICK_CLASSW, DTS_SHORTDATEFORMAT};
  }
  return {L"STATIC", 0};
}

}  // namespace

UiFonts UiFonts::Make(int dpi) {
  UiFonts fonts;
  fonts.text = MakeFont(12, FW_NORMAL, false, dpi);
  fonts.numeric = MakeFont(19, FW_NORMAL, false, dpi);
  fonts.heading = MakeFont(19, FW_BOLD, true, dpi);
  fonts.bold = MakeFont(12, FW_BOLD, false, dpi);
  return fonts;
}

std::vector<std::string> SplitItems(const char* items) {
  std::vector<std::string> out;
  std::string current;
  for (const char* p = items; p && *p; ++p) {
    if (*p == '\n') {
      out.push_back(current);
      current.clear();
    } else {
      current += *p;
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return ToUtf8(text);
}

void ControlSet::Create(HWND parent, std::span<const ControlRow> rows, const UiFonts& fonts, ToolTips& hints,
                        int firstId, int dpi) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  dpi_ = dpi;
  int id = firstId;
  for (const ControlRow& row : rows) {
    const ClassAndStyle cs = StyleOf(row);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | cs.style;
    if (row.tabStop) style |= WS_TABSTOP;
    Entry entry;
    entry.row = row;
    entry.id = id++;
    // Placed below, once the radio buttons exist too.
    entry.hwnd = CreateWindowExW(cs.exStyle, cs.className, ToWide(row.caption).c_str(), style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), instance, nullptr);
    if (!entry.hwnd) throw std::runtime_error(std::string("コントロールを作れません: ") + row.name);
    hints.Set(entry.hwnd, row.hint);
    if (row.kind == ControlKind::kComboList) {
      for (const std::string& item : SplitItems(row.items))
        SendMessageW(entry.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    }
    if (row.kind == ControlKind::kRadioGroup) {
      const std::vector<std::string> items = SplitItems(row.items);
      bool first = true;
      for (const std::string& item : items) {
        const int radioId = id++;
        DWORD radioStyle = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
        if (first) radioStyle |= WS_GROUP | WS_TABSTOP;
        first = false;
        HWND radio = CreateWindowExW(0, L"BUTTON", ToWide(item).c_str(), radioStyle, 0, 0, 10, 10, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(radioId)), instance, nullptr);
        hints.Set(radio, row.hint);
        entry.radios.push_back(radio);
        entry.radioIds.push_back(radioId);
        names_[radioId] = row.name;
      }
    }
    names_[entry.id] = row.name;
    const std::string name = row.name;
    order_.push_back(name);
    entries_[name] = std::move(entry);
  }
  Rescale(dpi, fonts);
}

void ControlSet::SetFont(const Entry& entry, const UiFonts& fonts) const {
  HFONT font = fonts.text.Get();
  if (entry.row.kind == ControlKind::kNumeric) font = fonts.numeric.Get();
  if (entry.row.kind == ControlKind::kHeading) font = fonts.heading.Get();
  SendMessageW(entry.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  for (const HWND radio : entry.radios)
    SendMessageW(radio, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.text.Get()), TRUE);
}

void ControlSet::Rescale(int dpi, const UiFonts& fonts) {
  dpi_ = dpi;
  for (const auto& [name, entry] : entries_) {
    SetFont(entry, fonts);
    const RECT r = ScaledRect(name);
    Place(name, r.left, r.top, r.right, r.bottom);
    if (entry.row.kind == ControlKind::kComboList) WidenDroppedList(entry.hwnd, fonts.text.Get());
  }
}

void ControlSet::WidenDroppedList(HWND combo, HFONT font) const {
  // The closed list shows what its design width holds; the opened one shows every item whole.
  const WindowDc dc(combo);
  const SelectionRestorer chosen(dc.Get(), font);
  int widest = 0;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXTLEN, i, 0))) + 1, L'\0');
    text.resize(static_cast<size_t>(
        std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())))));
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    widest = std::max<int>(widest, extent.cx);
  }
  const int width = widest + Scale(8) + MetricForDpi(SM_CXVSCROLL, dpi_);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

std::vector<std::string> ControlSet::Names() const { return order_; }

HWND ControlSet::operator[](const std::string& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second.hwnd;
}

std::string ControlSet::NameOfId(int id) const {
  const auto it = names_.find(id);
  return it == names_.end() ? std::string() : it->second;
}

const std::vector<HWND>& ControlSet::Radios(const std::string& group) const {
  static const std::vector<HWND> kNone;
  const auto it = entries_.find(group);
  return it == entries_.end() ? kNone : it->second.radios;
}

int ControlSet::RadioOfId(int id) const {
  const auto it = entries_.find(NameOfId(id));
  if (it == entries_.end()) return -1;
  const auto& ids = it->second.radioIds;
  for (size_t i = 0; i < ids.size(); ++i)
    if (ids[i] == id) return static_cast<int>(i);
  return -1;
}

int ControlSet::RadioIndex(const std::string& group) const {
  const auto& radios = Radios(group);
  for (size_t i = 0; i < radios.size(); ++i)
    if (SendMessageW(radios[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
  return -1;
}

void ControlSet::SetRadioIndex(const std::string& group, int index) const {
  const auto& radios = Radios(group);
  for (size_t i = 0; i < radios.size(); ++i)
    SendMessageW(radios[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ControlSet::SetRadioTexts(const std::string& group, const std::vector<std::string>& texts) const {
  const auto& radios = Radios(group);
  for (size_t i = 0; i < radios.size() && i < texts.size(); ++i) SetWindowTextW(radios[i], ToWide(texts[i]).c_str());
}

RECT ControlSet::DesignRect(const std::string& name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? RECT{} : it->second.row.rect;
}

RECT ControlSet::ScaledRect(const std::string& name) const { return ScaleDesignRect(DesignRect(name), dpi_); }

void ControlSet::Place(const std::string& name, int left, int top, int width, int height) const {
  const auto it = entries_.find(name);
  if (it == entries_.end()) return;
  const Entry& entry = it->second;
  const bool combo = entry.row.kind == ControlKind::kComboList;
  MoveWindow(entry.hwnd, left, top, width, combo ? Scale(kComboDroppedHeight) : height, TRUE);
  if (entry.radios.empty()) return;
  // Items fill the columns one after the other, top to bottom, below the group's caption.
  const int count = static_cast<int>(entry.radios.size());
  const int columns = std::max(1, entry.row.columns);
  const int perColumn = (count + columns - 1) / columns;
  const int innerTop = top + Scale(15);
  const int rowHeight = std::max(Scale(14), (height - Scale(19)) / perColumn);
  const int columnWidth = (width - Scale(12)) / columns;
  for (int i = 0; i < count; ++i) {
    const int column = i / perColumn;
    const int line = i % perColumn;
    MoveWindow(entry.radios[static_cast<size_t>(i)], left + Scale(8) + column * columnWidth,
               innerTop + line * rowHeight, columnWidth - Scale(2), std::min(rowHeight, Scale(16)), TRUE);
  }
}

bool ControlSet::Checked(const std::string& name) const {
  return SendMessageW((*this)[name], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ControlSet::SetChecked(const std::string& name, bool on) const {
  SendMessageW((*this)[name], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string ControlSet::Text(const std::string& name) const { return WindowText((*this)[name]); }

void ControlSet::SetText(const std::string& name, const std::string& text) const {
  SetWindowTextW((*this)[name], ToWide(text).c_str());
}

int ControlSet::ComboIndex(const std::string& name) const {
  return static_cast<int>(SendMessageW((*this)[name], CB_GETCURSEL, 0, 0));
}

void ControlSet::SetComboIndex(const std::string& name, int index) const {
  SendMessageW((*this)[name], CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace vorel
