// Controls as data: every page of the settings window, its bottom bar and the picker are
// built from tables of rows. The same rows feed the tool tips and the caption-and-hint test.
// The rows keep their 96-DPI design places; the set places and sizes the controls for the
// DPI of the window it is made for, and again when that DPI changes.
#pragma once

#include <windows.h>

#include <map>
#include <span>
#include <string>
#include <vector>

#include "engine/display_scale.h"
#include "platform/tool_tip_win32.h"
#include "platform/unique_handle.h"

namespace vorel {

enum class ControlKind {
  kLabel,
  kHeading,  // bold italic 19-pixel label
  kCheckBox,
  kButton,  // push button
  kArrow,   // ▲/▼ button of a numeric field, outside the tab order
  kEdit,
  kNumeric,  // edit used as a number field, 19 pixels, right-aligned
  kGroupBox,
  kRadioGroup,  // a group box with its radio buttons, items separated by '\n'
  kComboList,   // drop-down list, items separated by '\n'
  kListBox,
  kFlatList,    // list box without border in the button-face colour
  kSwatch,      // colour sample
  kFontButton,  // button drawn in the font it stands for
  kImage,       // bitmap stretched to its bounds
  kIconButton,  // button showing a small icon
  kSortedList,  // list box keeping its names sorted, several selectable
  kPreview,     // area the owner paints
  kHotKey,      // hot-key field: shows and takes a key combination
  kReportList,  // list view of rows and columns, one row selectable; columns set by the owner
  kDatePicker,  // date field with a drop-down month calendar
};

struct ControlRow {
  const char* name;
  ControlKind kind;
  const char* caption;
  const char* hint;
  RECT rect;  // design place in the page's client area at 96 DPI: left, top, width, height
  bool tabStop = true;
  const char* items = "";  // radio groups and lists
  int columns = 1;         // radio groups
};

// The fonts of the settings window and the picker, at a DPI (sizes at 96 DPI).
struct UiFonts {
  UniqueFont text;     // "ＭＳ Ｐゴシック" 12 px
  UniqueFont numeric;  // same face, 19 px
  UniqueFont heading;  // bold italic 19 px
  UniqueFont bold;     // 12 px bold, group captions
  static UiFonts Make(int dpi);
};

// The controls of one table as created: by name, and the radio buttons of each group.
class ControlSet {
 public:
  // Creates the rows' controls as children of parent with command ids from firstId on, placed
  // and given their fonts for dpi.
  void Create(HWND parent, std::span<const ControlRow> rows, const UiFonts& fonts, ToolTips& hints, int firstId,
              int dpi);
  // Every control back at its design place and in its font for a new DPI.
  void Rescale(int dpi, const UiFonts& fonts);
  int Dpi() const { return dpi_; }
  // A 96-DPI design value at the set's DPI.
  int Scale(int designValue) const { return ScaleForDpi(designValue, dpi_); }
  HWND operator[](const std::string& name) const;
  // The name of the control that sent a command, or of the group whose radio button did.
  std::string NameOfId(int id) const;
  // Radio groups: selected index (-1 none), selection, and replacing the item texts.
  int RadioIndex(const std::string& group) const;
  void SetRadioIndex(const std::string& group, int index) const;
  void SetRadioTexts(const std::string& group, const std::vector<std::string>& texts) const;
  const std::vector<HWND>& Radios(const std::string& group) const;
  int RadioOfId(int id) const;  // index of the button within its group, -1 when none
  // Moves and sizes a control, in pixels of the set's DPI (and keeps its radio buttons where
  // they belong).
  void Place(const std::string& name, int left, int top, int width, int height) const;
  // The row's design place at 96 DPI, and the same at the set's DPI (left, top, width, height).
  RECT DesignRect(const std::string& name) const;
  RECT ScaledRect(const std::string& name) const;
  // The names of the rows in table order.
  std::vector<std::string> Names() const;

  bool Checked(const std::string& name) const;
  void SetChecked(const std::string& name, bool on) const;
  std::string Text(const std::string& name) const;
  void SetText(const std::string& name, const std::string& text) const;
  int ComboIndex(const std::string& name) const;
  void SetComboIndex(const std::string& name, int index) const;

 private:
  struct Entry {
    HWND hwnd = nullptr;
    int id = 0;
    ControlRow row{};
    std::vector<HWND> radios;
    std::vector<int> radioIds;
  };
  void SetFont(const Entry& entry, const UiFonts& fonts) const;
  void WidenDroppedList(HWND combo, HFONT font) const;
  std::map<std::string, Entry> entries_;
  std::map<int, std::string> names_;
  std::vector<std::string> order_;
  int dpi_ = kDesignDpi;
};

std::vector<std::string> SplitItems(const char* items);
std::string WindowText(HWND hwnd);

}  // namespace vorel
