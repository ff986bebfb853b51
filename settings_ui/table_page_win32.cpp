#include "settings_ui/table_page_win32.h"

#include <stdexcept>

#include "settings_ui/form_main_win32.h"

namespace vorel {

bool TablePage::CreatePage(HWND parent, TFormMain& form, ToolTips& hints) {
  form_ = &form;
  if (!CreateWindowOf(L"TVorelPage", WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 100, 100, parent, nullptr))
    return false;
  controls_.Create(Handle(), Rows(), form.Fonts(), hints, 1000, form.Dpi());
  ControlsCreated();
  FontsGiven();
  return true;
}

void TablePage::Rescale(int dpi) {
  AdoptDpi(dpi);
  controls_.Rescale(dpi, form_->Fonts());
  FontsGiven();
}

LRESULT TablePage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const std::string name = controls_.NameOfId(id);
      if (name.empty()) return 0;
      const int code = HIWORD(wParam);
      int direction = 0;
      if (code == BN_CLICKED) {
        if (NumericField* field = FieldOfArrow(name, direction)) {
          field->Apply(direction);
          return 0;
        }
      }
      Command(name, code, controls_.RadioOfId(id));
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = StaticBrush(reinterpret_cast<HWND>(lParam))) return reinterpret_cast<LRESULT>(brush);
      break;
    default:
      break;
  }
  return SettingsPage::HandleMessage(message, wParam, lParam);
}

NumericField* TablePage::FieldOfArrow(const std::string& name, int& direction) {
  for (auto& [base, field] : fields_) {
    if (name == "Button" + base + "Up") {
      direction = 1;
      return field.get();
    }
    if (name == "Button" + base + "Down") {
      direction = -1;
      return field.get();
    }
  }
  return nullptr;
}

void TablePage::AddField(const std::string& baseName, std::function<FieldRange()> range, int32_t step,
                         std::function<void(int32_t)> store, int typedLength) {
  auto field = std::make_unique<NumericField>();
  field->Attach(controls_["Memo" + baseName], std::move(range), step, std::move(store), typedLength);
  fields_.emplace_back(baseName, std::move(field));
}

NumericField& TablePage::Field(const std::string& baseName) {
  for (auto& [base, field] : fields_)
    if (base == baseName) return *field;
  throw std::logic_error("no field " + baseName);
}

}  // namespace vorel
