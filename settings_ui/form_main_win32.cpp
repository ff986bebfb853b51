// The settings window itself: creation, the tab control with its pages, the bottom bar,
// showing it modally, OK, Cancel and the close box. The scheduling half of the class is in
// form_main_run_win32.cpp.
#include "settings_ui/form_main_win32.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <utility>

#include "change/load_picture_win32.h"
#include "platform/dpi_win32.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "resident/resident_ids.h"
#include "resources/resource_ids.h"
#include "settings_ui/table_page_win32.h"

namespace vorel {
namespace {

// The window's outer size as designed for a 96-DPI frame; its client area, scaled, is the
// window's smallest client area at every DPI.
constexpr int kDesignWidth = 498;
constexpr int kDesignHeight = 352;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr int kBarFirstId = 100;
constexpr int kBarHeight = 35;  // below the pages
constexpr const char* kHomePage = "https://brelkin.example/vorel/";

constexpr std::array<const char*, kPageCount> kTabCaptions{"壁紙", "張り替えかた", "カレンダー", "他のソフトとの連携",
                                                           "ユーザー環境"};

using K = ControlKind;
// Places are those of the design size; the layout rule moves them with every resize.
const std::array kBarRows{
    ControlRow{"ImageBrelkin", K::kImage, "", "ホームページへ飛ぶ", {0, 282, 88, 32}, false},
    ControlRow{"BitBtnChange", K::kButton, "おためし Change!!", "壁紙を張り替えます", {137, 286, 110, 25}},
    ControlRow{"BitBtnOk", K::kButton, "OK", "設定を保存します", {253, 286, 75, 25}},
    ControlRow{"BitBtnCancel", K::kButton, "ｷｬﾝｾﾙ", "設定を変更しないで閉じます", {333, 286, 80, 25}},
    ControlRow{"SpeedButtonHelp", K::kIconButton, "", "ヘルプを表示します", {420, 286, 26, 25}},
    ControlRow{"SpeedButtonAbout", K::kButton, "About", "バージョン情報", {449, 286, 40, 25}},
};

std::string ProgramFolderWithSlash() {
  std::string folder = ProgramFolder();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

void ShellOpen(HWND owner, const std::string& target) {
  const std::wstring folder = ToWide(ProgramFolderWithSlash());
  ShellExecuteW(owner, L"open", ToWide(target).c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}

// "BMP|*.BMP|..." as the open dialog takes it: pairs separated by NULs, two at the end.
std::wstring DialogFilter(const std::string& filter) {
  std::wstring wide = ToWide(filter.empty() ? "BMP|*.BMP" : filter);
  for (wchar_t& c : wide)
    if (c == L'|') c = L'\0';
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

}  // namespace

std::span<const ControlRow> BottomBarRows() { return kBarRows; }

SIZE TFormMain::SmallestSize() const {
  const SIZE client = DesignClientOfOuter(kDesignWidth, kDesignHeight, kStyle, kExStyle);
  return OuterSizeForDesignClient(client.cx, client.cy, kStyle, kExStyle, Dpi());
}

bool TFormMain::Create() {
  // Made where the primary screen begins, so that it has that screen's DPI, then sized for it.
  if (!CreateWindowOf(kFormMainClass, kExStyle, kStyle, 0, 0, 0, 0, nullptr, L"Vorel")) return false;
  fonts_ = UiFonts::Make(Dpi());
  const SIZE size = SmallestSize();
  PlaceCentred(size.cx, size.cy);
  icons_.Apply(Handle(), GetModuleHandleW(nullptr), IDI_APP, Dpi());
  DefaultDialogs();
  picker_.Create();
  CreatePages();
  StartSteps();
  return true;
}

void TFormMain::DefaultDialogs() {
  dialogs_.openFile = [this](HWND owner, const std::string& title,
                             const std::string& folder) -> std::optional<std::string> {
    std::array<wchar_t, 4096> file{};
    const std::wstring filter = DialogFilter(dialogFilter_);
    const std::wstring wideTitle = ToWide(title);
    const std::wstring wideFolder = ToWide(folder);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = wideTitle.c_str();
    ofn.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameW(&ofn)) return std::nullopt;
    return ToUtf8(file.data());
  };
  dialogs_.colour = [](HWND owner, uint32_t initial) -> std::optional<uint32_t> {
    static std::array<COLORREF, 16> custom{};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = initial;
    cc.lpCustColors = custom.data();
    cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorW(&cc)) return std::nullopt;
    return static_cast<uint32_t>(cc.rgbResult);
  };
  dialogs_.font = [](HWND owner, const LOGFONTW& initial) -> std::optional<LOGFONTW> {
    LOGFONTW font = initial;
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &font;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    if (!ChooseFontW(&cf)) return std::nullopt;
    return font;
  };
  dialogs_.pick = [this](const FormDirRequest& request) { return picker_.Pick(Handle(), request, PreviewLoad()); };
}

PreviewLoader TFormMain::PreviewLoad() {
  return [this](const std::string& path, Picture& picture) {
    return LoadPicture(path, picture, PictureLoading(settings_));
  };
}

void TFormMain::ShowSettings() {
  if (shown_) {
    // Already open (modally, further out): bring it to the front instead of refusing.
    ShowWindow(Handle(), SW_SHOW);
    SetForegroundWindow(Handle());
    return;
  }
  shown_ = true;
  if (!centred_) {
    centred_ = true;
    RECT r{};
    GetWindowRect(Handle(), &r);
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  SaveAllSettings();
  ShowModelInControls();
  LayoutPages();
  if (!pages_.empty()) pages_[kPageWallpaper]->Opening();
  ShowModal();
  shown_ = false;
}

void TFormMain::CreatePages() {
  hints_.Create(Handle());
  tab_ = CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0, Handle(),
                         nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.text.Get()), FALSE);
  for (int i = 0; i < kPageCount; ++i) {
    std::wstring caption = ToWide(kTabCaptions[static_cast<size_t>(i)]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(tab_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  pages_.push_back(MakeWallpaperPage());
  pages_.push_back(MakeChangePage());
  pages_.push_back(MakeCalendarPage());
  pages_.push_back(MakeLinkPage());
  pages_.push_back(MakeUserPage());
  for (auto& page : pages_)
    if (!page->CreatePage(tab_, *this, hints_)) throw std::runtime_error("設定画面のページを作れません");
  bar_.Create(Handle(), kBarRows, fonts_, hints_, kBarFirstId, Dpi());
  BarPictures();
  SendMessageW(tab_, TCM_SETCURSEL, 0, 0);
  ShowActivePage();
}

void TFormMain::BarPictures() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const RECT logo = bar_.ScaledRect("ImageBrelkin");
  UniqueBitmap picture = LoadPictureAtSize(instance, IDB_LOGO, IDB_LOGO_2X, logo.right, logo.bottom);
  if (picture) {
    SendMessageW(bar_["ImageBrelkin"], STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.Get()));
    logo_ = std::move(picture);
  }
  // The program's own help glyph at the size of a small icon of the window's DPI; a module
  // without it (a test) shows the system's question mark.
  const int side = Scale(16);
  UniqueIcon help = LoadIconAtSide(instance, IDI_BTN_HELP, side);
  // The system's icon is shared (the system keeps it); only the program's own is destroyed.
  const HICON shown =
      help ? help.Get() : static_cast<HICON>(LoadImageW(nullptr, IDI_QUESTION, IMAGE_ICON, side, side, LR_SHARED));
  SendMessageW(bar_["SpeedButtonHelp"], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
  helpIcon_ = std::move(help);
}

void TFormMain::DpiChanged(const RECT& suggested) {
  // The controls get the new fonts before the old ones are deleted at the end of the scope.
  UiFonts old = std::exchange(fonts_, UiFonts::Make(Dpi()));
  SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.text.Get()), TRUE);
  bar_.Rescale(Dpi(), fonts_);
  BarPictures();
  for (auto& page : pages_) page->Rescale(Dpi());
  icons_.Apply(Handle(), GetModuleHandleW(nullptr), IDI_APP, Dpi());
  Window::DpiChanged(suggested);
  LayoutPages();
}

void TFormMain::ShowModelInControls() {
  for (auto& page : pages_) page->ShowModel();
}

SettingsPage* TFormMain::Page(int index) const {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
  return pages_[static_cast<size_t>(index)].get();
}

int TFormMain::ActivePage() const { return tab_ ? static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)) : -1; }

void TFormMain::SelectPage(int index) {
  SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  ShowActivePage();
}

HWND TFormMain::Control(const std::string& name) const {
  if (HWND bar = bar_[name]) return bar;
  for (const auto& page : pages_)
    if (const auto* table = dynamic_cast<const TablePage*>(page.get()))
      if (HWND control = table->Controls()[name]) return control;
  return nullptr;
}

void TFormMain::ShowActivePage() {
  const int active = ActivePage();
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
    ShowWindow(pages_[static_cast<size_t>(i)]->Handle(), i == active ? SW_SHOW : SW_HIDE);
  LayoutPages();
}

void TFormMain::LayoutPages() {
  if (!tab_) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int w = client.right;
  const int h = client.bottom;
  const int changeLeft = w - Scale(353);
  const int top = h - Scale(28);
  const auto place = [this, top](const char* name, int left) {
    const RECT r = bar_.ScaledRect(name);
    bar_.Place(name, left, top, r.right, r.bottom);
  };
  const int okLeft = changeLeft + Scale(116);
  const int cancelLeft = okLeft + Scale(80);
  const int helpLeft = cancelLeft + Scale(87);
  place("BitBtnChange", changeLeft);
  place("BitBtnOk", okLeft);
  place("BitBtnCancel", cancelLeft);
  place("SpeedButtonHelp", helpLeft);
  place("SpeedButtonAbout", helpLeft + Scale(29));
  const RECT logo = bar_.ScaledRect("ImageBrelkin");
  bar_.Place("ImageBrelkin", 0, top - Scale(4), logo.right, logo.bottom);
  const int pagesHeight = h - Scale(kBarHeight);
  MoveWindow(tab_, 0, 0, w, pagesHeight, TRUE);

  // Only the active page is arranged.
  SettingsPage* page = Page(ActivePage());
  if (!page) return;
  RECT display{0, 0, w, pagesHeight};
  SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  MoveWindow(page->Handle(), display.left, display.top, display.right - display.left, display.bottom - display.top,
             TRUE);
  page->Arrange(display.right - display.left, display.bottom - display.top);
}

void TFormMain::BitBtnOkClick() {
  // The field being edited is applied first, as when the focus leaves it for the button.
  SetFocus(Handle());
  SaveAllSettings();
  EndModal(IDOK);
}

void TFormMain::BitBtnCancelClick() {
  LoadAllSettings();
  EndModal(IDCANCEL);
}

void TFormMain::BarCommand(const std::string& name) {
  if (name == "BitBtnChange") BitBtnChangeClick();
  if (name == "BitBtnOk") BitBtnOkClick();
  if (name == "BitBtnCancel") BitBtnCancelClick();
  if (name == "SpeedButtonHelp") ShellOpen(Handle(), ProgramFolderWithSlash() + "Help\\index.html");
  if (name == "SpeedButtonAbout" && hooks_.showAbout) hooks_.showAbout();
  if (name == "ImageBrelkin") ShellOpen(nullptr, kHomePage);
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimerChangeId) TimerChangeTimer();
      if (wParam == kTimerDayId) TimerSuspendTimer();
      if (wParam == kTimerScreensId) TimerScreensTimer();
      if (wParam == kTimerHoldSettledId) TimerHoldSettledTimer();
      return 0;
    case WM_DISPLAYCHANGE:
      DisplayChanged();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMESUSPEND) TimerSuspendTimer();
      if (wParam == PBT_APMPOWERSTATUSCHANGE || wParam == PBT_POWERSETTINGCHANGE) PowerStatusChanged();
      return TRUE;
    case WM_WTSSESSION_CHANGE:
      SessionChanged(wParam);
      return 0;
    case kHoldCheckMessage:
      HoldCheck();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) Exit();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK)
        BitBtnOkClick();
      else if (id == IDCANCEL)
        BitBtnCancelClick();
      else if (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == STN_CLICKED)
        BarCommand(bar_.NameOfId(id));
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tab_ && header->code == TCN_SELCHANGE) ShowActivePage();
      return 0;
    }
    case WM_DROPFILES: {
      const HDROP drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> paths;
      const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(ToUtf8(path));
      }
      DragFinish(drop);
      if (!pages_.empty()) pages_[kPageWallpaper]->FilesDropped(paths);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      const SIZE smallest = SmallestSize();
      info->ptMinTrackSize = {smallest.cx, smallest.cy};
      return 0;
    }
    case WM_CLOSE:
      // The close box keeps the edits unsaved: they stay the live settings.
      if (InModalLoop()) EndModal(IDCLOSE);
      return 0;
    case WM_SIZE:
      LayoutPages();
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace vorel
