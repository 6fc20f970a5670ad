#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cp858.h"

namespace {

TEST(ConvToAnsiCP, GermanTextAndTheEuroSignBecomeTheirAnsiBytes) {
  // Größe €, äÄöÖüÜ in code page 858.
  EXPECT_EQ(rt::ConvToAnsiCP("Gr\x94\xe1" "e \xd5"), "Gr\xf6\xdf" "e \x80");
  EXPECT_EQ(rt::ConvToAnsiCP("\x84\x8e\x94\x99\x81\x9a"), "\xe4\xc4\xf6\xd6\xfc\xdc");
  // Florin and the no-break space: 1252 has both, in different places.
  EXPECT_EQ(rt::ConvToAnsiCP("\x9f\xff"), "\x83\xa0");
  EXPECT_EQ(rt::ConvToAnsiCP(""), "");
}

TEST(ConvToAnsiCP, KeepsTheLengthAndMarksWhat1252Lacks) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string ansi = rt::ConvToAnsiCP(all);
  ASSERT_EQ(ansi.size(), all.size());
  EXPECT_EQ(ansi.substr(0, 0x80), all.substr(0, 0x80));  // ASCII and control bytes untouched
  // Box drawing, the double low line and the black square have no 1252 byte.
  for (unsigned char b : {0xb0, 0xb3, 0xc5, 0xcd, 0xdb, 0xf2, 0xfe}) EXPECT_EQ(ansi[b], '?') << int(b);
  // Every other character keeps a byte of its own: no two collapse into one.
  std::set<char> seen;
  size_t mapped = 0;
  for (int b = 0x80; b < 0x100; ++b) {
    if (ansi[b] == '?') continue;
    ++mapped;
    EXPECT_TRUE(seen.insert(ansi[b]).second) << "byte " << b;
    EXPECT_GE(static_cast<unsigned char>(ansi[b]), 0x80u) << "byte " << b;
  }
  EXPECT_EQ(mapped, 128u - 30u);
}

}  // namespace
