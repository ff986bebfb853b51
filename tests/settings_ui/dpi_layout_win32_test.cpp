// The windows of both programs at the display scale the prefix was set to (tools/wine-dpi.sh runs
// this test at 96, 144 and 192 DPI, each in a session of its own): sizes and places are the
// 96-DPI design times the DPI ÷ 96, no caption is cut, the icons have the sizes the DPI asks for,
// and a window told of another DPI lays itself out for that one.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/display_scale.h"
#include "engine/registry.h"
#include "engine/settings.h"
#include "platform/dpi_win32.h"
#include "platform/strings.h"
#include "platform/win32_registry.h"
#include "resident/form_start_win32.h"
#include "settings_ui/control_table_win32.h"
#include "settings_ui/form_main_win32.h"
#include "settings_ui/form_own_calendar_win32.h"
#include "settings_ui/page_wallpaper_win32.h"
#include "settings_ui/table_page_win32.h"
#include "tests/fixtures/wine_test_support.h"

namespace vorel {
namespace {

// The scale the session was started for; 96 when the test runs in the project's own prefix.
int ExpectedDpi() {
  wchar_t text[16] = L"";
  if (!GetEnvironmentVariableW(L"VOREL_EXPECT_DPI", text, 16)) return 96;
  return std::max(1, _wtoi(text));
}

// Windows' own rule, which the design values are held to.
int At(int designValue, int dpi) { return MulDiv(designValue, dpi, 96); }

RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

SIZE ClientSize(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

// A control's place against a 96-DPI design place (left, top, width, height) at dpi: each edge
// within a pixel. A drop-down list is measured without its list.
void ExpectPlace(HWND control, const RECT& design, int dpi, const std::string& name, bool checkHeight = true) {
  const RECT r = RectInParent(control);
  EXPECT_NEAR(r.left, At(design.left, dpi), 1) << name;
  EXPECT_NEAR(r.top, At(design.top, dpi), 1) << name;
  EXPECT_NEAR(r.right - r.left, At(design.right, dpi), 1) << name;
  if (checkHeight) {
    EXPECT_NEAR(r.bottom - r.top, At(design.bottom, dpi), 1) << name;
  }
}

int FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfHeight;
}

int IconSide(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  const UniqueBitmap colour(info.hbmColor);
  const UniqueBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  GetObjectW(colour ? colour.Get() : mask.Get(), sizeof(bitmap), &bitmap);
  return bitmap.bmWidth;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

// The captions of a window's visible statics and buttons that do not fit their controls in
// their fonts, as "caption: needs N, has M".
std::vector<std::string> CutCaptions(HWND root, int dpi) {
  std::vector<HWND> children;
  EnumChildWindows(root, AddChild, reinterpret_cast<LPARAM>(&children));
  std::vector<std::string> cut;
  for (const HWND control : children) {
    if (!IsWindowVisible(control)) continue;
    wchar_t className[32] = L"";
    GetClassNameW(control, className, 32);
    const std::string text = WindowText(control);
    if (text.empty()) continue;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool isStatic = lstrcmpiW(className, L"STATIC") == 0;
    const bool isButton = lstrcmpiW(className, L"BUTTON") == 0;
    const LONG buttonKind = style & BS_TYPEMASK;
    // What the control itself takes beside its caption.
    int beside = 0;
    if (isStatic) {
      const LONG kind = style & SS_TYPEMASK;
      if (kind != SS_LEFT && kind != SS_CENTER && kind != SS_RIGHT && kind != SS_LEFTNOWORDWRAP) continue;
    } else if (isButton) {
      if (style & (BS_ICON | BS_BITMAP)) continue;  // a picture button shows no caption
      if (buttonKind == BS_AUTOCHECKBOX || buttonKind == BS_CHECKBOX || buttonKind == BS_AUTORADIOBUTTON ||
          buttonKind == BS_RADIOBUTTON)
        beside = At(13, dpi) + At(4, dpi);  // the box and the gap after it
      else if (buttonKind == BS_GROUPBOX)
        beside = At(14, dpi);  // the frame's corner before the caption and after it
      else
        beside = At(2, dpi);  // the button's edges
    } else {
      continue;
    }
    const WindowDc dc(control);
    const SelectionRestorer font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring wide = ToWide(text);
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &extent);
    // Upright, a caption may lose the leading above its letters but not the letters: the
    // inked height of its tallest glyph (a button centres it, a label sets it at the top
    // with the font's ascent above its base line).
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    int ink = 0;
    for (const wchar_t c : wide) {
      GLYPHMETRICS glyph{};
      const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
      if (GetGlyphOutlineW(dc.Get(), c, GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR) continue;
      const int bottom = isStatic ? metrics.tmAscent - glyph.gmptGlyphOrigin.y + static_cast<int>(glyph.gmBlackBoxY)
                                  : static_cast<int>(glyph.gmBlackBoxY);
      ink = std::max(ink, bottom);
    }
    const SIZE client = ClientSize(control);
    const bool groupBox = isButton && buttonKind == BS_GROUPBOX;
    if (isStatic && extent.cx > client.cx && (style & SS_TYPEMASK) != SS_LEFTNOWORDWRAP) {
      // A label of several lines: its words wrapped at its width must fit its height.
      RECT wrapped{0, 0, client.cx, 0};
      DrawTextW(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &wrapped, DT_WORDBREAK | DT_CALCRECT);
      if (wrapped.bottom > client.cy || wrapped.right > client.cx)
        cut.push_back(text + ": needs " + std::to_string(wrapped.right) + "x" + std::to_string(wrapped.bottom) +
                      " in lines, has " + std::to_string(client.cx) + "x" + std::to_string(client.cy));
      continue;
    }
    if (extent.cx + beside > client.cx || (!groupBox && ink > client.cy))
      cut.push_back(text + ": needs " + std::to_string(extent.cx + beside) + "x" + std::to_string(ink) + ", has " +
                    std::to_string(client.cx) + "x" + std::to_string(client.cy));
  }
  return cut;
}

class DpiLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    auto key = registry_.Open(kSettingsKeyPath, true);
    key->WriteText("WallFile", folder_.File("WallPaper.bmp"));
    key->WriteInt("Screen", 1);
    key->WriteInt("FileNum", 1);
    key->WriteText("WallFile0", folder_.File("空.bmp"));
    form_ = std::make_unique<TFormMain>(registry_, FormMainHooks{}, [] { return SystemTime{2026, 12, 9, 12, 0, 0}; });
    ASSERT_TRUE(form_->Create());
    ShowWindow(form_->Handle(), SW_SHOWNOACTIVATE);
    Pump();
  }
  void TearDown() override { form_.reset(); }

  // The design client size: the outer 498 × 352 less the frame Windows gives such a window at
  // 96 DPI.
  static SIZE DesignClient() {
    const SIZE frame = Frame(96);
    return {498 - frame.cx, 352 - frame.cy};
  }
  // The frame Windows gives the settings window at dpi.
  static SIZE Frame(int dpi) {
    return FrameExtent(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, dpi);
  }

  // Every table page's controls at their design places, those the page arranges by its size
  // at the places its rule gives, and the bottom bar where the window's rule puts it.
  void ExpectLayoutAt(int dpi) {
    const SIZE client = ClientSize(form_->Handle());
    const int change = client.cx - At(353, dpi);
    const int top = client.cy - At(28, dpi);
    const struct {
      const char* name;
      int left;
    } bar[] = {{"BitBtnChange", change},
               {"BitBtnOk", change + At(116, dpi)},
               {"BitBtnCancel", change + At(116 + 80, dpi)},
               {"SpeedButtonHelp", change + At(116 + 80 + 87, dpi)},
               {"SpeedButtonAbout", change + At(116 + 80 + 87 + 29, dpi)}};
    for (const auto& b : bar) {
      const RECT r = RectInParent(form_->Control(b.name));
      EXPECT_NEAR(r.left, b.left, 2) << b.name;
      EXPECT_NEAR(r.top, top, 1) << b.name;
      for (const ControlRow& row : BottomBarRows())
        if (row.name == std::string(b.name)) {
          EXPECT_NEAR(r.right - r.left, At(row.rect.right, dpi), 1) << b.name;
          EXPECT_NEAR(r.bottom - r.top, At(row.rect.bottom, dpi), 1) << b.name;
        }
    }
    EXPECT_NEAR(RectInParent(form_->TabControl()).bottom, client.cy - At(35, dpi), 1);

    const struct {
      int page;
      std::span<const ControlRow> rows;
    } pages[] = {{kPageChange, ChangePageRows()},
                 {kPageCalendar, CalendarPageRows()},
                 {kPageLink, LinkPageRows()},
                 {kPageUser, UserPageRows()},
                 {kPageKeys, KeysPageRows()}};
    for (const auto& page : pages) {
      form_->SelectPage(page.page);
      Pump();
      const SIZE area = ClientSize(form_->Page(page.page)->Handle());
      const auto* table = dynamic_cast<const TablePage*>(form_->Page(page.page));
      ASSERT_NE(table, nullptr);
      for (const ControlRow& row : page.rows) {
        const HWND control = table->Controls()[row.name];
        ASSERT_NE(control, nullptr) << row.name;
        if (row.rect.right == 0) continue;  // never shown
        RECT place = row.rect;
        // The arranged ones: widths and lefts from the page's width, the list's height from its
        // height, in design pixels of this DPI.
        const std::string name = row.name;
        const RECT r = RectInParent(control);
        if (name == "GroupBoxApp" || name == "ListBoxSusie") {
          EXPECT_EQ(r.right - r.left, area.cx) << name;
          if (name == "ListBoxSusie") {  // down to a line above the switch at the bottom
            EXPECT_NEAR(r.bottom - r.top, area.cy - At(165 + 24, dpi), 1) << name;
          }
          continue;
        }
        if (name == "CheckBoxSystemCodecs") {  // kept 20 design pixels above the page's bottom
          EXPECT_NEAR(r.top, area.cy - At(20, dpi), 1) << name;
          place.top = DesignForDpi(r.top, dpi);
        }
        if (name == "ButtonOwnCalendar") {  // at the foot of its page, 32 design pixels up
          EXPECT_NEAR(r.top, area.cy - At(32, dpi), 1) << name;
          place.top = DesignForDpi(r.top, dpi);
        }
        if (name.rfind("Edit", 0) == 0 && page.page != kPageCalendar) {
          EXPECT_NEAR(r.right - r.left, area.cx - At(78, dpi), 1) << name;
          place.right = DesignForDpi(r.right - r.left, dpi);
        }
        if (name.rfind("BitBtn", 0) == 0) {
          EXPECT_NEAR(r.left, area.cx - At(69, dpi), 1) << name;
          place.left = DesignForDpi(r.left, dpi);
        }
        ExpectPlace(control, place, dpi, name, row.kind != ControlKind::kComboList);
      }
    }
    // The page "壁紙" has its own rule: the buttons beside the labels, the lists below them.
    form_->SelectPage(kPageWallpaper);
    Pump();
    auto* wallpaper = dynamic_cast<WallpaperPage*>(form_->Page(kPageWallpaper));
    ASSERT_NE(wallpaper, nullptr);
    ExpectPlace(wallpaper->Control(kWallBitBtnWallAdd), {150, 0, 56, 24}, dpi, "BitBtnWallAdd");
    ExpectPlace(wallpaper->Control(kWallLabel1), {20, 7, 100, 16}, dpi, "Label1");
    EXPECT_NEAR(RectInParent(wallpaper->Control(kWallListViewFolder)).top, At(26, dpi), 1);
    // The button to the pictures never used again sits in the room between the file list's
    // label and its "追加", on the buttons' line, touching neither.
    const RECT excluded = RectInParent(wallpaper->Excluded().Handle());
    const RECT fileAdd = RectInParent(wallpaper->Control(kWallBitBtnFileAdd));
    EXPECT_EQ(excluded.top, fileAdd.top);
    EXPECT_EQ(excluded.bottom, fileAdd.bottom);
    EXPECT_LT(excluded.right, fileAdd.left);
    EXPECT_GE(excluded.left, RectInParent(wallpaper->Control(kWallLabelFile)).right);
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(SendMessageW(wallpaper->Control(kWallImageFolder), STM_GETICON, 0, 0))),
              At(16, dpi));

    // The fonts of the window: 12 and 19 design pixels.
    EXPECT_EQ(FontHeight(form_->Control("CheckBoxTile")), -At(12, dpi));
    EXPECT_EQ(FontHeight(form_->Control("MemoDelay")), -At(19, dpi));
    EXPECT_EQ(FontHeight(form_->Control("Label1")), -At(19, dpi));
    // The help glyph and the window's icons at the sizes of this DPI.
    EXPECT_EQ(
        IconSide(reinterpret_cast<HICON>(SendMessageW(form_->Control("SpeedButtonHelp"), BM_GETIMAGE, IMAGE_ICON, 0))),
        At(16, dpi));
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(SendMessageW(form_->Handle(), WM_GETICON, ICON_SMALL, 0))),
              MetricForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(IconSide(reinterpret_cast<HICON>(SendMessageW(form_->Handle(), WM_GETICON, ICON_BIG, 0))),
              MetricForDpi(SM_CXICON, dpi));
    // The logo is exactly its design size, not stretched by the control.
    BITMAP logo{};
    GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(form_->Control("ImageBrelkin"), STM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof(logo), &logo);
    EXPECT_EQ(logo.bmWidth, At(88, dpi));
    EXPECT_EQ(logo.bmHeight, At(32, dpi));
  }

  testing::TempFolder folder_;
  MemoryRegistry registry_;
  std::unique_ptr<TFormMain> form_;
};

TEST_F(DpiLayout, TheSessionHasTheScaleItWasStartedFor) {
  EXPECT_EQ(SystemDpi(), ExpectedDpi());
  EXPECT_EQ(form_->Dpi(), ExpectedDpi());
  EXPECT_EQ(WindowDpi(form_->Handle()), ExpectedDpi());
  // The one rule agrees with Windows' MulDiv wherever a design value may lie.
  for (const int dpi : {96, 120, 144, 168, 192, 288})
    for (int value = -3000; value <= 3000; ++value) ASSERT_EQ(ScaleForDpi(value, dpi), MulDiv(value, dpi, 96));
}

TEST_F(DpiLayout, TheSettingsWindowIsItsDesignAtTheScale) {
  const int dpi = ExpectedDpi();
  const SIZE design = DesignClient();
  const SIZE client = ClientSize(form_->Handle());
  EXPECT_NEAR(client.cx, At(design.cx, dpi), 1);
  EXPECT_NEAR(client.cy, At(design.cy, dpi), 1);
  // Outside: the scaled client in the frame of this DPI, which is also the smallest size.
  RECT outer{};
  GetWindowRect(form_->Handle(), &outer);
  const SIZE frame = Frame(dpi);
  EXPECT_NEAR(outer.right - outer.left, At(design.cx, dpi) + frame.cx, 1);
  EXPECT_NEAR(outer.bottom - outer.top, At(design.cy, dpi) + frame.cy, 1);
  MINMAXINFO limits{};
  SendMessageW(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, outer.right - outer.left);
  EXPECT_EQ(limits.ptMinTrackSize.y, outer.bottom - outer.top);
  ExpectLayoutAt(dpi);
}

TEST_F(DpiLayout, NoCaptionIsCutOnAnyPageOrDialog) {
  const int dpi = ExpectedDpi();
  for (int page = 0; page < kPageCount; ++page) {
    form_->SelectPage(page);
    Pump();
    EXPECT_EQ(CutCaptions(form_->Handle(), dpi), std::vector<std::string>{}) << "page " << page;
  }
  // The calendar page with the bar form shows its other labels.
  form_->SelectPage(kPageCalendar);
  const auto* calendar = dynamic_cast<const TablePage*>(form_->Page(kPageCalendar));
  ASSERT_NE(calendar, nullptr);
  SendMessageW(calendar->Controls().Radios("RadioGroupForm").at(1), BM_CLICK, 0, 0);
  Pump();
  ASSERT_EQ(form_->Model().calenForm, 1);
  EXPECT_EQ(CutCaptions(form_->Handle(), dpi), std::vector<std::string>{}) << "bar form";

  TFormStart about;
  ASSERT_TRUE(about.Create());
  ShowWindow(about.Handle(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_EQ(ClientSize(about.Handle()).cx, At(435, dpi));
  EXPECT_EQ(ClientSize(about.Handle()).cy, At(126, dpi));
  ExpectPlace(about.OkButton(), {347, 92, 80, 26}, dpi, "OK!");
  EXPECT_EQ(CutCaptions(about.Handle(), dpi), std::vector<std::string>{}) << "about";
  ShowWindow(about.Handle(), SW_HIDE);

  auto* wallpaper = dynamic_cast<WallpaperPage*>(form_->Page(kPageWallpaper));
  ASSERT_NE(wallpaper, nullptr);
  TFormFolderSetup& setup = wallpaper->FolderSetup();
  ShowWindow(setup.Handle(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_NEAR(ClientSize(setup.Handle()).cx, At(kFolderSetupClientWidth, dpi), 1);
  EXPECT_NEAR(ClientSize(setup.Handle()).cy, At(kFolderSetupClientHeight, dpi), 1);
  ExpectPlace(setup.Control(IDOK), {126, 234, 80, 26}, dpi, "OK");
  ExpectPlace(setup.Control(kSetupLabel4), {16, 152, 90, 16}, dpi, "Label4");
  EXPECT_EQ(CutCaptions(setup.Handle(), dpi), std::vector<std::string>{}) << "folder dialog";
  ShowWindow(setup.Handle(), SW_HIDE);

  TFormOwnCalendar* own = OwnCalendarDialog(form_->Page(kPageUser));
  ASSERT_NE(own, nullptr);
  ShowWindow(own->Handle(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_NEAR(ClientSize(own->Handle()).cx, At(kOwnCalendarClientWidth, dpi), 1);
  EXPECT_NEAR(ClientSize(own->Handle()).cy, At(kOwnCalendarClientHeight, dpi), 1);
  for (const ControlRow& row : OwnCalendarRows()) ExpectPlace(own->Control(row.name), row.rect, dpi, row.name,
                                                              row.kind != ControlKind::kComboList);
  EXPECT_EQ(CutCaptions(own->Handle(), dpi), std::vector<std::string>{}) << "own calendar dialog";
  ShowWindow(own->Handle(), SW_HIDE);

  TFormDir& picker = form_->Picker();
  ShowWindow(picker.Handle(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_NEAR(ClientSize(picker.Handle()).cx, At(495, dpi), 1);
  EXPECT_NEAR(ClientSize(picker.Handle()).cy, At(330, dpi), 1);
  ExpectPlace(picker.Control("DirectoryListBox"), {8, 48, 305, 249}, dpi, "DirectoryListBox");
  ExpectPlace(picker.Control("BitBtn2"), {176, 302, 97, 25}, dpi, "BitBtn2");
  EXPECT_EQ(CutCaptions(picker.Handle(), dpi), std::vector<std::string>{}) << "picker";
  ShowWindow(picker.Handle(), SW_HIDE);

  TFormExcluded& excluded = wallpaper->Excluded().Dialog();
  ShowWindow(excluded.Handle(), SW_SHOWNOACTIVATE);
  Pump();
  EXPECT_NEAR(ClientSize(excluded.Handle()).cx, At(440, dpi), 1);
  EXPECT_NEAR(ClientSize(excluded.Handle()).cy, At(250, dpi), 1);
  ExpectPlace(excluded.Controls()["ButtonClose"], {352, 216, 80, 26}, dpi, "ButtonClose");
  EXPECT_EQ(CutCaptions(excluded.Handle(), dpi), std::vector<std::string>{}) << "pictures never used again";
  ShowWindow(excluded.Handle(), SW_HIDE);
}

// The window moved to a monitor of another scale: it takes the place Windows suggests and lays
// itself out, fonts and pictures included, for the new DPI; and back.
TEST_F(DpiLayout, AWindowToldOfAnotherDpiLaysItselfOutForIt) {
  const int dpi = ExpectedDpi();
  for (const int next : {dpi == 192 ? 120 : 192, dpi}) {
    SCOPED_TRACE(next);
    RECT outer{};
    GetWindowRect(form_->Handle(), &outer);
    const SIZE design = DesignClient();
    // What Windows suggests: the design client in the frame of the new DPI. (The frame Wine
    // draws stays that of the session's DPI, so the client comes out a little larger.)
    RECT suggested{outer.left + 10, outer.top + 5, outer.left + 10 + At(design.cx, next) + Frame(next).cx,
                   outer.top + 5 + At(design.cy, next) + Frame(next).cy};
    SendMessageW(form_->Handle(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(form_->Dpi(), next);
    RECT now{};
    GetWindowRect(form_->Handle(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    MINMAXINFO limits{};
    SendMessageW(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_NEAR(limits.ptMinTrackSize.x, At(design.cx, next) + Frame(next).cx, 1);
    EXPECT_NEAR(limits.ptMinTrackSize.y, At(design.cy, next) + Frame(next).cy, 1);
    ExpectLayoutAt(next);

    // The picker and the about window keep their design size at the new DPI.
    TFormDir& picker = form_->Picker();
    RECT place{};
    GetWindowRect(picker.Handle(), &place);
    SendMessageW(picker.Handle(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&place));
    EXPECT_NEAR(ClientSize(picker.Handle()).cx, At(495, next), 1);
    ExpectPlace(picker.Control("BitBtn1"), {40, 302, 97, 25}, next, "BitBtn1");
    EXPECT_EQ(FontHeight(picker.Control("Edit")), -At(12, next));
  }
}

// The tray shows its icon at the small-icon size of its DPI, and makes it again when the DPI
// changes or Explorer starts again.
TEST_F(DpiLayout, TheTrayIconIsTheSmallIconOfItsDpi) {
  const int dpi = ExpectedDpi();
  TFormStart start;
  ASSERT_TRUE(start.Create());
  TTaskBar& tray = start.TaskBar();
  EXPECT_EQ(IconSide(tray.Record().hIcon), MetricForDpi(SM_CXSMICON, dpi));
  const int next = dpi == 192 ? 120 : 192;
  RECT nowhere{0, 0, 0, 0};
  SendMessageW(tray.Handle(), WM_DPICHANGED, MAKEWPARAM(next, next), reinterpret_cast<LPARAM>(&nowhere));
  EXPECT_EQ(IconSide(tray.Record().hIcon), MetricForDpi(SM_CXSMICON, next));
  // Explorer again: the icon is asked for at the DPI Windows now gives the tray's window.
  SendMessageW(tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(IconSide(tray.Record().hIcon), MetricForDpi(SM_CXSMICON, dpi));
  EXPECT_GT(MetricForDpi(SM_CXSMICON, 192), MetricForDpi(SM_CXSMICON, 96));
}

// Vorelrun's title window, which lives in its program: the title's design size at the scale.
TEST(VorelrunDpi, TheTitleIsItsDesignSizeAtTheScale) {
  const int dpi = ExpectedDpi();
  // A delay keeps the title up long enough to be measured; no candidates, so nothing changes.
  Win32Registry registry;
  const std::unique_ptr<RegistryKey> key = registry.Open(kSettingsKeyPath, true);
  ASSERT_TRUE(key);
  key->WriteInt("DelayTime", 2);
  std::wstring line = L"\"" + ToWide(testing::ExeFolder() + "..\\..\\Vorelrun.exe") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  const UniqueKernelHandle process(info.hProcess);
  const UniqueKernelHandle thread(info.hThread);
  HWND title = nullptr;
  for (int i = 0; i < 2000 && !(title && IsWindowVisible(title)); ++i) {
    title = FindWindowW(L"TFormMain.Vorelrun", nullptr);
    Sleep(10);
  }
  ASSERT_NE(title, nullptr);
  const SIZE client = ClientSize(title);
  EXPECT_EQ(client.cx, At(435, dpi));
  EXPECT_EQ(client.cy, At(126, dpi));
  EXPECT_EQ(WaitForSingleObject(process.Get(), 60000), static_cast<DWORD>(WAIT_OBJECT_0));
  key->WriteInt("DelayTime", 0);
}

}  // namespace
}  // namespace vorel
