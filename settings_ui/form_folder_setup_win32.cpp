#include "settings_ui/form_folder_setup_win32.h"

#include <commctrl.h>

#include "platform/dpi_win32.h"
#include "platform/strings.h"

namespace vorel {
namespace {

constexpr wchar_t kClass[] = L"TFormFolderSetup";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kLeft = 16;
constexpr int kFieldLeft = 112;

struct ControlRow {
  int id;
  const wchar_t* windowClass;
  const char* caption;
  DWORD style;
  int x, y, width, height;  // at 96 DPI; a drop-down list's height is that of its opened list
  const char* hint;
};

constexpr const char* kHintSub = "サブフォルダの壁紙ファイルを探すか決めます";
constexpr const char* kHintTime = "フォルダにある壁紙ファイルの表示時間を決めます";
constexpr const char* kHintTile = "フォルダにある壁紙ファイルをタイル表示するか決めます";
constexpr const char* kHintSize = "フォルダにある壁紙ファイルを拡大縮小するか決めます";
constexpr const char* kHintPosi = "フォルダにある壁紙ファイルの位置を決めます";
constexpr DWORD kList = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

const ControlRow kRows[] = {
    {kSetupLabelSub, L"STATIC", "サブフォルダ", 0, kLeft, 18, 90, 16, kHintSub},
    {kSetupComboBoxSub, L"COMBOBOX", "", kList, kFieldLeft, 14, 110, 200, kHintSub},
    {kSetupLabel1, L"STATIC", "表示時間", 0, kLeft, 52, 90, 16, kHintTime},
    {kSetupCheckBoxTime, L"BUTTON", "標準", WS_TABSTOP | BS_AUTOCHECKBOX, kFieldLeft, 50, 56, 18,
     "フォルダにある壁紙ファイルの表示時間を\"張り替えかた\"で決めた物にするか選びます"},
    {kSetupMemoTime, L"EDIT", "", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 172, 49, 48, 20, kHintTime},
    {kSetupButtonTimeUp, L"BUTTON", "▲", 0, 221, 48, 18, 11, kHintTime},
    {kSetupButtonTimeDown, L"BUTTON", "▼", 0, 221, 59, 18, 11, kHintTime},
    {kSetupLabelSec, L"STATIC", "sec", 0, 244, 52, 30, 16, kHintTime},
    {kSetupLabel2, L"STATIC", "タイル表示", 0, kLeft, 88, 90, 16, kHintTile},
    {kSetupComboBoxTile, L"COMBOBOX", "", kList, kFieldLeft, 84, 110, 200, kHintTile},
    {kSetupLabel3, L"STATIC", "拡大縮小", 0, kLeft, 120, 90, 16, kHintSize},
    {kSetupComboBoxSize, L"COMBOBOX", "", kList, kFieldLeft, 116, 110, 200, kHintSize},
    {kSetupLabel4, L"STATIC", "位置", 0, kLeft, 152, 90, 16, kHintPosi},
    {kSetupComboBoxPosi, L"COMBOBOX", "", kList, kFieldLeft, 148, 110, 240, kHintPosi},
    {kSetupListBoxFolder, L"LISTBOX", "", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kLeft, 180, 279, 44,
     "これらのフォルダーの設定が変更されます"},
    {IDOK, L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 126, 234, 80, 26, "設定を変更します"},
    {IDCANCEL, L"BUTTON", "ｷｬﾝｾﾙ", WS_TABSTOP, 215, 234, 80, 26, "やっぱり変更を止めた"},
};

void FillCombo(HWND combo, const std::vector<std::string>& items) {
  for (const std::string& item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
}

void SelectText(HWND combo, const std::vector<std::string>& items, const std::string& text) {
  if (const auto index = ItemIndex(items, text)) SendMessageW(combo, CB_SETCURSEL, *index, 0);
}

std::string SelectedText(HWND combo, const std::vector<std::string>& items, const char* none) {
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return none;
  return items[static_cast<size_t>(index)];
}

std::string WindowText(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
  return ToUtf8(text);
}

}  // namespace

bool TFormFolderSetup::Create(HWND owner) {
  // Made where the primary screen begins, so that it has that screen's DPI, then sized for it.
  if (!CreateWindowOf(kClass, kExStyle, kStyle, 0, 0, 0, 0, owner, ToWide(kFolderSetupCaption).c_str())) return false;
  const SIZE size =
      OuterSizeForDesignClient(kFolderSetupClientWidth, kFolderSetupClientHeight, kStyle, kExStyle, Dpi());
  PlaceCentred(size.cx, size.cy);
  hints_.Create(Handle());
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const ControlRow& row : kRows) {
    const HWND control =
        CreateWindowExW(0, row.windowClass, ToWide(row.caption).c_str(), WS_CHILD | WS_VISIBLE | row.style, 0, 0, 0, 0,
                        Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
    if (!control) return false;
    hints_.Set(control, row.hint);
  }
  PlaceControls();
  FillCombo(Control(kSetupComboBoxSub), kSubfolderItems);
  FillCombo(Control(kSetupComboBoxTile), kTileItems);
  FillCombo(Control(kSetupComboBoxSize), kSizeItems);
  FillCombo(Control(kSetupComboBoxPosi), kPositionItems);
  // Design state: the first items, "1" second, the standard time; the position list has
  // no selection until its first fill.
  SendMessageW(Control(kSetupComboBoxSub), CB_SETCURSEL, 0, 0);
  SendMessageW(Control(kSetupComboBoxTile), CB_SETCURSEL, 0, 0);
  SendMessageW(Control(kSetupComboBoxSize), CB_SETCURSEL, 0, 0);
  SendMessageW(Control(kSetupMemoTime), EM_LIMITTEXT, 4, 0);
  SetWindowTextW(Control(kSetupMemoTime), L"1");
  SendMessageW(Control(kSetupCheckBoxTime), BM_SETCHECK, BST_CHECKED, 0);
  CheckBoxTimeClick();
  return true;
}

std::string TFormFolderSetup::ControlText(int id) const { return WindowText(Control(id)); }

void TFormFolderSetup::PlaceControls() {
  UniqueFont font = GuiFontForDpi(Dpi());
  for (const ControlRow& row : kRows) {
    const RECT r = ScaleDesignRect({row.x, row.y, row.width, row.height}, Dpi());
    const HWND control = Control(row.id);
    MoveWindow(control, r.left, r.top, r.right, r.bottom, TRUE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  }
  // The controls hold the new font now: the old one can go.
  font_ = std::move(font);
}

void TFormFolderSetup::DpiChanged(const RECT& suggested) {
  // A dialog of fixed design size: its own size at the new DPI, where Windows suggests.
  PlaceControls();
  const SIZE size =
      OuterSizeForDesignClient(kFolderSetupClientWidth, kFolderSetupClientHeight, kStyle, kExStyle, Dpi());
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormFolderSetup::ShowFolderForm(bool folders) {
  SetWindowTextW(Handle(), ToWide(folders ? kFolderSetupCaption : kFileSetupCaption).c_str());
  ShowWindow(Control(kSetupLabelSub), folders ? SW_SHOW : SW_HIDE);
  ShowWindow(Control(kSetupComboBoxSub), folders ? SW_SHOW : SW_HIDE);
}

void TFormFolderSetup::Fill(const SetupGathering& gathering, bool folders) {
  const HWND list = Control(kSetupListBoxFolder);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& path : gathering.paths)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(path).c_str()));
  const SetupTexts& texts = gathering.texts;
  if (folders) SelectText(Control(kSetupComboBoxSub), kSubfolderItems, texts.subfolders);
  const bool standardTime = texts.displayTime == kStandard;
  SendMessageW(Control(kSetupCheckBoxTime), BM_SETCHECK, standardTime ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!standardTime) SetWindowTextW(Control(kSetupMemoTime), ToWide(texts.displayTime).c_str());
  CheckBoxTimeClick();
  SelectText(Control(kSetupComboBoxTile), kTileItems, texts.tile);
  SelectText(Control(kSetupComboBoxSize), kSizeItems, texts.size);
  SelectText(Control(kSetupComboBoxPosi), kPositionItems, texts.position);
  ShowFolderForm(folders);
}

bool TFormFolderSetup::Run() {
  const bool ok = ShowModal() == IDOK;
  ShowFolderForm(true);
  return ok;
}

SetupTexts TFormFolderSetup::Texts() const {
  SetupTexts texts;
  texts.subfolders = SelectedText(Control(kSetupComboBoxSub), kSubfolderItems, kSubfoldersIgnore);
  const bool standardTime = SendMessageW(Control(kSetupCheckBoxTime), BM_GETCHECK, 0, 0) == BST_CHECKED;
  texts.displayTime = standardTime ? std::string(kStandard) : ControlText(kSetupMemoTime);
  texts.tile = SelectedText(Control(kSetupComboBoxTile), kTileItems, kStandard);
  texts.size = SelectedText(Control(kSetupComboBoxSize), kSizeItems, kStandard);
  texts.position = SelectedText(Control(kSetupComboBoxPosi), kPositionItems, kStandard);
  return texts;
}

void TFormFolderSetup::MemoTimeCommit(int32_t step) {
  const int32_t value = CommitField(ControlText(kSetupMemoTime), kEntryTimeRange, step);
  SetWindowTextW(Control(kSetupMemoTime), std::to_wstring(value).c_str());
}

void TFormFolderSetup::CheckBoxTimeClick() {
  const bool standardTime = SendMessageW(Control(kSetupCheckBoxTime), BM_GETCHECK, 0, 0) == BST_CHECKED;
  for (const int id : {kSetupMemoTime, kSetupButtonTimeUp, kSetupButtonTimeDown, kSetupLabelSec})
    EnableWindow(Control(id), !standardTime);
}

LRESULT TFormFolderSetup::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDOK) {
        // Enter and OK both apply the field first: "0" is written as "1".
        if (IsWindowEnabled(Control(kSetupMemoTime))) MemoTimeCommit(0);
        EndModal(IDOK);
      } else if (id == IDCANCEL) {
        EndModal(IDCANCEL);
      } else if (id == kSetupButtonTimeUp && code == BN_CLICKED) {
        MemoTimeCommit(kEntryTimeStep);
      } else if (id == kSetupButtonTimeDown && code == BN_CLICKED) {
        MemoTimeCommit(-kEntryTimeStep);
      } else if (id == kSetupCheckBoxTime && code == BN_CLICKED) {
        CheckBoxTimeClick();
      } else if (id == kSetupMemoTime && code == EN_KILLFOCUS) {
        MemoTimeCommit(0);
      }
      return 0;
    }
    case WM_CTLCOLORLISTBOX:
      // The list of entries being changed reads as part of the dialog, not as a field.
      if (reinterpret_cast<HWND>(lParam) == Control(kSetupListBoxFolder)) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_CLOSE:
      if (InModalLoop()) EndModal(IDCANCEL);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorel
