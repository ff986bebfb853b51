#include "settings_ui/page_wallpaper_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <numeric>

#include "change/directory_listing_win32.h"
#include "engine/collect_pictures.h"
#include "platform/dpi_win32.h"
#include "platform/program_paths_win32.h"
#include "platform/strings.h"
#include "settings_ui/form_main_win32.h"

namespace vorel {
namespace {

constexpr wchar_t kPageClass[] = L"TPageWallpaper";
constexpr wchar_t kPreviewClass[] = L"TPanelPreview";
// The folder-contents refresh asked for by the list's change notifications, run once for a
// burst of them (a click deselects and selects: two notifications, one scan).
constexpr UINT kRefreshMessage = WM_APP + 21;

// Design places at 96 DPI; the page's size is the tab control's display area.
constexpr int kDesignPageWidth = 481;
constexpr int kDesignPageHeight = 270;
constexpr int kListTop = 26;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 24;
constexpr int kAddLeft = 150;

constexpr const char* kNotion = "ここに出る絵はクリックすると，壁紙になります";

struct Column {
  const char* header;
  int width;
  int format;
};

const Column kFolderColumns[] = {{"フォルダ", 124, LVCFMT_LEFT}, {"ｻﾌﾞﾌｫﾙﾀﾞ", 60, LVCFMT_CENTER},
                                 {"時間", 36, LVCFMT_CENTER},    {"タイル", 43, LVCFMT_CENTER},
                                 {"拡大", 36, LVCFMT_CENTER},    {"位置", 36, LVCFMT_LEFT}};
const Column kFileColumns[] = {{"ファイル名", 184, LVCFMT_LEFT},
                               {"時間", 36, LVCFMT_CENTER},
                               {"タイル", 43, LVCFMT_CENTER},
                               {"拡大", 36, LVCFMT_CENTER},
                               {"位置", 36, LVCFMT_LEFT}};

HWND MakeControl(HWND parent, int id, const wchar_t* windowClass, const std::string& caption, DWORD style,
                 DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, windowClass, ToWide(caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

template <size_t N>
void AddColumns(HWND list, const Column (&columns)[N], int dpi) {
  for (size_t n = 0; n < N; ++n) {
    std::wstring header = ToWide(columns[n].header);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = columns[n].format;
    column.cx = ScaleForDpi(columns[n].width, dpi);
    column.pszText = header.data();
    column.iSubItem = static_cast<int>(n);
    SendMessageW(list, LVM_INSERTCOLUMNW, n, reinterpret_cast<LPARAM>(&column));
  }
}

// Columns after the path take the width of their header text. The list's own fit is not
// trusted alone: Wine's measures the header narrower than the header draws it and cuts
// "ｻﾌﾞﾌｫﾙﾀﾞ" to "ｻﾌﾞ...", so the header text is also measured in the header's own font.
template <size_t N>
void FitColumnsToHeaders(HWND list, const Column (&columns)[N], int dpi) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(header ? header : list, WM_GETFONT, 0, 0));
  WindowDc dc(header ? header : list);
  SelectionRestorer chosen(dc.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
  // The header's margin on both sides of its text (three edges each), and its divider.
  const int margins = 6 * MetricForDpi(SM_CXEDGE, dpi) + ScaleForDpi(2, dpi);
  for (size_t n = 1; n < N; ++n) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, n, LVSCW_AUTOSIZE_USEHEADER);
    const std::wstring text = ToWide(columns[n].header);
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    const int wanted = static_cast<int>(size.cx) + margins;
    if (SendMessageW(list, LVM_GETCOLUMNWIDTH, n, 0) < wanted) SendMessageW(list, LVM_SETCOLUMNWIDTH, n, wanted);
  }
}

Selection SelectionOf(HWND list) {
  const auto count = static_cast<size_t>(std::max<LRESULT>(0, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
  Selection rows(count, false);
  for (LRESULT n = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
       n >= 0 && static_cast<size_t>(n) < count;
       n = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(n), LVNI_SELECTED))
    rows[static_cast<size_t>(n)] = true;
  return rows;
}

bool AnySelected(HWND list) { return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) >= 0; }

void SetRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void SetRowCount(HWND list, size_t count) {
  SetRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  SendMessageW(list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, TRUE);
}

void SetBounds(HWND control, int x, int y, int width, int height) {
  SetWindowPos(control, nullptr, x, y, std::max(0, width), std::max(0, height), SWP_NOZORDER | SWP_NOACTIVATE);
}

int SystemCompare(const std::string& a, const std::string& b) { return lstrcmpW(ToWide(a).c_str(), ToWide(b).c_str()); }

}  // namespace

bool SendToRecycleBin(const std::string& path) {
  const std::wstring wide = ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  std::wstring from = wide;
  from.push_back(L'\0');  // the list of names ends with an empty one
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  // The page has asked its own question already: the shell shows nothing more, except
  // where the file cannot go to the Recycle Bin (a drive without one, a file too big for
  // it): the shell then asks before destroying it, and No leaves the file where it is.
  operation.fFlags =
      FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR | FOF_WANTNUKEWARNING;
  if (SHFileOperationW(&operation) != 0 || operation.fAnyOperationsAborted) return false;
  return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<size_t> ShellNameOrder(const std::vector<std::string>& names) {
  // One sort key per name: a list of 100 000 names compares keys, not texts, in its sort.
  std::vector<std::string> keys(names.size());
  std::vector<wchar_t> wideName;
  for (size_t n = 0; n < names.size(); ++n) {
    const std::wstring wide = ToWide(names[n]);
    const int bytes = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, wide.c_str(),
                                   static_cast<int>(wide.size()), nullptr, 0);
    if (bytes <= 0) {
      keys[n].assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
      continue;
    }
    keys[n].resize(static_cast<size_t>(bytes));
    LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, wide.c_str(), static_cast<int>(wide.size()),
                 reinterpret_cast<wchar_t*>(keys[n].data()), bytes);
  }
  std::vector<size_t> order(names.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
  return order;
}

std::vector<std::string> DroppedPaths(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT n = 0; n < count; ++n) {
    const UINT length = DragQueryFileW(drop, n, nullptr, 0);
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(DragQueryFileW(drop, n, path.data(), length + 1));
    paths.push_back(ToUtf8(path));
  }
  return paths;
}

// --- PreviewPanel

bool PreviewPanel::Create(HWND parent, int id, std::function<void()> clicked) {
  clicked_ = std::move(clicked);
  if (!CreateWindowOf(kPreviewClass, WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, L"")) return false;
  SetWindowLongPtrW(Handle(), GWLP_ID, id);
  return true;
}

void PreviewPanel::Show(Picture picture) {
  picture_ = std::move(picture);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void PreviewPanel::Clear() { Show(Picture{}); }

void PreviewPanel::SetSide(int side) {
  side_ = std::max(0, side);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void PreviewPanel::SetNoticeFont(HFONT font) {
  noticeFont_ = font;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void PreviewPanel::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  if (picture_.Empty()) {
    // LabelNotion: word-wrapped, centred in the panel.
    SelectionRestorer font(dc, noticeFont_ ? static_cast<HGDIOBJ>(noticeFont_) : GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = ToWide(kNotion);
    RECT box{0, 0, std::max<LONG>(1, client.right - Scale(8)), 0};
    DrawTextW(dc, text.c_str(), -1, &box, DT_WORDBREAK | DT_CALCRECT);
    const int dx = (client.right - box.right) / 2;
    const int dy = (client.bottom - box.bottom) / 2;
    OffsetRect(&box, dx, dy);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), -1, &box, DT_WORDBREAK | DT_CENTER);
    return;
  }
  const PreviewRect place = Placement();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture_.width;
  info.bmiHeader.biHeight = -picture_.height;  // rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, place.left, place.top, place.width, place.height, 0, 0, picture_.width, picture_.height,
                picture_.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT PreviewPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(Handle(), &paint);
      Paint(dc);
      EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONUP:
      if (clicked_) clicked_();
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

// --- WallpaperPage

WallpaperPage::WallpaperPage()
    : messageBox_([](HWND owner, const std::string& text, const std::string& caption, UINT flags) {
        return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
      }) {}

WallpaperPage::~WallpaperPage() = default;

std::unique_ptr<SettingsPage> MakeWallpaperPage() { return std::make_unique<WallpaperPage>(); }

std::vector<FolderEntry>& WallpaperPage::Folders() { return form_->Model().folders; }
std::vector<PictureEntry>& WallpaperPage::Files() { return form_->Model().pictures; }

HWND WallpaperPage::Root() const {
  const HWND root = GetAncestor(Handle(), GA_ROOT);
  return root ? root : Handle();
}

bool WallpaperPage::CreatePage(HWND parent, TFormMain& form, ToolTips& hints) {
  form_ = &form;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  if (!CreateWindowOf(kPageClass, WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                      ScaleForDpi(kDesignPageWidth, form.Dpi()), ScaleForDpi(kDesignPageHeight, form.Dpi()), parent,
                      L"壁紙"))
    return false;
  AdoptDpi(form.Dpi());
  const HWND page = Handle();
  MakeControl(page, kWallImageFolder, L"STATIC", "", SS_ICON);
  MakeControl(page, kWallImageFile, L"STATIC", "", SS_ICON);
  MakeControl(page, kWallLabel1, L"STATIC", "壁紙フォルダ", 0);
  MakeControl(page, kWallLabelFile, L"STATIC", "画像ファイル", 0);
  struct ButtonRow {
    int id;
    const char* caption;
    const char* hint;
    bool startsShown;
  };
  const ButtonRow buttons[] = {
      {kWallBitBtnWallAdd, "追加", "画像ファイルが入っているフォルダーを追加します", true},
      {kWallBitBtnWallDelete, "削除", "選択しているフォルダーを画像の収められたフォルダーからはずします", false},
      {kWallSpeedButtonFolderSetup, "設定", "サブフォルダなどのフォルダの設定を変更します", false},
      {kWallBitBtnFileAdd, "追加", "画像ファイルを追加します", true},
      {kWallBitBtnFileDelete, "削除", "選択している画像を壁紙の候補からはずします", false},
      {kWallSpeedButtonFileSetup, "設定", "表示時間などの画像ファイルの設定を変更します", false},
  };
  for (const ButtonRow& row : buttons) {
    const HWND button = MakeControl(page, row.id, L"BUTTON", row.caption, WS_TABSTOP | BS_PUSHBUTTON);
    if (!row.startsShown) ShowWindow(button, SW_HIDE);
    hints.Set(button, row.hint);
  }
  constexpr DWORD listStyle = WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_OWNERDATA;
  const HWND folderList = MakeControl(page, kWallListViewFolder, WC_LISTVIEWW, "", listStyle, WS_EX_CLIENTEDGE);
  const HWND fileList = MakeControl(page, kWallListViewFile, WC_LISTVIEWW, "", listStyle, WS_EX_CLIENTEDGE);
  if (!folderList || !fileList) return false;
  for (const HWND list : {folderList, fileList})
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  AddColumns(folderList, kFolderColumns, Dpi());
  AddColumns(fileList, kFileColumns, Dpi());
  hints.Set(folderList, "壁紙が収められているフォルダです");
  hints.Set(fileList, "壁紙の候補となる画像一覧です");
  // The names live in contents_, drawn by the page: a list of 100 000 names is one count.
  const HWND contents = MakeControl(page, kWallListBoxFolDir, L"LISTBOX", "",
                                    WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NODATA | LBS_OWNERDRAWFIXED |
                                        LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT,
                                    WS_EX_CLIENTEDGE);
  if (!contents) return false;
  hints.Set(contents, "左のフォルダの中にある画像ファイルです");
  if (!preview_.Create(page, kWallPanelPreview, [this] { ImageWallClick(); })) return false;
  hints.Set(preview_.Handle(), "ここに出る絵をクリックすると，壁紙になります");
  if (!setup_.Create(Root())) return false;
  // The window's one picker through its dialogs, which the window's tests answer: what the
  // picker shows survives from one use to the next.
  if (!picker_) picker_ = [this](HWND, const FormDirRequest& request) { return form_->Dialogs().pick(request); };
  lastFolder_ = ProgramFolder();
  GiveFonts();
  Arrange(Scale(kDesignPageWidth), Scale(kDesignPageHeight));
  return true;
}

void WallpaperPage::GiveFonts() {
  UniqueFont font = GuiFontForDpi(Dpi());
  for (int id = kWallLabel1; id <= kWallListBoxFolDir; ++id)
    SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
  preview_.AdoptDpi(Dpi());
  preview_.SetNoticeFont(font.Get());
  font_ = std::move(font);
  // The folder contents draw their rows in that font.
  SendMessageW(Control(kWallListBoxFolDir), LB_SETITEMHEIGHT, 0, ContentRowHeight());
  // The system's pictures of a folder and a file, at a small icon's size for the DPI.
  const HINSTANCE shell = GetModuleHandleW(L"shell32.dll");
  const int side = Scale(16);
  const struct {
    int id;
    int resource;
    UniqueIcon& icon;
  } pictures[] = {{kWallImageFolder, 4, folderIcon_}, {kWallImageFile, 1, fileIcon_}};
  for (const auto& picture : pictures) {
    UniqueIcon icon = shell ? LoadIconAtSide(shell, picture.resource, side) : UniqueIcon();
    SendMessageW(Control(picture.id), STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    picture.icon = std::move(icon);
  }
}

void WallpaperPage::Rescale(int dpi) {
  // The path columns keep the width the user gave them, in proportion.
  for (const int id : {kWallListViewFolder, kWallListViewFile}) {
    const auto width = static_cast<int>(SendMessageW(Control(id), LVM_GETCOLUMNWIDTH, 0, 0));
    SendMessageW(Control(id), LVM_SETCOLUMNWIDTH, 0, MulDiv(width, dpi, Dpi()));
  }
  AdoptDpi(dpi);
  GiveFonts();
  FitColumnsToHeaders(Control(kWallListViewFolder), kFolderColumns, Dpi());
  FitColumnsToHeaders(Control(kWallListViewFile), kFileColumns, Dpi());
}

int WallpaperPage::ContentRowHeight() const {
  WindowDc dc(Handle());
  SelectionRestorer font(dc.Get(), font_ ? static_cast<HGDIOBJ>(font_.Get()) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  return std::max<int>(Scale(12), metrics.tmHeight + Scale(2));
}

void WallpaperPage::Arrange(int width, int height) {
  const int side = PreviewSide(width);
  const int panelLeft = width - side;
  const int panelTop = height - side;
  SetBounds(preview_.Handle(), panelLeft, panelTop, side, side);
  preview_.SetSide(side);
  const int contentsHeight = panelTop - Scale(1);
  SetBounds(Control(kWallListBoxFolDir), panelLeft, 0, side, contentsHeight);
  const int listTop = Scale(kListTop);
  const int folderHeight = contentsHeight - listTop;
  const int listWidth = panelLeft - Scale(2);
  SetBounds(Control(kWallListViewFolder), 0, listTop, listWidth, folderHeight);
  const int fileTop = listTop + folderHeight + Scale(31);
  SetBounds(Control(kWallListViewFile), 0, fileTop, listWidth, height - fileTop);
  const int imageTop = fileTop - Scale(24);
  const int icon = Scale(16);
  SetBounds(Control(kWallImageFile), 0, imageTop, icon, icon);
  SetBounds(Control(kWallLabelFile), Scale(20), imageTop + Scale(5), Scale(100), Scale(16));
  SetBounds(Control(kWallImageFolder), 0, Scale(2), icon, icon);
  SetBounds(Control(kWallLabel1), Scale(20), Scale(7), Scale(100), Scale(16));
  for (int n = 0; n < 3; ++n) {
    const int left = Scale(kAddLeft + n * (kButtonWidth + 4));
    const int buttonWidth = Scale(kAddLeft + n * (kButtonWidth + 4) + kButtonWidth) - left;
    SetBounds(Control(kWallBitBtnWallAdd + n), left, 0, buttonWidth, Scale(kButtonHeight));
    SetBounds(Control(kWallBitBtnFileAdd + n), left, imageTop - Scale(3), buttonWidth, Scale(kButtonHeight));
  }
}

void WallpaperPage::ListsChanged() {
  SetRowCount(Control(kWallListViewFolder), Folders().size());
  SetRowCount(Control(kWallListViewFile), Files().size());
}

void WallpaperPage::ShowModel() {
  ListsChanged();
  FitColumnsToHeaders(Control(kWallListViewFolder), kFolderColumns, Dpi());
  FitColumnsToHeaders(Control(kWallListViewFile), kFileColumns, Dpi());
  RefreshFolderContents();
  // After a load the file buttons show for a non-empty list; then they follow the selection.
  const int show = Files().empty() ? SW_HIDE : SW_SHOW;
  ShowWindow(Control(kWallBitBtnFileDelete), show);
  ShowWindow(Control(kWallSpeedButtonFileSetup), show);
}

void WallpaperPage::Opening() { preview_.Clear(); }

Selection WallpaperPage::FolderSelection() const { return SelectionOf(Control(kWallListViewFolder)); }
Selection WallpaperPage::FileSelection() const { return SelectionOf(Control(kWallListViewFile)); }

void WallpaperPage::SelectFolders(const Selection& rows) {
  const HWND list = Control(kWallListViewFolder);
  SetRowState(list, -1, 0, LVIS_SELECTED);
  for (size_t n = 0; n < rows.size(); ++n)
    if (rows[n]) SetRowState(list, static_cast<int>(n), LVIS_SELECTED, LVIS_SELECTED);
}

void WallpaperPage::SelectFiles(const Selection& rows) {
  const HWND list = Control(kWallListViewFile);
  SetRowState(list, -1, 0, LVIS_SELECTED);
  for (size_t n = 0; n < rows.size(); ++n)
    if (rows[n]) SetRowState(list, static_cast<int>(n), LVIS_SELECTED, LVIS_SELECTED);
}

int WallpaperPage::FocusedFolder() const {
  return static_cast<int>(
      SendMessageW(Control(kWallListViewFolder), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void WallpaperPage::UpdateFolderButtons() {
  const int show = AnySelected(Control(kWallListViewFolder)) ? SW_SHOW : SW_HIDE;
  ShowWindow(Control(kWallBitBtnWallDelete), show);
  ShowWindow(Control(kWallSpeedButtonFolderSetup), show);
}

void WallpaperPage::UpdateFileButtons() {
  const int show = AnySelected(Control(kWallListViewFile)) ? SW_SHOW : SW_HIDE;
  ShowWindow(Control(kWallBitBtnFileDelete), show);
  ShowWindow(Control(kWallSpeedButtonFileSetup), show);
}

void WallpaperPage::RequestRefresh() {
  if (refreshPending_) return;
  refreshPending_ = true;
  PostMessageW(Handle(), kRefreshMessage, 0, 0);
}

void WallpaperPage::RefreshFolderContents() {
  refreshPending_ = false;
  // ListViewWall: the selected folder entries in list order; ListViewFileTmp: the scan.
  const Selection selected = FolderSelection();
  std::vector<FolderEntry> wall;
  for (size_t n = 0; n < selected.size() && n < Folders().size(); ++n)
    if (selected[n]) wall.push_back(Folders()[n]);
  std::vector<PictureEntry> scanned;
  if (!wall.empty()) CollectPictures(wall, scanned, form_->PicturePatterns(), ListDirectoryWin32);
  contents_ = BuildFolderContents(scanned, ShellNameOrder);
  const HWND list = Control(kWallListBoxFolDir);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_SETCOUNT, contents_.names.size(), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateFolderButtons();
}

void WallpaperPage::BitBtnWallAddClick() {
  const FormDirRequest request{"壁紙フォルダーの設定", lastFolder_, form_->PicturePatterns(), false};
  const std::optional<FormDirResult> result = picker_(Root(), request);
  if (!result) return;
  lastFolder_ = result->directory;
  FolderEntry entry;
  entry.path = result->directory;
  Folders().push_back(std::move(entry));
  SendMessageW(Control(kWallListViewFolder), LVM_SETITEMCOUNT, Folders().size(), LVSICF_NOSCROLL);
  UpdateFolderButtons();
}

void WallpaperPage::BitBtnFileAddClick() {
  const FormDirRequest request{"画像ファイルの設定", lastFolder_, form_->PicturePatterns(), true};
  const std::optional<FormDirResult> result = picker_(Root(), request);
  if (!result) return;
  lastFolder_ = result->directory;
  // A drive root already ends in "\": the name follows it directly.
  const bool rooted = !result->directory.empty() && result->directory.back() == '\\';
  for (const std::string& name : result->files) {
    PictureEntry entry;
    entry.path = result->directory + (rooted ? "" : "\\") + name;
    Files().push_back(std::move(entry));
  }
  SendMessageW(Control(kWallListViewFile), LVM_SETITEMCOUNT, Files().size(), LVSICF_NOSCROLL);
  UpdateFileButtons();
}

void WallpaperPage::BitBtnWallDeleteClick() {
  const HWND list = Control(kWallListViewFolder);
  const Selection selected = FolderSelection();
  const DeletionPlan plan = PlanDeletion(selected);
  if (!plan.removed.empty()) preview_.Clear();
  DeleteSelected(Folders(), selected);
  SetRowCount(list, Folders().size());
  if (plan.select) {
    const size_t kept = SortFoldersByPath(Folders(), *plan.select, SystemCompare);
    const int row = static_cast<int>(kept);
    SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
  }
  RefreshFolderContents();
}

void WallpaperPage::BitBtnFileDeleteClick() {
  const HWND list = Control(kWallListViewFile);
  const Selection selected = FileSelection();
  const DeletionPlan plan = PlanDeletion(selected);
  if (!plan.removed.empty()) preview_.Clear();
  DeleteSelected(Files(), selected);
  SetRowCount(list, Files().size());
  if (plan.select) SetRowState(list, static_cast<int>(*plan.select), LVIS_SELECTED, LVIS_SELECTED);
  UpdateFileButtons();
}

void WallpaperPage::SpeedButtonFolderSetupClick() {
  const Selection selected = FolderSelection();
  const SetupGathering gathering = GatherFolderSetup(Folders(), selected);
  if (!gathering.any) return;
  setup_.Fill(gathering, true);
  if (!setup_.Run()) return;
  ApplyFolderSetup(Folders(), selected, setup_.Texts());
  InvalidateRect(Control(kWallListViewFolder), nullptr, TRUE);
  RefreshFolderContents();
}

void WallpaperPage::SpeedButtonFileSetupClick() {
  const Selection selected = FileSelection();
  const SetupGathering gathering = GatherFileSetup(Files(), selected);
  if (!gathering.any) return;
  setup_.Fill(gathering, false);
  if (setup_.Run()) {
    ApplyFileSetup(Files(), selected, setup_.Texts());
    InvalidateRect(Control(kWallListViewFile), nullptr, TRUE);
  }
  ListViewFileClick();
}

void WallpaperPage::ShowPreview(const std::string& path, const std::string& tile, const std::string& size,
                                const std::string& position) {
  Picture picture;
  const PreviewLoader load = form_->PreviewLoad();
  if (load(path, picture)) {
    preview_.Show(std::move(picture));
    previewed_.path = path;
  }
  previewed_.tile = tile;
  previewed_.size = size;
  previewed_.position = position;
}

void WallpaperPage::ListViewFileClick() {
  const Selection selected = FileSelection();
  const auto last = std::find(selected.rbegin(), selected.rend(), true);
  if (last == selected.rend()) return;
  const size_t index = static_cast<size_t>(selected.rend() - last) - 1;
  if (index >= Files().size()) return;
  const PictureEntry entry = Files()[index];
  ShowPreview(entry.path, entry.tile, entry.size, entry.position);
}

void WallpaperPage::ListBoxFolDirClick() {
  const LRESULT n = SendMessageW(Control(kWallListBoxFolDir), LB_GETCURSEL, 0, 0);
  if (n < 0 || static_cast<size_t>(n) >= contents_.names.size()) return;
  const auto index = static_cast<size_t>(n);
  const ContentSource source = contents_.sources[index];
  Picture picture;
  // A picture that cannot be loaded leaves the preview and its texts as they were.
  if (!form_->PreviewLoad()(contents_.PathAt(index), picture)) return;
  preview_.Show(std::move(picture));
  previewed_ = {contents_.PathAt(index), kStandard, source.tile, source.size, source.position};
}

void WallpaperPage::ListBoxFolDirKeyDown(WORD key) {
  const LRESULT n = SendMessageW(Control(kWallListBoxFolDir), LB_GETCURSEL, 0, 0);
  if (n < 0 || static_cast<size_t>(n) >= contents_.names.size()) return;
  if (key == VK_DELETE) {
    const std::string path = contents_.PathAt(static_cast<size_t>(n));
    if (messageBox_(Root(), path + "を削除しますか？", "確認", MB_YESNO | MB_ICONQUESTION) == IDYES) {
      if (SendToRecycleBin(path))
        preview_.Clear();
      else
        messageBox_(Root(), "削除できませんでした", "エラーメッセージ", MB_OK | MB_ICONEXCLAMATION);
    }
  }
  RefreshFolderContents();
}

void WallpaperPage::ImageWallClick() {
  if (preview_.Shown().Empty() || previewed_.path.empty()) return;
  PictureEntry entry = previewed_;
  form_->InstallPreviewed(entry);
}

void WallpaperPage::FilesDropped(const std::vector<std::string>& paths) {
  const DroppedEntries dropped = SortDroppedPaths(paths, [](const std::string& path) {
    const DWORD attributes = GetFileAttributesW(ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kUnknown;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::kFolder : PathKind::kFile;
  });
  Folders().insert(Folders().end(), dropped.folders.begin(), dropped.folders.end());
  Files().insert(Files().end(), dropped.files.begin(), dropped.files.end());
  // The rows appear; buttons and folder contents wait for the next change of selection.
  SendMessageW(Control(kWallListViewFolder), LVM_SETITEMCOUNT, Folders().size(), LVSICF_NOSCROLL);
  SendMessageW(Control(kWallListViewFile), LVM_SETITEMCOUNT, Files().size(), LVSICF_NOSCROLL);
}

void WallpaperPage::DrawContentItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID < contents_.names.size()) {
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left += Scale(2);
    const std::wstring name = ToWide(contents_.names[item.itemID]);
    DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

LRESULT WallpaperPage::Notify(const NMHDR& header, LPARAM lParam) {
  const bool folders = header.idFrom == kWallListViewFolder;
  const bool files = header.idFrom == kWallListViewFile;
  if (!folders && !files) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& info = *reinterpret_cast<NMLVDISPINFOW*>(lParam);
      if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return 0;
      const auto row = static_cast<size_t>(info.item.iItem);
      std::string text;
      if (folders && row < Folders().size()) {
        const FolderEntry& f = Folders()[row];
        const std::string* columns[] = {&f.path, &f.subfolders, &f.displayTime, &f.tile, &f.size, &f.position};
        if (info.item.iSubItem >= 0 && info.item.iSubItem < 6) text = *columns[info.item.iSubItem];
      } else if (files && row < Files().size()) {
        const PictureEntry& f = Files()[row];
        const std::string* columns[] = {&f.path, &f.displayTime, &f.tile, &f.size, &f.position};
        if (info.item.iSubItem >= 0 && info.item.iSubItem < 5) text = *columns[info.item.iSubItem];
      }
      displayText_ = ToWide(text);
      lstrcpynW(info.item.pszText, displayText_.c_str(), info.item.cchTextMax);
      return 0;
    }
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
      if (folders) RequestRefresh();
      if (files) UpdateFileButtons();
      return 0;
    case NM_CLICK:
      if (files) ListViewFileClick();
      return 0;
    case LVN_BEGINLABELEDITW: {
      const HWND edit = reinterpret_cast<HWND>(SendMessageW(header.hwndFrom, LVM_GETEDITCONTROL, 0, 0));
      if (edit) SendMessageW(edit, EM_LIMITTEXT, kMaxDroppedPathChars, 0);
      return FALSE;
    }
    case LVN_ENDLABELEDITW: {
      const auto& info = *reinterpret_cast<const NMLVDISPINFOW*>(lParam);
      if (!info.item.pszText) return FALSE;  // edit cancelled
      // An entry edited to nothing keeps its path: an empty folder path would search the
      // root of the current drive, an empty file path is no picture.
      const std::optional<std::string> path = EditedPath(ToUtf8(info.item.pszText));
      const auto row = static_cast<size_t>(info.item.iItem);
      if (!path) return FALSE;
      if (folders && row < Folders().size()) {
        Folders()[row].path = *path;
        RequestRefresh();
      } else if (files && row < Files().size()) {
        Files()[row].path = *path;
      }
      InvalidateRect(header.hwndFrom, nullptr, TRUE);
      return TRUE;
    }
    default:
      return 0;
  }
}

LRESULT WallpaperPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      return Notify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kWallBitBtnWallAdd:
          BitBtnWallAddClick();
          break;
        case kWallBitBtnWallDelete:
          BitBtnWallDeleteClick();
          break;
        case kWallSpeedButtonFolderSetup:
          SpeedButtonFolderSetupClick();
          break;
        case kWallBitBtnFileAdd:
          BitBtnFileAddClick();
          break;
        case kWallBitBtnFileDelete:
          BitBtnFileDeleteClick();
          break;
        case kWallSpeedButtonFileSetup:
          SpeedButtonFileSetupClick();
          break;
        case kWallListBoxFolDir:
          if (HIWORD(wParam) == LBN_SELCHANGE) ListBoxFolDirClick();
          break;
        default:
          break;
      }
      return 0;
    case WM_VKEYTOITEM:
      if (reinterpret_cast<HWND>(lParam) == Control(kWallListBoxFolDir)) {
        if (SendMessageW(Control(kWallListBoxFolDir), LB_GETCURSEL, 0, 0) < 0) return -1;
        ListBoxFolDirKeyDown(LOWORD(wParam));
        return -2;  // handled: the list was rebuilt
      }
      return -1;
    case WM_MEASUREITEM: {
      auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure.CtlID != kWallListBoxFolDir) break;
      measure.itemHeight = static_cast<UINT>(ContentRowHeight());
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID != kWallListBoxFolDir) break;
      DrawContentItem(item);
      return TRUE;
    }
    case kRefreshMessage:
      if (refreshPending_) RefreshFolderContents();
      return 0;
    case WM_DROPFILES: {
      // A drop straight on the page (the window forwards the rest).
      const auto drop = reinterpret_cast<HDROP>(wParam);
      FilesDropped(DroppedPaths(drop));
      DragFinish(drop);
      return 0;
    }
    default:
      break;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace vorel
