// Hints: one tool-tip control per window, showing a text while the pointer rests on a control.
#pragma once

#include <windows.h>

#include <string>

namespace vorel {

class ToolTips {
 public:
  ToolTips() = default;
  ToolTips(const ToolTips&) = delete;
  ToolTips& operator=(const ToolTips&) = delete;
  ~ToolTips();

  // Creates the tool-tip control for the controls of owner.
  bool Create(HWND owner);
  // Adds or replaces the hint of a child control; an empty text adds nothing.
  void Set(HWND control, const std::string& text);
  // The hint as the control holds it (for tests and the screenshots); empty when none.
  std::string Get(HWND control) const;
  HWND Handle() const { return tip_; }

 private:
  HWND owner_ = nullptr;
  HWND tip_ = nullptr;
};

}  // namespace vorel
