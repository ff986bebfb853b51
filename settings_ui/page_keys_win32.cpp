// The page "キー操作": the four system-wide keys of Vorelset, each a hot-key field with a
// button that sets it back to none, and what else steers a running Vorelset.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <array>

#include "resident/hot_keys.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/table_page_win32.h"

namespace vorel {
namespace {

using K = ControlKind;

// The fields' names follow the stored values': "HotKeyNext" is the field, "ButtonNextNone" its
// button. The rows are the bindings' order.
const std::array kRows{
    ControlRow{"LabelKeys",
               K::kLabel,
               "Vorelset が動いている間は、ほかのプログラムを使っているときでも次のキーで操作できます。",
               "",
               {8, 8, 466, 28},
               false},
    ControlRow{"LabelKeyNext", K::kLabel, "次の壁紙に張り替える", "", {8, 47, 180, 14}, false},
    ControlRow{"HotKeyNext", K::kHotKey, "", "すぐに次の絵に張り替えるキーです", {196, 44, 170, 20}},
    ControlRow{"ButtonNextNone", K::kButton, "なし", "このキーを使わないことにします", {372, 42, 50, 24}},
    ControlRow{"LabelKeyPrev", K::kLabel, "前の壁紙に戻す", "", {8, 77, 180, 14}, false},
    ControlRow{"HotKeyPrev", K::kHotKey, "", "ひとつ前の絵に戻すキーです", {196, 74, 170, 20}},
    ControlRow{"ButtonPrevNone", K::kButton, "なし", "このキーを使わないことにします", {372, 72, 50, 24}},
    ControlRow{"LabelKeyPause", K::kLabel, "書き換えの一時停止／再開", "", {8, 107, 180, 14}, false},
    ControlRow{"HotKeyPause", K::kHotKey, "", "自動の張り替えを止めたり再開したりするキーです", {196, 104, 170, 20}},
    ControlRow{"ButtonPauseNone", K::kButton, "なし", "このキーを使わないことにします", {372, 102, 50, 24}},
    ControlRow{"LabelKeyExclude", K::kLabel, "この絵を今後使わない", "", {8, 137, 180, 14}, false},
    ControlRow{"HotKeyExclude",
               K::kHotKey,
               "",
               "いまの絵を二度と使わないようにして次の絵に張り替えるキーです",
               {196, 134, 170, 20}},
    ControlRow{"ButtonExcludeNone", K::kButton, "なし", "このキーを使わないことにします", {372, 132, 50, 24}},
    ControlRow{"LabelKeysNote",
               K::kLabel,
               "欄をクリックしてキーを押すと、その組み合わせになります（Ctrl か Alt といっしょに）。"
               "キーは OK を押したときから使えます。ほかのプログラムが使っているキーは使えません。",
               "",
               {8, 170, 466, 42},
               false},
    ControlRow{"LabelCommandLine",
               K::kLabel,
               "ほかのプログラムからは Vorelset.exe /next /prev /exclude /pause /resume /erase /settings /exit "
               "で操作できます（ヘルプを参照）。",
               "",
               {8, 218, 466, 28},
               false},
};

// The stored value's field and the page's fields by binding, in the rows' order.
struct KeyRow {
  const char* field;
  const char* none;
};
constexpr KeyRow kKeyRows[] = {
    {"HotKeyNext", "ButtonNextNone"},
    {"HotKeyPrev", "ButtonPrevNone"},
    {"HotKeyPause", "ButtonPauseNone"},
    {"HotKeyExclude", "ButtonExcludeNone"},
};

class KeysPage final : public TablePage {
 public:
  std::span<const ControlRow> Rows() const override { return kRows; }

  bool CreatePage(HWND parent, TFormMain& form, ToolTips& hints) override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_HOTKEY_CLASS};
    InitCommonControlsEx(&controls);
    return TablePage::CreatePage(parent, form, hints);
  }

  void ShowModel() override {
    const auto bindings = HotKeyBindings();
    for (size_t n = 0; n < bindings.size(); ++n) {
      const HotKey key = HotKey::FromStored(form_->Model().*(bindings[n].field));
      SendMessageW(controls_[kKeyRows[n].field], HKM_SETHOTKEY, MAKEWORD(key.virtualKey, key.flags), 0);
    }
  }

 protected:
  void ControlsCreated() override {
    // A key alone (or with Shift alone) would be taken from every other program: Ctrl+Alt is
    // put with it instead.
    for (const KeyRow& row : kKeyRows)
      SendMessageW(controls_[row.field], HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                   MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  }

  void Command(const std::string& name, int code, int) override {
    const auto bindings = HotKeyBindings();
    for (size_t n = 0; n < bindings.size(); ++n) {
      int32_t& stored = form_->Model().*(bindings[n].field);
      if (name == kKeyRows[n].field && code == EN_CHANGE) {
        const auto value = static_cast<WORD>(SendMessageW(controls_[name], HKM_GETHOTKEY, 0, 0));
        stored = HotKey::FromStored(value).Stored();
      }
      if (name == kKeyRows[n].none && code == BN_CLICKED) {
        SendMessageW(controls_[kKeyRows[n].field], HKM_SETHOTKEY, 0, 0);
        stored = 0;
      }
    }
  }
};

}  // namespace

std::span<const ControlRow> KeysPageRows() { return kRows; }
std::unique_ptr<SettingsPage> MakeKeysPage() { return std::make_unique<KeysPage>(); }

}  // namespace vorel
