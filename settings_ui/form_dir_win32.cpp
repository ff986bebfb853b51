// The folder and picture picker: drive list, folder list, the matching files of the folder
// and a preview of the file clicked. The listing goes through the same directory function
// as the picture search.
#include "settings_ui/form_dir_win32.h"

#include <algorithm>
#include <array>
#include <utility>

#include "change/directory_listing_win32.h"
#include "engine/collect_pictures.h"
#include "platform/dpi_win32.h"
#include "platform/gdi_canvas_win32.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "platform/tool_tip_win32.h"
#include "settings_ui/control_table_win32.h"

namespace vorel {
namespace {

constexpr int kClientWidth = 495;
constexpr int kClientHeight = 330;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

using K = ControlKind;
const std::array kRows{
    ControlRow{"Edit", K::kEdit, "", "選んだフォルダです", {8, 2, 305, 20}},
    ControlRow{"DriveComboBox", K::kComboList, "", "ドライブを選びます", {8, 26, 305, 18}},
    ControlRow{"DirectoryListBox", K::kListBox, "", "フォルダを選びます", {8, 48, 305, 249}},
    ControlRow{"ListBoxFile", K::kSortedList, "", "ファイルを選びます", {320, 0, 169, 217}},
    ControlRow{"Image", K::kPreview, "", "上で選択された絵のプレビューです", {320, 222, 169, 105}, false},
    ControlRow{"BitBtn1", K::kButton, "OK", "フォルダ，画像ファイルを選択します", {40, 302, 97, 25}},
    ControlRow{"BitBtn2", K::kButton, "ｷｬﾝｾﾙ", "やっぱり選ぶのを止めます", {176, 302, 97, 25}},
};

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (path.size() == 2 && path[1] == ':') path += '\\';
  return path;
}

bool IsFolder(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

bool LessFolded(const std::string& a, const std::string& b) { return FoldName(a) < FoldName(b); }

}  // namespace

bool MatchesPattern(const std::string& name, const std::vector<std::string>& patterns) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::u32string extension = FoldName(name.substr(dot));
  for (const std::string& pattern : patterns)
    if (pattern.size() > 1 && FoldName(pattern.substr(1)) == extension) return true;
  return false;
}

RECT FitPreview(int clientWidth, int clientHeight, int width, int height) {
  const int areaWidth = clientWidth * 169 / 495;
  const int areaHeight = clientHeight * 105 / 330;
  const int areaLeft = clientWidth * 320 / 495;
  const int areaTop = clientHeight * 222 / 330;
  if (width <= 0 || height <= 0) return {};
  const int64_t w = width;
  const int64_t h = height;
  if (areaHeight * w < areaWidth * h) {
    const int fitted = static_cast<int>(areaHeight * w / h);
    const int left = areaLeft + (areaWidth - fitted) / 2;
    return {left, areaTop, left + fitted, areaTop + areaHeight};
  }
  const int fitted = static_cast<int>(areaWidth * h / w);
  const int top = areaTop + (areaHeight - fitted) / 2;
  return {areaLeft, top, areaLeft + areaWidth, top + fitted};
}

struct TFormDir::Parts {
  UiFonts fonts;
  ToolTips hints;
  ControlSet controls;
};

TFormDir::TFormDir() : parts_(std::make_unique<Parts>()) {}
TFormDir::~TFormDir() = default;

bool TFormDir::Create() {
  // Made where the primary screen begins, so that it has that screen's DPI, then sized for it.
  if (!CreateWindowOf(L"TFormDir", kExStyle, kStyle, 0, 0, 0, 0, nullptr, L"FormDir")) return false;
  const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
  PlaceCentred(size.cx, size.cy);
  parts_->fonts = UiFonts::Make(Dpi());
  parts_->hints.Create(Handle());
  parts_->controls.Create(Handle(), kRows, parts_->fonts, parts_->hints, 100, Dpi());
  std::array<wchar_t, 512> drives{};
  const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(drives.size()), drives.data());
  for (const wchar_t* d = drives.data(); length && length < drives.size() && *d; d += wcslen(d) + 1)
    SendMessageW(parts_->controls["DriveComboBox"], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(d));
  std::string program = ProgramFolder();
  if (!program.empty() && program.back() != '\\') program += '\\';
  lastGood_ = WithoutTrailingSlash(program);
  parts_->controls.SetText("Edit", program);
  return true;
}

HWND TFormDir::Control(const std::string& name) const { return parts_->controls[name]; }
std::string TFormDir::Hint(HWND control) const { return parts_->hints.Get(control); }

std::optional<FormDirResult> TFormDir::Pick(HWND owner, const FormDirRequest& request, const PreviewLoader& load) {
  if (!Handle() || InModalLoop()) return std::nullopt;
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  SetWindowTextW(Handle(), ToWide(request.caption).c_str());
  patterns_ = request.patterns;
  multiple_ = request.multipleFiles;
  load_ = load;
  result_.reset();
  // Without a preset the folder text of the last use is the starting point.
  if (!request.folderText.empty()) parts_->controls.SetText("Edit", request.folderText);
  preview_ = Picture{};
  previewPlace_ = {};
  InvalidateRect(Control("Image"), nullptr, TRUE);
  textAtOpening_ = parts_->controls.Text("Edit");
  // A starting folder that is gone opens the last folder that could be shown.
  if (!GoTo(textAtOpening_) && !GoTo(lastGood_)) GoTo(WithoutTrailingSlash(ProgramFolder()));
  SetFocus(Control("DirectoryListBox"));
  ShowModal();
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, 0);
  return result_;
}

bool TFormDir::GoTo(const std::string& wanted) {
  const std::string folder = WithoutTrailingSlash(wanted);
  if (!IsFolder(folder)) return false;
  std::vector<DirectoryItem> items;
  if (!ListDirectoryWin32(folder, items)) return false;
  directory_ = folder;
  lastGood_ = folder;
  const ControlSet& c = parts_->controls;

  // The drive list shows the folder's drive.
  const HWND drives = c["DriveComboBox"];
  const std::wstring root = ToWide(folder.substr(0, 3));
  SendMessageW(drives, CB_SETCURSEL,
               static_cast<WPARAM>(SendMessageW(drives, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(root.c_str()))),
               0);

  // The folder list: the way down from the root, then the subfolders, indented.
  const HWND list = c["DirectoryListBox"];
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  folderPaths_.clear();
  std::string path = folder.substr(0, 3);
  int depth = 0;
  const auto add = [&](const std::string& text, const std::string& full) {
    const std::string line = std::string(static_cast<size_t>(depth) * 2, ' ') + text;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(line).c_str()));
    folderPaths_.push_back(full);
  };
  add(path, path);
  size_t start = 3;
  while (start < folder.size()) {
    const size_t slash = folder.find('\\', start);
    const std::string part = folder.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    path = Join(path, part);
    ++depth;
    add(part, path);
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  const int current = static_cast<int>(folderPaths_.size()) - 1;
  std::vector<std::string> subfolders;
  std::vector<std::string> files;
  for (const DirectoryItem& item : items) {
    if (item.name == "." || item.name == "..") continue;
    if (item.isDirectory) {
      subfolders.push_back(item.name);
      continue;
    }
    if (!MatchesPattern(item.name, patterns_)) continue;
    // Hidden and system files are not offered.
    const DWORD attributes = GetFileAttributesW(ToWide(Join(folder, item.name)).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
      continue;
    files.push_back(item.name);
  }
  std::sort(subfolders.begin(), subfolders.end(), LessFolded);
  ++depth;
  for (const std::string& name : subfolders) add(name, Join(folder, name));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);

  const HWND fileList = c["ListBoxFile"];
  SendMessageW(fileList, LB_RESETCONTENT, 0, 0);
  for (const std::string& name : files)
    SendMessageW(fileList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(name).c_str()));
  c.SetText("Edit", folder);
  return true;
}

void TFormDir::SingleSelection() {
  const HWND list = Control("ListBoxFile");
  const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
  SendMessageW(list, LB_SETSEL, FALSE, -1);
  if (caret >= 0) SendMessageW(list, LB_SETSEL, TRUE, caret);
}

void TFormDir::ListBoxFileClick() {
  const HWND list = Control("ListBoxFile");
  if (!multiple_) SingleSelection();
  int first = -1;
  if (SendMessageW(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) < 1 || first < 0) return;
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(first), 0);
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(first), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  Picture picture;
  if (!load_ || !load_(Join(directory_, ToUtf8(text)), picture) || picture.Empty()) return;
  preview_ = std::move(picture);
  RECT client{};
  GetClientRect(Handle(), &client);
  previewPlace_ = FitPreview(client.right, client.bottom, preview_.width, preview_.height);
  InvalidateRect(Control("Image"), nullptr, TRUE);
}

void TFormDir::DpiChanged(const RECT& suggested) {
  // A dialog of fixed design size: its own size at the new DPI, where Windows suggests.
  UiFonts old = std::exchange(parts_->fonts, UiFonts::Make(Dpi()));
  parts_->controls.Rescale(Dpi(), parts_->fonts);
  const SIZE size = OuterSizeForDesignClient(kClientWidth, kClientHeight, kStyle, kExStyle, Dpi());
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  if (!preview_.Empty()) {
    RECT client{};
    GetClientRect(Handle(), &client);
    previewPlace_ = FitPreview(client.right, client.bottom, preview_.width, preview_.height);
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TFormDir::DrawPreview(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (preview_.Empty()) return;
  const RECT design = parts_->controls.ScaledRect("Image");
  const BITMAPINFO info = PictureDibInfo(preview_.width, preview_.height);
  SetStretchBltMode(item.hDC, HALFTONE);
  StretchDIBits(item.hDC, previewPlace_.left - design.left, previewPlace_.top - design.top,
                previewPlace_.right - previewPlace_.left, previewPlace_.bottom - previewPlace_.top, 0, 0,
                preview_.width, preview_.height, preview_.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void TFormDir::Finish(bool ok) {
  if (ok) {
    FormDirResult result;
    result.directory = directory_;
    result.folderText = parts_->controls.Text("Edit");
    const HWND list = Control("ListBoxFile");
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      if (SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) continue;
      const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
      result.files.push_back(ToUtf8(text));
    }
    result_ = std::move(result);
    EndModal(IDOK);
  } else {
    parts_->controls.SetText("Edit", textAtOpening_);
    EndModal(IDCANCEL);
  }
}

LRESULT TFormDir::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      const std::string name = parts_->controls.NameOfId(id);
      if (id == IDOK || (name == "BitBtn1" && code == BN_CLICKED))
        Finish(true);
      else if (id == IDCANCEL || (name == "BitBtn2" && code == BN_CLICKED))
        Finish(false);
      else if (name == "DirectoryListBox" && code == LBN_DBLCLK) {
        const LRESULT selected = SendMessageW(Control(name), LB_GETCURSEL, 0, 0);
        if (selected >= 0 && static_cast<size_t>(selected) < folderPaths_.size())
          GoTo(folderPaths_[static_cast<size_t>(selected)]);
      } else if (name == "DriveComboBox" && code == CBN_SELCHANGE) {
        const HWND drives = Control(name);
        const LRESULT selected = SendMessageW(drives, CB_GETCURSEL, 0, 0);
        std::array<wchar_t, 16> root{};
        if (selected >= 0 && SendMessageW(drives, CB_GETLBTEXTLEN, static_cast<WPARAM>(selected), 0) < 15)
          SendMessageW(drives, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(root.data()));
        // A drive without a medium keeps the folder shown.
        if (!GoTo(ToUtf8(root.data()))) GoTo(directory_);
      } else if (name == "ListBoxFile" && code == LBN_SELCHANGE) {
        ListBoxFileClick();
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem == Control("Image")) DrawPreview(*item);
      return TRUE;
    }
    case WM_CLOSE:
      // The close box counts as Cancel but leaves the folder text as it is.
      if (InModalLoop()) EndModal(IDCANCEL);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace vorel
