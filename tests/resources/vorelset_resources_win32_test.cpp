// Vorelset's pictures and version as Windows reads them from a program that links them: every
// icon carries the sizes Explorer and the tray ask for, the tray icons stand out on light and
// dark task bars and the paused one is plainly different, the bitmaps have their window sizes,
// and the version is the project's.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "resources/resource_ids.h"
#include "tests/resources/twice_drawn.h"

namespace vorel {
namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colourCount, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

// The sides of the images in an icon resource (a stored 0 means 256).
std::set<int> IconSides(int id) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  const HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
  if (group == nullptr) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(self, group)));
  const DWORD size = SizeofResource(self, group);
  if (data == nullptr || size < sizeof(GroupIconHeader)) return {};
  const auto* header = reinterpret_cast<const GroupIconHeader*>(data);
  std::set<int> sides;
  for (WORD i = 0; i < header->count; ++i) {
    const size_t at = sizeof(GroupIconHeader) + i * sizeof(GroupIconEntry);
    if (at + sizeof(GroupIconEntry) > size) break;
    const auto* entry = reinterpret_cast<const GroupIconEntry*>(data + at);
    EXPECT_EQ(entry->width, entry->height) << "icon " << id;
    sides.insert(entry->width == 0 ? 256 : entry->width);
  }
  return sides;
}

TEST(VorelsetIconSizesTest, EveryIconHasTheSizesItIsShownAt) {
  // Small and large icons from 100 % to 300 % and Explorer's largest; the settings window's
  // 16-pixel pictures from 100 % to 300 %.
  const std::set<int> program{16, 20, 24, 28, 32, 40, 48, 64, 96, 256}, small{16, 20, 24, 28, 32, 40, 48};
  const struct {
    int id;
    const std::set<int>& sides;
  } icons[] = {
      {IDI_APP, program},          {IDI_TRAY_RUNNING, program}, {IDI_TRAY_PAUSED, program}, {IDI_BTN_HELP, small},
      {IDI_BTN_SETUP, small},      {IDI_HEAD_COMMON, small},    {IDI_HEAD_RESIDENT, small}, {IDI_HEAD_ONESHOT, small},
      {IDI_PAGE_WALLPAPER, small}, {IDI_PAGE_CHANGE, small},    {IDI_PAGE_CALENDAR, small}, {IDI_PAGE_LINK, small},
      {IDI_PAGE_ENV, small},       {IDI_LABEL_FOLDER, small},   {IDI_LABEL_FILE, small},    {IDI_LABEL_VIEWER, small},
      {IDI_LABEL_PLUGIN, small},   {IDI_BTN_EXCLUDED, small},   {IDI_PAGE_KEYS, small},
  };
  for (const auto& icon : icons) {
    EXPECT_EQ(IconSides(icon.id), icon.sides) << "icon " << icon.id;
  }
}

int Luminance(std::uint32_t p) {
  return static_cast<int>((((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000);
}

// The icon drawn as the tray draws it, over a task bar of one colour; 0x00RRGGBB, top-down.
std::vector<std::uint32_t> RenderIcon(int id, int side, std::uint32_t background) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  const HICON icon = static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_ICON, side, side, 0));
  EXPECT_NE(icon, nullptr) << id;
  if (icon == nullptr) return {};
  const BITMAPINFO info = PictureDibInfo(side, side);
  void* bits = nullptr;
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  UniqueBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  EXPECT_TRUE(bitmap);
  if (!bitmap || bits == nullptr) {
    DestroyIcon(icon);
    return {};
  }
  const HGDIOBJ old = SelectObject(dc.Get(), bitmap.Get());
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int i = 0; i < side * side; ++i) pixels[i] = background;
  EXPECT_TRUE(DrawIconEx(dc.Get(), 0, 0, icon, side, side, 0, nullptr, DI_NORMAL));
  GdiFlush();
  std::vector<std::uint32_t> out(pixels, pixels + side * side);
  for (auto& p : out) p &= 0x00FFFFFF;
  SelectObject(dc.Get(), old);
  DestroyIcon(icon);
  return out;
}

bool IsOrange(std::uint32_t p) {
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  return r > 180 && r - b > 100 && r - g > 40;
}

class TrayIconTest : public testing::TestWithParam<int> {};

TEST_P(TrayIconTest, StandsOutOnLightAndDarkTaskBars) {
  const int side = GetParam();
  for (const int id : {IDI_TRAY_RUNNING, IDI_TRAY_PAUSED}) {
    for (const std::uint32_t bar : {0x00F3F3F3u, 0x00202020u, 0x00005A9Eu}) {
      SCOPED_TRACE(testing::Message() << "icon " << id << " side " << side << " bar " << std::hex << bar);
      const std::vector<std::uint32_t> pixels = RenderIcon(id, side, bar);
      ASSERT_EQ(pixels.size(), static_cast<size_t>(side * side));
      int contrasting = 0;
      for (const std::uint32_t p : pixels) {
        if (std::abs(Luminance(p) - Luminance(bar)) > 60) ++contrasting;
      }
      // A fifth of the square differs plainly from the bar: the icon's outline and content.
      EXPECT_GE(contrasting, side * side / 5);
    }
  }
}

TEST_P(TrayIconTest, PausedIsGreyWithAnOrangeMarkAndRunningIsNot) {
  const int side = GetParam();
  const std::vector<std::uint32_t> running = RenderIcon(IDI_TRAY_RUNNING, side, 0x00F3F3F3);
  const std::vector<std::uint32_t> paused = RenderIcon(IDI_TRAY_PAUSED, side, 0x00F3F3F3);
  ASSERT_EQ(running.size(), paused.size());
  ASSERT_FALSE(running.empty());
  int differing = 0, orangeRunning = 0, orangePaused = 0;
  for (size_t i = 0; i < running.size(); ++i) {
    const std::uint32_t r = running[i], p = paused[i];
    int delta = 0;
    for (const int shift : {0, 8, 16}) {
      delta += std::abs(static_cast<int>((r >> shift) & 0xFF) - static_cast<int>((p >> shift) & 0xFF));
    }
    if (delta > 60) ++differing;
    orangeRunning += IsOrange(r);
    orangePaused += IsOrange(p);
  }
  // The sky: blue while running, grey while paused (the navy frame is less blue than this).
  const auto sky = [](std::uint32_t p) { return static_cast<int>(p & 0xFF) - static_cast<int>((p >> 16) & 0xFF) > 60; };
  int skyRunning = 0, skyPaused = 0;
  for (size_t i = 0; i < running.size(); ++i) {
    skyRunning += sky(running[i]);
    skyPaused += sky(paused[i]);
  }
  const int area = side * side;
  EXPECT_GE(differing, area / 4);
  EXPECT_GE(orangePaused, area / 12) << "the pause mark is too small to see";
  EXPECT_EQ(orangeRunning, 0);
  EXPECT_GE(skyRunning, side * 3 / 4) << "the running scene should be in colour";
  EXPECT_EQ(skyPaused, 0) << "the paused scene should be grey";
}

// The small-icon sides of 100 %, 125 %, 150 %, 200 % and 300 %.
INSTANTIATE_TEST_SUITE_P(Sizes, TrayIconTest, testing::Values(16, 20, 24, 32, 48));

TEST(VorelsetBitmapsTest, HaveTheirWindowsSizesAndArePictures) {
  const struct {
    int id, width, height;
    size_t minColours;
  } bitmaps[] = {
      {IDB_ABOUT, 435, 126, 500}, {IDB_LOGO, 88, 32, 40}, {IDB_ABOUT_2X, 870, 252, 1000}, {IDB_LOGO_2X, 176, 64, 80}};
  for (const auto& b : bitmaps) {
    SCOPED_TRACE(b.id);
    const UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(b.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, b.width);
    EXPECT_EQ(std::abs(dib.dsBm.bmHeight), b.height);
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 24);
    std::set<std::uint32_t> colours;
    const auto* row0 = static_cast<const BYTE*>(dib.dsBm.bmBits);
    for (int y = 0; y < b.height; ++y) {
      const BYTE* row = row0 + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
      for (int x = 0; x < b.width; ++x) {
        colours.insert(row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16);
      }
    }
    EXPECT_GE(colours.size(), b.minColours);
  }
}

// The larger drawings, which every scale above 100 % is made from, show the same picture:
// the name and the version line where the design size has them. (The logo's small lettering
// is hinted differently at its two sizes; moved by a few pixels it would differ by over 30.)
TEST(VorelsetBitmapsTest, TheTwiceDrawnPicturesAreTheSamePictures) {
  EXPECT_LT(drawn::TwiceDrawnDifference(IDB_ABOUT, IDB_ABOUT_2X, 435, 126), 8.0);
  EXPECT_GE(drawn::TwiceDrawnDifference(IDB_ABOUT, IDB_ABOUT_2X, 435, 126), 0.0);
  EXPECT_LT(drawn::TwiceDrawnDifference(IDB_LOGO, IDB_LOGO_2X, 88, 32), 20.0);
  EXPECT_GE(drawn::TwiceDrawnDifference(IDB_LOGO, IDB_LOGO_2X, 88, 32), 0.0);
}

TEST(VorelsetVersionTest, IsTheProjectVersion) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(VOREL_VERSION_MAJOR << 16 | VOREL_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(VOREL_VERSION_PATCH << 16));
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + name;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(std::wstring(value), VOREL_VERSION_QUAD_W) << name;
  }
  wchar_t* description = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_EQ(std::wstring(description), L"Vorelset");
}

}  // namespace
}  // namespace vorel
