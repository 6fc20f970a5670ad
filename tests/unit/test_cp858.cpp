#include "cp858.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
  return s;
}

unsigned Unit(wchar_t w) { return static_cast<unsigned>(w); }

TEST(Cp858Table, EveryByteIsOneDistinctUnitAndRoundTrips) {
  const std::string bytes = AllBytes();
  const std::wstring wide = rt::Cp858ToWide(bytes);
  ASSERT_EQ(wide.size(), 256u);
  std::set<unsigned> units;
  for (wchar_t w : wide) units.insert(Unit(w));
  EXPECT_EQ(units.size(), 256u) << "two bytes share one character";
  EXPECT_EQ(rt::WideToCp858(wide), bytes);
}

TEST(Cp858Table, ControlBytesStayControlCharacters) {
  for (int b = 0; b < 0x80; ++b)
    EXPECT_EQ(Unit(rt::Cp858ToWide(std::string(1, static_cast<char>(b)))[0]), static_cast<unsigned>(b))
        << "byte " << b;
  EXPECT_EQ(rt::WideToCp858(L"a\r\nb\t\x7f"), "a\r\nb\t\x7f");
}

TEST(Cp858Table, GermanLettersAndEuro) {
  const struct {
    unsigned char byte;
    unsigned unit;
  } cases[] = {{0x81, 0x00FC}, {0x94, 0x00F6}, {0x84, 0x00E4}, {0xE1, 0x00DF}, {0x8E, 0x00C4},
               {0x99, 0x00D6}, {0x9A, 0x00DC}, {0xD5, 0x20AC}};
  for (const auto& c : cases) {
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(Unit(rt::Cp858ToWide(byte)[0]), c.unit) << std::hex << "byte 0x" << int(c.byte);
    EXPECT_EQ(rt::WideToCp858(std::wstring(1, static_cast<wchar_t>(c.unit))), byte)
        << std::hex << "U+" << c.unit;
  }
  EXPECT_EQ(rt::WideToCp858(L"Gr\u00fc\u00dfe 5 \u20ac"), "Gr\x81\xE1" "e 5 \xD5");
}

TEST(Cp858Table, SpotChecksAcrossTheUpperHalf) {
  const std::wstring wide = rt::Cp858ToWide(AllBytes());
  EXPECT_EQ(Unit(wide[0x80]), 0x00C7u);  // Ç
  EXPECT_EQ(Unit(wide[0x9F]), 0x0192u);  // ƒ
  EXPECT_EQ(Unit(wide[0xB0]), 0x2591u);  // light shade
  EXPECT_EQ(Unit(wide[0xC4]), 0x2500u);  // box drawing horizontal
  EXPECT_EQ(Unit(wide[0xCF]), 0x00A4u);  // currency sign
  EXPECT_EQ(Unit(wide[0xF0]), 0x00ADu);  // soft hyphen
  EXPECT_EQ(Unit(wide[0xF2]), 0x2017u);  // double low line
  EXPECT_EQ(Unit(wide[0xFE]), 0x25A0u);  // black square
  EXPECT_EQ(Unit(wide[0xFF]), 0x00A0u);  // no-break space
}

TEST(Cp858Table, WholeLatin1UpperHalfIsMappable) {
  for (unsigned u = 0xA0; u <= 0xFF; ++u) {
    const std::wstring w(1, static_cast<wchar_t>(u));
    const std::string b = rt::WideToCp858(w, '\0');
    ASSERT_EQ(b.size(), 1u);
    EXPECT_NE(b[0], '\0') << std::hex << "U+" << u;
    EXPECT_EQ(rt::Cp858ToWide(b), w) << std::hex << "U+" << u;
  }
}

TEST(Cp858Unmappable, BecomesFallback) {
  EXPECT_EQ(rt::WideToCp858(L"a\u4E2Db"), "a?b");
  EXPECT_EQ(rt::WideToCp858(L"\u4E2D", '_'), "_");
  EXPECT_EQ(rt::WideToCp858(L"\u0131"), "?") << "dotless i gave its place to the euro";
  EXPECT_EQ(rt::WideToCp858(L"\u0085\uFFFF"), "??");
  EXPECT_EQ(rt::WideToCp858(L""), "");
}

TEST(Cp858Unmappable, SurrogatesGiveOneFallbackPerCharacter) {
  const wchar_t pair[] = {L'x', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), L'y', 0};
  EXPECT_EQ(rt::WideToCp858(pair), "x?y");
  const wchar_t loneHigh[] = {static_cast<wchar_t>(0xD83D), L'A', 0};
  EXPECT_EQ(rt::WideToCp858(loneHigh), "?A");
  const wchar_t highAtEnd[] = {L'A', static_cast<wchar_t>(0xD83D), 0};
  EXPECT_EQ(rt::WideToCp858(highAtEnd), "A?");
  const wchar_t loneLow[] = {static_cast<wchar_t>(0xDE00), static_cast<wchar_t>(0xDE00), 0};
  EXPECT_EQ(rt::WideToCp858(loneLow), "??");
  const wchar_t twoHighs[] = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xD83D),
                              static_cast<wchar_t>(0xDE00), 0};
  EXPECT_EQ(rt::WideToCp858(twoHighs), "??");
  if constexpr (sizeof(wchar_t) == 4) {
    // A 32-bit wchar_t beyond UTF-16 is no code page character either.
    const wchar_t beyond[] = {static_cast<wchar_t>(0x1F600), static_cast<wchar_t>(0x100E9), 0};
    EXPECT_EQ(rt::WideToCp858(beyond), "??");
  }
}

// Text files: decoded where they say what they are (a mark, or UTF-8 with
// bytes above 127), everything else taken byte for byte as code page 858.
TEST(TextFileToCp858, DecodesOnlyWhatIdentifiesItself) {
  const struct {
    const char* what;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"code page 858 as the runtime writes it", "Gr\x81\xE1" "e \xD5", "Gr\x81\xE1" "e \xD5"},
      {"other high bytes, not UTF-8", "5 \x80 \x84x\x93\xFF", "5 \x80 \x84x\x93\xFF"},
      {"a lone lead byte at the end", "12\xC3", "12\xC3"},
      {"UTF-8", "\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC", "\x84\x94\x81 \xD5"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" "12,34", "12,34"},
      {"UTF-8 beyond the plane", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"UTF-8 mark, broken sequence", "\xEF\xBB\xBF\xC3(", "?("},
      {"overlong form is no UTF-8", "\xC0\xAE", "\xC0\xAE"},
      {"three-byte overlong form is no UTF-8", "\xE0\x80\x80", "\xE0\x80\x80"},
      {"smallest three-byte form is UTF-8", "\xE0\xA0\x80", "?"},
      {"four-byte overlong form is no UTF-8", "\xF0\x80\x80\x80", "\xF0\x80\x80\x80"},
      {"past U+10FFFF is no UTF-8", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
      {"encoded surrogate is no UTF-8", "\xED\xA0\x80", "\xED\xA0\x80"},
      {"UTF-16 LE", std::string("\xFF\xFE" "1\0,\0" "\xE4\0\xAC\x20", 10), "1,\x84\xD5"},
      {"UTF-16 BE", std::string("\xFE\xFF\0" "1\0,\0\xE4\x20\xAC", 10), "1,\x84\xD5"},
      {"UTF-16 pair and odd byte", std::string("\xFF\xFE\x3D\xD8\x00\xDE" "a\0" "b", 9), "?a?"},
      {"ASCII", "eins\r\nzwei", "eins\r\nzwei"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::TextFileToCp858(c.bytes), c.text) << c.what;
}

}  // namespace
