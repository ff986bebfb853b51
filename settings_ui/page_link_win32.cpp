// The pages "他のソフトとの連携" (follow-up program, the viewer GV, the Susie plug-ins, the
// system's own picture formats) and "ユーザー環境" (the wallpaper file, a picture per monitor,
// the rules that hold the timed changes).
#include <array>

#include "change/directory_listing_win32.h"
#include "converters/susie_plugin_win32.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/table_page_win32.h"

namespace vorel {
namespace {

using K = ControlKind;
// The switch of the system's formats keeps this distance from the page's bottom edge.
constexpr int kSwitchFromBottom = 20;

const std::array kLinkRows{
    ControlRow{"GroupBoxApp", K::kGroupBox, "壁紙変更時に他のアプリケーションの実行", "", {0, 0, 480, 80}, false},
    ControlRow{"EditApp", K::kEdit, "", "", {8, 16, 402, 20}},
    ControlRow{"BitBtnApp", K::kButton, "設定", "アプリケーションを選びます", {411, 14, 60, 24}},
    ControlRow{"Label22", K::kLabel, "オプション", "", {8, 40, 100, 14}, false},
    ControlRow{"EditAppOption", K::kEdit, "", "", {8, 55, 402, 20}},
    ControlRow{"Label2", K::kLabel, "グラフィックビューアー Gv のあるフォルダ", "", {8, 84, 300, 14}, false},
    ControlRow{"EditGv", K::kEdit, "", "Gvが入っていると思うフォルダを表示します", {8, 100, 402, 20}},
    ControlRow{"BitBtnGv", K::kButton, "設定", "Gvの入ったフォルダを選びます", {411, 98, 60, 24}},
    ControlRow{"LabelSusie",
               K::kLabel,
               "グラフィックビューアー Susie の Plug-In のあるフォルダ",
               "",
               {8, 124, 330, 14},
               false},
    ControlRow{"EditSusie", K::kEdit, "", "Susie Plug-Inが入っていると思うフォルダを表示します", {8, 140, 402, 20}},
    ControlRow{"BitBtnSusie", K::kButton, "設定", "Susie Plug-Inの入ったフォルダを選びます", {411, 138, 60, 24}},
    ControlRow{"ListBoxSusie", K::kFlatList, "", "有効なSusie Plug-Inの一覧です", {0, 165, 480, 90}, false},
    ControlRow{"CheckBoxSystemCodecs",
               K::kCheckBox,
               "Windows の画像形式も読む",
               "JPEGやPNGなど、Windowsが読める形式の画像も壁紙にします",
               {8, 244, 300, 16}},
};

const std::array kUserRows{
    ControlRow{
        "LabelWall", K::kLabel, "壁紙ファイル", "実際にカレンダーが書き込まれるファイルです", {8, 8, 200, 14}, false},
    ControlRow{"EditWall", K::kEdit, "", "実際にカレンダーが書き込まれるファイルです", {8, 26, 402, 20}},
    ControlRow{"BitBtnWall", K::kButton, "設定", "壁紙ファイルを設定します", {411, 24, 60, 24}},
    // Below the file's row, where the page is empty: one picture for each monitor.
    ControlRow{"CheckBoxPerMonitor",
               K::kCheckBox,
               "モニターごとに別の絵を表示する",
               "モニターが二つ以上あるとき，それぞれのモニターに別の絵を張ります",
               {8, 58, 300, 16}},
    // Right below: the rules that hold Vorelset's timed changes.
    ControlRow{"CheckBoxHoldFullScreen",
               K::kCheckBox,
               "全画面のアプリを使っている間は張り替えない",
               "ゲームや動画，スライドショーが画面いっぱいに出ている間は，時間や日付での張り替えを待ち，終わったら一度"
               "だけ張り替えます",
               {8, 76, 400, 16}},
    ControlRow{"CheckBoxHoldBattery",
               K::kCheckBox,
               "バッテリーで動いている間は張り替えない",
               "電源につながっていないときやバッテリー節約機能がオンのときは，時間や日付での張り替えを待ち，電源につな"
               "いだら一度だけ張り替えます",
               {8, 94, 400, 16}},
    ControlRow{"CheckBoxHoldLocked",
               K::kCheckBox,
               "画面がロックされている間は張り替えない",
               "画面がロックされているときやリモート接続が切れているときは，時間や日付での張り替えを待ち，戻ったら一度"
               "だけ張り替えます",
               {8, 112, 400, 16}},
};

// The rules of the hold: each check box and the switch of the model it shows.
struct HoldBox {
  const char* name;
  bool Settings::*rule;
};
constexpr HoldBox kHoldBoxes[] = {
    {"CheckBoxHoldFullScreen", &Settings::holdFullScreen},
    {"CheckBoxHoldBattery", &Settings::holdBattery},
    {"CheckBoxHoldLocked", &Settings::holdLocked},
};

std::string FolderPart(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileExistsAt(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class LinkPage final : public TablePage {
 public:
  std::span<const ControlRow> Rows() const override { return kLinkRows; }

  void Arrange(int width, int height) override {
    const int editWidth = width - Scale(78);
    const int buttonLeft = width - Scale(69);
    const RECT group = controls_.ScaledRect("GroupBoxApp");
    controls_.Place("GroupBoxApp", 0, group.top, width, group.bottom);
    for (const char* edit : {"EditGv", "EditSusie", "EditApp", "EditAppOption"}) {
      const RECT r = controls_.ScaledRect(edit);
      controls_.Place(edit, r.left, r.top, editWidth, r.bottom);
    }
    for (const char* button : {"BitBtnGv", "BitBtnSusie", "BitBtnApp"}) {
      const RECT r = controls_.ScaledRect(button);
      controls_.Place(button, buttonLeft, r.top, r.right, r.bottom);
    }
    // The plug-in list takes what the page has below its top, less a line for the switch of
    // the system's formats at the bottom.
    const RECT list = controls_.ScaledRect("ListBoxSusie");
    const RECT codecs = controls_.ScaledRect("CheckBoxSystemCodecs");
    const int switchTop = height - Scale(kSwitchFromBottom);
    controls_.Place("ListBoxSusie", 0, list.top, width, switchTop - Scale(4) - list.top);
    controls_.Place("CheckBoxSystemCodecs", codecs.left, switchTop, codecs.right, codecs.bottom);
  }

  void ShowModel() override {
    const Settings& s = form_->Model();
    showing_ = true;
    controls_.SetText("EditApp", s.app);
    controls_.SetText("EditAppOption", s.appOption);
    controls_.SetText("EditGv", s.gvPath);
    controls_.SetText("EditSusie", s.susiePath);
    controls_.SetChecked("CheckBoxSystemCodecs", s.systemCodecs);
    showing_ = false;
    FillPluginList();
  }

 protected:
  HBRUSH StaticBrush(HWND control) override {
    // The plug-in list sits on the page in the button-face colour.
    if (control == controls_["ListBoxSusie"]) return GetSysColorBrush(COLOR_BTNFACE);
    return nullptr;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CTLCOLORLISTBOX && reinterpret_cast<HWND>(lParam) == controls_["ListBoxSusie"]) {
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return TablePage::HandleMessage(message, wParam, lParam);
  }

  void Command(const std::string& name, int code, int) override {
    Settings& s = form_->Model();
    if (code == EN_CHANGE && !showing_) {
      if (name == "EditApp") s.app = controls_.Text(name);
      if (name == "EditAppOption") s.appOption = controls_.Text(name);
      // Typing alone leaves GvKnown as it is.
      if (name == "EditGv") s.gvPath = controls_.Text(name);
      if (name == "EditSusie") {
        s.susiePath = controls_.Text(name);
        FillPluginList();
      }
      return;
    }
    if (code != BN_CLICKED) return;
    if (name == "CheckBoxSystemCodecs") {
      // The patterns follow at once: the picker and the folder contents show what it reads.
      s.systemCodecs = controls_.Checked(name);
      form_->ApplySusieFolder();
    }
    if (name == "BitBtnApp") {
      const auto chosen =
          form_->Dialogs().openFile(form_->Handle(), "アプリケーションの設定", FolderPart(controls_.Text("EditApp")));
      if (chosen) controls_.SetText("EditApp", *chosen);  // EN_CHANGE stores it
    }
    if (name == "BitBtnSusie") BitBtnSusieClick();
    if (name == "BitBtnGv") BitBtnGvClick();
  }

 private:
  void BitBtnSusieClick() {
    Settings& s = form_->Model();
    const std::string folder = controls_.Text("EditSusie");
    const auto picked = form_->Dialogs().pick({"Susie Plug-Inフォルダーの設定", folder, {"*.SPI"}, false});
    if (picked) s.susiePath = picked->folderText;
    showing_ = true;
    controls_.SetText("EditSusie", s.susiePath);
    showing_ = false;
    FillPluginList();
  }

  void BitBtnGvClick() {
    Settings& s = form_->Model();
    const auto picked =
        form_->Dialogs().pick({"Gvのあるフォルダの設定", FolderPart(controls_.Text("EditGv")), {"*.exe"}, false});
    if (picked) {
      std::string path = picked->folderText;
      if (!path.empty() && path.back() != '\\') path += '\\';
      path += "Gv.exe";
      if (FileExistsAt(path)) {
        s.gvPath = path;
        s.gvKnown = true;
        showing_ = true;
        controls_.SetText("EditGv", path);
        showing_ = false;
      }
    }
    // The picker listed programs meanwhile; the picture patterns come back whatever the outcome.
    form_->ApplySusieFolder();
  }

  // One line per loadable plug-in of the folder, then the plug-in set and patterns rebuilt.
  void FillPluginList() {
    Settings& s = form_->Model();
    const HWND list = controls_["ListBoxSusie"];
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    std::vector<DirectoryItem> items;
    const NamePattern spi("*.spi");
    if (!s.susiePath.empty() && ListDirectoryWin32(s.susiePath, items)) {
      for (const DirectoryItem& item : items) {
        if (item.isDirectory || !spi.Matches(item)) continue;
        const auto name = PluginDescriptiveName(s.susiePath + "\\" + item.name);
        // A file that does not load or answer is no plug-in: it gets no line, not a blank one.
        if (!name || name->empty()) continue;
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(*name).c_str()));
        s.susieFolderKnown = true;
      }
    }
    form_->ApplySusieFolder();
  }

  bool showing_ = false;
};

class UserPage final : public TablePage {
 public:
  std::span<const ControlRow> Rows() const override { return kUserRows; }

  void Arrange(int width, int) override {
    const RECT edit = controls_.ScaledRect("EditWall");
    controls_.Place("EditWall", edit.left, edit.top, width - Scale(78), edit.bottom);
    const RECT button = controls_.ScaledRect("BitBtnWall");
    controls_.Place("BitBtnWall", width - Scale(69), button.top, button.right, button.bottom);
  }

  void ShowModel() override {
    controls_.SetText("EditWall", form_->Model().wallFile);
    controls_.SetChecked("CheckBoxPerMonitor", form_->Model().perMonitor);
    for (const HoldBox& box : kHoldBoxes) controls_.SetChecked(box.name, form_->Model().*box.rule);
  }

 protected:
  void Command(const std::string& name, int code, int) override {
    if (name == "CheckBoxPerMonitor" && code == BN_CLICKED) form_->Model().perMonitor = controls_.Checked(name);
    for (const HoldBox& box : kHoldBoxes) {
      if (name != box.name || code != BN_CLICKED) continue;
      form_->Model().*box.rule = controls_.Checked(name);
      form_->CheckBoxHoldClick();
    }
    // Text typed into EditWall is not taken: only the button names the file written.
    if (name != "BitBtnWall" || code != BN_CLICKED) return;
    const auto chosen =
        form_->Dialogs().openFile(form_->Handle(), "壁紙ファイルの設定", FolderPart(controls_.Text("EditWall")));
    if (!chosen) return;
    form_->Model().wallFile = *chosen;
    controls_.SetText("EditWall", *chosen);
  }
};

}  // namespace

std::span<const ControlRow> LinkPageRows() { return kLinkRows; }
std::span<const ControlRow> UserPageRows() { return kUserRows; }
std::unique_ptr<SettingsPage> MakeLinkPage() { return std::make_unique<LinkPage>(); }
std::unique_ptr<SettingsPage> MakeUserPage() { return std::make_unique<UserPage>(); }

}  // namespace vorel
