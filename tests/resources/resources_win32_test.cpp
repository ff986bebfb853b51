// Vorelrun's resources as Windows reads them from a program that links them: the title picture,
// the icon, the version information and the manifest with its effect on the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cwctype>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/unique_handle.h"
#include "resources/resource_ids.h"
#include "tests/resources/twice_drawn.h"

namespace vorel {
namespace {

constexpr int kTitleWidth = 435;
constexpr int kTitleHeight = 126;

struct Rgb {
  double r, g, b;
};

Rgb MeanOf(const std::vector<std::uint32_t>& pixels, int left, int top, int width, int height) {
  Rgb sum{0, 0, 0};
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      const std::uint32_t p = pixels[static_cast<size_t>(y) * kTitleWidth + x];
      sum.r += (p >> 16) & 0xFF;
      sum.g += (p >> 8) & 0xFF;
      sum.b += p & 0xFF;
    }
  }
  const double n = static_cast<double>(width) * height;
  return {sum.r / n, sum.g / n, sum.b / n};
}

double Distance(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

int Luminance(std::uint32_t p) {
  return static_cast<int>((((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000);
}

// Both ways a program can load the picture: the parent's DIB section and the old device bitmap.
class TitleBitmapTest : public testing::TestWithParam<bool> {
 protected:
  UniqueBitmap Load() const {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    if (GetParam()) {
      return UniqueBitmap(
          static_cast<HBITMAP>(LoadImageW(self, MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    return UniqueBitmap(LoadBitmapW(self, MAKEINTRESOURCEW(IDB_TITLE)));
  }
};

TEST_P(TitleBitmapTest, IsAFullSizePictureWithALegibleName) {
  const UniqueBitmap title = Load();
  ASSERT_TRUE(title);
  BITMAP info{};
  ASSERT_NE(GetObjectW(title.Get(), sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, kTitleWidth);
  EXPECT_EQ(info.bmHeight, kTitleHeight);

  const std::vector<std::uint32_t> pixels = drawn::BitmapPixels(title.Get(), kTitleWidth, kTitleHeight);
  ASSERT_EQ(pixels.size(), static_cast<size_t>(kTitleWidth) * kTitleHeight);
  const std::unordered_set<std::uint32_t> colours(pixels.begin(), pixels.end());
  EXPECT_GE(colours.size(), 500u) << "a flat or posterised picture";

  // The middle of the window shows something other than what its corners show.
  constexpr int kBox = 12;
  const Rgb middle = MeanOf(pixels, (kTitleWidth - 4 * kBox) / 2, (kTitleHeight - 2 * kBox) / 2, 4 * kBox, 2 * kBox);
  const struct {
    int left, top;
  } corners[] = {{2, 2},
                 {kTitleWidth - 2 - kBox, 2},
                 {2, kTitleHeight - 2 - kBox},
                 {kTitleWidth - 2 - kBox, kTitleHeight - 2 - kBox}};
  for (const auto& c : corners) {
    EXPECT_GT(Distance(middle, MeanOf(pixels, c.left, c.top, kBox, kBox)), 30.0) << c.left << "," << c.top;
  }

  // The name sits in the upper left as dark strokes on a light sky: both must be plentiful there.
  int dark = 0, light = 0;
  for (int y = 0; y < kTitleHeight / 2; ++y) {
    for (int x = 0; x < kTitleWidth / 2; ++x) {
      const int l = Luminance(pixels[static_cast<size_t>(y) * kTitleWidth + x]);
      if (l < 80) ++dark;
      if (l > 160) ++light;
    }
  }
  EXPECT_GE(dark, 800);
  EXPECT_GE(light, 2000);
}

INSTANTIATE_TEST_SUITE_P(Loaders, TitleBitmapTest, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "DibSection" : "Device"; });

// The larger drawing, which every scale above 100 % is made from, shows the same picture.
TEST(TitleDrawingTest, TheTwiceDrawnTitleIsTheSamePicture) {
  const double difference = drawn::TwiceDrawnDifference(IDB_TITLE, IDB_TITLE_2X, kTitleWidth, kTitleHeight);
  EXPECT_GE(difference, 0.0) << "a drawing does not load";
  EXPECT_LT(difference, 8.0);
}

TEST(AppIconTest, HasEverySizeWindowsAsksFor) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  // Shared icon from LoadIconW: owned by the system, not destroyed here.
  const HICON icon = LoadIconW(self, MAKEINTRESOURCEW(IDI_APP));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  const UniqueBitmap colour(info.hbmColor);
  const UniqueBitmap mask(info.hbmMask);
  BITMAP bm{};
  ASSERT_NE(GetObjectW(colour.Get(), sizeof(bm), &bm), 0);
  EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXICON));

  const HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* directory = static_cast<PBYTE>(LockResource(LoadResource(self, group)));
  ASSERT_NE(directory, nullptr);
  // Small and large icons from 100 % to 300 % (the 256-pixel image is compressed).
  for (const int side : {16, 20, 24, 28, 32, 40, 48, 64, 96}) {
    SCOPED_TRACE(side);
    const int id = LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
    ASSERT_NE(id, 0);
    const HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, image)));
    ASSERT_NE(header, nullptr);
    ASSERT_GE(SizeofResource(self, image), sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(header->biWidth, side);
    EXPECT_EQ(header->biHeight, 2 * side);  // colour and mask
    EXPECT_EQ(header->biBitCount, 32);
  }
}

TEST(VersionInfoTest, ReadsBackThroughTheVersionApi) {
  wchar_t path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

  struct Translation {
    WORD language, codePage;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(
      VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, sizeof(Translation));
  EXPECT_EQ(translation->language, 0x0411);
  EXPECT_EQ(translation->codePage, 1200);

  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } strings[] = {
      {L"CompanyName", L"Brelkin"},           {L"ProductName", L"Vorel"},   {L"FileDescription", L"Vorelrun"},
      {L"OriginalFilename", L"Vorelrun.exe"}, {L"FileVersion", L"1.0.0.0"}, {L"ProductVersion", L"1.0.0.0"},
  };
  for (const auto& s : strings) {
    SCOPED_TRACE(testing::Message() << s.name);
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + s.name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
    EXPECT_EQ(std::wstring(value), s.value);
  }
}

TEST(ManifestTest, IsEmbeddedAndInForce) {
  const HINSTANCE self = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(self, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(self, found)));
  ASSERT_NE(data, nullptr);
  const std::string manifest(data, SizeofResource(self, found));
  for (const char* needle :
       {"Microsoft.Windows.Common-Controls", "6595b64144ccf1df", "<dpiAware", "PerMonitorV2", "asInvoker",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
  }

  // The loader took the manifest as the process's own: its settings are in force and the common
  // controls come from the side-by-side version 6 assembly.
  const struct {
    const wchar_t* settingsNamespace;
    const wchar_t* name;
    const wchar_t* value;
  } settings[] = {
      {nullptr, L"dpiAware", L"true/PM"},
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness", L"PerMonitorV2, PerMonitor"},
  };
  for (const auto& setting : settings) {
    wchar_t value[64] = L"";
    SIZE_T written = 0;
    EXPECT_TRUE(
        QueryActCtxSettingsW(0, nullptr, setting.settingsNamespace, setting.name, value, std::size(value), &written))
        << GetLastError();
    EXPECT_EQ(std::wstring(value), setting.value);
  }
  const UniqueModule comctl(LoadLibraryW(L"comctl32.dll"));
  ASSERT_TRUE(comctl);
  wchar_t loaded[MAX_PATH] = L"";
  ASSERT_GT(GetModuleFileNameW(comctl.Get(), loaded, MAX_PATH), 0u);
  std::wstring lower(loaded);
  for (auto& c : lower) c = static_cast<wchar_t>(towlower(c));
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."), std::wstring::npos);
}

}  // namespace
}  // namespace vorel
