#include <gtest/gtest.h>

#include "fontname.h"

using rt::ParseCompoundName;

TEST(CompoundFontName, SizeFaceAndStyleWords) {
  auto f = ParseCompoundName("9.Arial Fett");
  EXPECT_EQ(f.points, 9);
  EXPECT_EQ(f.face, "Arial");
  EXPECT_TRUE(f.bold);
  EXPECT_FALSE(f.italic);

  f = ParseCompoundName("10.Times New Roman");
  EXPECT_EQ(f.points, 10);
  EXPECT_EQ(f.face, "Times New Roman");
  EXPECT_FALSE(f.bold);

  f = ParseCompoundName("18.Tahoma Fett Kursiv");
  EXPECT_EQ(f.face, "Tahoma");
  EXPECT_TRUE(f.bold);
  EXPECT_TRUE(f.italic);

  f = ParseCompoundName("8.MS Sans Serif");
  EXPECT_EQ(f.points, 8);
  EXPECT_EQ(f.face, "MS Sans Serif");
}

TEST(CompoundFontName, WithoutSizeOrWithOddBlanks) {
  auto f = ParseCompoundName("Courier New");
  EXPECT_EQ(f.points, 0);
  EXPECT_EQ(f.face, "Courier New");

  f = ParseCompoundName(" 12 . Arial  Bold ");
  EXPECT_EQ(f.points, 12);
  EXPECT_EQ(f.face, "Arial");
  EXPECT_TRUE(f.bold);

  // A face that is only a style word stays a face.
  f = ParseCompoundName("8.Fett");
  EXPECT_EQ(f.face, "Fett");
  EXPECT_FALSE(f.bold);
}
