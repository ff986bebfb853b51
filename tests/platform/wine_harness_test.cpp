// The ground the Wine tests stand on: the Japanese code page, the Japanese fonts and Wine's own.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

TEST(WineHarness, RunsWithTheJapaneseAnsiCodePage) {
  EXPECT_EQ(GetACP(), 932u);
  // "壁紙" in Shift-JIS.
  const std::string sjis = "\x95\xC7\x8E\x86";
  EXPECT_EQ(AnsiToUtf8(sjis), "壁紙");
  EXPECT_EQ(Utf8ToAnsi("壁紙"), sjis);
  EXPECT_EQ(ToUtf8(ToWide("ＭＳ Ｐゴシック")), "ＭＳ Ｐゴシック");
}

TEST(WineHarness, ScreenIs1024By768) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

struct FontFacts {
  std::string face;
  bool fixedPitch;
  int narrowWidth;
  int wideWidth;
};

FontFacts Measure(const char* faceUtf8) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  LOGFONTW lf{};
  lf.lfHeight = -24;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  wcsncpy(lf.lfFaceName, ToWide(faceUtf8).c_str(), LF_FACESIZE - 1);
  UniqueFont font(CreateFontIndirectW(&lf));
  SelectionRestorer sel(dc.Get(), font.Get());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc.Get(), LF_FACESIZE, face);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.Get(), &tm);
  SIZE narrow{}, wide{};
  GetTextExtentPoint32W(dc.Get(), L"iiii", 4, &narrow);
  GetTextExtentPoint32W(dc.Get(), L"MMMM", 4, &wide);
  // TMPF_FIXED_PITCH set means the font is NOT fixed pitch (a historical quirk of the API).
  return {ToUtf8(face), (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0, narrow.cx, wide.cx};
}

TEST(WineHarness, JapaneseProportionalFontsResolveToTheIpaFaces) {
  struct Case {
    const char* requested;
    const char* wantedFace;
  } cases[] = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"MS PGothic", "IPAPGothic"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},
      {"MS PMincho", "IPAPMincho"},
  };
  for (const Case& c : cases) {
    FontFacts f = Measure(c.requested);
    EXPECT_TRUE(f.face == c.wantedFace || f.face == c.requested) << c.requested << " resolved to " << f.face;
    EXPECT_FALSE(f.fixedPitch) << c.requested;
    EXPECT_LT(f.narrowWidth, f.wideWidth) << c.requested << " must be proportional";
  }
}

// The caption buttons of every title bar are glyphs of Marlett; without it they are letters.
TEST(WineHarness, TheCaptionButtonFontIsThere) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = SYMBOL_CHARSET;
  wcscpy(lf.lfFaceName, L"Marlett");
  UniqueFont font(CreateFontIndirectW(&lf));
  SelectionRestorer sel(dc.Get(), font.Get());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc.Get(), LF_FACESIZE, face);
  EXPECT_STREQ(face, L"Marlett");
}

TEST(WineHarness, JapaneseTextIsMeasuredWithFullWidthGlyphs) {
  UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  LOGFONTW lf{};
  lf.lfHeight = -20;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  wcscpy(lf.lfFaceName, ToWide("ＭＳ Ｐゴシック").c_str());
  UniqueFont font(CreateFontIndirectW(&lf));
  SelectionRestorer sel(dc.Get(), font.Get());
  const std::wstring text = ToWide("日曜日");
  SIZE size{};
  ASSERT_TRUE(GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size));
  EXPECT_GE(size.cx, 3 * 16);
  EXPECT_LE(size.cx, 3 * 24);
}

}  // namespace
}  // namespace vorel
