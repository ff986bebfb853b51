#include "settings_ui/form_excluded_win32.h"

#include <algorithm>
#include <array>
#include <functional>

#include "platform/dpi_win32.h"
#include "platform/strings.h"
#include "resources/resource_ids.h"
#include "settings_ui/form_main_win32.h"

namespace vorel {
namespace {

constexpr wchar_t kClass[] = L"TFormExcluded";
constexpr wchar_t kButtonHostClass[] = L"TExcludedButton";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 440;
constexpr int kClientHeight = 250;
constexpr int kFirstId = 1100;

constexpr const char* kListText =
    "「この絵を今後使わない」で外した絵です。選んで「選んだ絵をまた使う」を押すと、また壁紙の候補になります"
    "（OK で決まります）。";
constexpr const char* kEmptyText =
    "今後使わない絵はありません。タスクトレイのメニューの「この絵を今後使わない」で、いま壁紙になっている絵を"
    "ここに入れられます。";

using K = ControlKind;
const std::array kRows{
    ControlRow{"LabelExcluded", K::kLabel, kListText, "", {8, 8, 424, 30}, false},
    ControlRow{"ListBoxExcluded", K::kSortedList, "", "今後使わない絵の一覧です", {8, 42, 424, 164}},
    ControlRow{
        "ButtonTakeBack", K::kButton, "選んだ絵をまた使う", "選んだ絵をまた壁紙の候補にします", {8, 216, 150, 26}},
    ControlRow{"ButtonClose", K::kButton, "閉じる", "この一覧を閉じます", {352, 216, 80, 26}},
};

}  // namespace

// --- TFormExcluded

bool TFormExcluded::Create(HWND owner) {
  if (!CreateWindowOf(kClass, kExStyle, kStyle, 0, 0, 0, 0, owner, ToWide(kExcludedCaption).c_str())) return false;
  const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
  PlaceCentred(size.cx, size.cy);
  hints_.Create(Handle());
  fonts_ = UiFonts::Make(Dpi());
  controls_.Create(Handle(), kRows, fonts_, hints_, kFirstId, Dpi());
  return true;
}

void TFormExcluded::DpiChanged(const RECT& suggested) {
  UiFonts old = std::exchange(fonts_, UiFonts::Make(Dpi()));
  controls_.Rescale(Dpi(), fonts_);
  const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormExcluded::Run(std::vector<std::string>& excluded) {
  excluded_ = &excluded;
  Fill();
  // Over the window it was opened from, wherever that is now.
  if (const HWND owner = GetWindow(Handle(), GW_OWNER)) {
    RECT o{}, r{};
    GetWindowRect(owner, &o);
    GetWindowRect(Handle(), &r);
    SetWindowPos(Handle(), nullptr, o.left + ((o.right - o.left) - (r.right - r.left)) / 2,
                 o.top + ((o.bottom - o.top) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  SetFocus(controls_["ListBoxExcluded"]);
  ShowModal();
  excluded_ = nullptr;
}

void TFormExcluded::Fill() {
  const HWND list = controls_["ListBoxExcluded"];
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  const size_t count = excluded_ ? excluded_->size() : 0;
  for (size_t n = 0; n < count; ++n) {
    // The list sorts the paths; each line keeps the place of its picture in the model.
    const LRESULT line = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide((*excluded_)[n]).c_str()));
    if (line >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(line), static_cast<LPARAM>(n));
  }
  controls_.SetText("LabelExcluded", count ? kListText : kEmptyText);
  EnableWindow(controls_["ButtonTakeBack"], count ? TRUE : FALSE);
}

void TFormExcluded::ButtonTakeBackClick() {
  if (!excluded_) return;
  const HWND list = controls_["ListBoxExcluded"];
  const LRESULT selected = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
  if (selected <= 0) return;
  std::vector<int> lines(static_cast<size_t>(selected));
  const LRESULT got =
      SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(lines.data()));
  std::vector<size_t> places;
  for (LRESULT n = 0; n < got; ++n) {
    const LRESULT place = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(lines[static_cast<size_t>(n)]), 0);
    if (place >= 0 && static_cast<size_t>(place) < excluded_->size()) places.push_back(static_cast<size_t>(place));
  }
  // From the back, so that the places before stay where they are.
  std::sort(places.begin(), places.end(), std::greater<>());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  for (const size_t place : places) excluded_->erase(excluded_->begin() + static_cast<std::ptrdiff_t>(place));
  Fill();
}

LRESULT TFormExcluded::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const std::string name = controls_.NameOfId(LOWORD(wParam));
      if (HIWORD(wParam) == BN_CLICKED && name == "ButtonTakeBack") ButtonTakeBackClick();
      if ((HIWORD(wParam) == BN_CLICKED && name == "ButtonClose") || LOWORD(wParam) == IDCANCEL) EndModal(IDOK);
      return 0;
    }
    case WM_CLOSE:
      if (InModalLoop()) EndModal(IDOK);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

// --- ExcludedPicturesButton

bool ExcludedPicturesButton::Create(HWND page, TFormMain& form, ToolTips& hints, int id) {
  form_ = &form;
  if (!CreateWindowOf(kButtonHostClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, page, L""))
    return false;
  AdoptDpi(form.Dpi());
  button_ =
      CreateWindowExW(0, L"BUTTON", ToWide(kExcludedCaption).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0,
                      Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (!button_) return false;
  hints.Set(button_, "今後使わないことにした絵の一覧を開きます（また使うようにもできます）");
  Rescale(Dpi());
  const HWND root = GetAncestor(page, GA_ROOT);
  return dialog_.Create(root ? root : page);
}

void ExcludedPicturesButton::Place(int left, int top, int side) {
  MoveWindow(Handle(), left, top, side, side, TRUE);
  MoveWindow(button_, 0, 0, side, side, TRUE);
}

void ExcludedPicturesButton::Rescale(int dpi) {
  AdoptDpi(dpi);
  // The program's own picture at a small icon's size; a module without it (a test) shows the
  // caption instead.
  UniqueIcon icon = LoadIconAtSide(GetModuleHandleW(nullptr), IDI_BTN_EXCLUDED, Scale(16));
  const LONG_PTR style = GetWindowLongPtrW(button_, GWL_STYLE);
  SetWindowLongPtrW(button_, GWL_STYLE, icon ? style | BS_ICON : style & ~static_cast<LONG_PTR>(BS_ICON));
  SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
  icon_ = std::move(icon);
}

void ExcludedPicturesButton::Click() {
  if (form_) dialog_.Run(form_->Model().excluded);
}

LRESULT ExcludedPicturesButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && reinterpret_cast<HWND>(lParam) == button_ && HIWORD(wParam) == BN_CLICKED) {
    Click();
    return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorel
