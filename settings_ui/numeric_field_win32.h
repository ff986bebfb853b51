// The number field of the settings window and its dialogs: an edit whose text is
// read, clamped, written back and stored when it loses the focus, on Enter (the focus
// stays) and after every ▲/▼ press.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "engine/numeric_field.h"

namespace vorel {

class NumericField {
 public:
  NumericField() = default;
  NumericField(const NumericField&) = delete;
  NumericField& operator=(const NumericField&) = delete;
  ~NumericField();

  // range is asked at every applying (the margins depend on the screen at that moment);
  // store receives the clamped value and carries out the field's side effect.
  void Attach(HWND edit, std::function<FieldRange()> range, int32_t step, std::function<void(int32_t)> store,
              int typedLength = 0);
  // Focus loss and Enter (delta 0), ▲ (+1) and ▼ (-1).
  void Apply(int direction = 0);
  void Show(int32_t value) const;
  HWND Handle() const { return edit_; }

 private:
  static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  HWND edit_ = nullptr;
  std::function<FieldRange()> range_;
  int32_t step_ = 1;
  std::function<void(int32_t)> store_;
};

// The margins' bound: half the primary screen, remainder dropped.
FieldRange HalfScreenWidth();
FieldRange HalfScreenHeight();

}  // namespace vorel
