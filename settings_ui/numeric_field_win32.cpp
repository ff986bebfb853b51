#include "settings_ui/numeric_field_win32.h"

#include <commctrl.h>

#include <string>

#include "platform/strings.h"
#include "settings_ui/control_table_win32.h"

namespace vorel {

NumericField::~NumericField() {
  if (edit_) RemoveWindowSubclass(edit_, &NumericField::Subclass, 1);
}

void NumericField::Attach(HWND edit, std::function<FieldRange()> range, int32_t step,
                          std::function<void(int32_t)> store, int typedLength) {
  edit_ = edit;
  range_ = std::move(range);
  step_ = step;
  store_ = std::move(store);
  // The limit holds back typing only; text the program writes is never cut.
  if (typedLength > 0) SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(typedLength), 0);
  SetWindowSubclass(edit_, &NumericField::Subclass, 1, reinterpret_cast<DWORD_PTR>(this));
}

void NumericField::Apply(int direction) {
  if (!edit_) return;
  const int32_t value = CommitField(WindowText(edit_), range_(), direction * step_);
  Show(value);
  if (store_) store_(value);
}

void NumericField::Show(int32_t value) const {
  if (!edit_) return;
  const std::wstring text = std::to_wstring(value);
  if (ToWide(WindowText(edit_)) != text) SetWindowTextW(edit_, text.c_str());
}

LRESULT CALLBACK NumericField::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
  auto* field = reinterpret_cast<NumericField*>(self);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the field; Tab and Esc keep their meaning in the window.
      if (lParam) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if ((msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_RETURN)
          return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_HASSETSEL;
      }
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_CHAR:
      if (wParam == VK_RETURN) {
        field->Apply(0);
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      field->Apply(0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

FieldRange HalfScreenWidth() { return {0, GetSystemMetrics(SM_CXSCREEN) / 2}; }
FieldRange HalfScreenHeight() { return {0, GetSystemMetrics(SM_CYSCREEN) / 2}; }

}  // namespace vorel
