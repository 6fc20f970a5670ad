#include <gtest/gtest.h>

#include "gui/native.h"

using namespace rt;

TEST(Fonts, CompoundNamesBecomeRealFonts) {
  HFONT bold = FontOf("9.Arial Fett");
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(bold, sizeof lf, &lf));
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  WindowDC screen(nullptr);
  EXPECT_EQ(lf.lfHeight, -MulDiv(9, GetDeviceCaps(screen.get(), LOGPIXELSY), 72));
  // The face drawn is Arial or a metric-compatible stand-in, never a random default.
  SelectInScope select(screen.get(), bold);
  wchar_t face[LF_FACESIZE];
  GetTextFaceW(screen.get(), LF_FACESIZE, face);
  EXPECT_TRUE(std::wstring(face) == L"Arial" || std::wstring(face) == L"Liberation Sans") << face;
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  EXPECT_GE(tm.tmWeight, FW_BOLD);

  // The cache hands out one font per name.
  EXPECT_EQ(FontOf("9.Arial Fett"), bold);
  EXPECT_NE(FontOf("9.Arial"), bold);
}

TEST(Colors, PaletteSystemAndRgb) {
  EXPECT_EQ(ColorOf(1), RGB(0, 0, 255));
  EXPECT_EQ(ColorOf(2), RGB(255, 0, 0));
  EXPECT_EQ(ColorOf(3), RGB(255, 0, 255));
  EXPECT_EQ(ColorOf(4), RGB(0, 255, 0));
  EXPECT_EQ(ColorOf(15), RGB(192, 192, 192));
  EXPECT_EQ(ColorOf(-40), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorOf(-58), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(ColorOf(16777216 + 10 + 20 * 256 + 30 * 65536), RGB(10, 20, 30));
}
