// Picture sets for scaled displays: the LZMA stream they are stored in, their
// table, and the area averaging that brings a picture to another size.
#include "pictures.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "lzma.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(std::string_view hex) {
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

// A set of three images (3x2 BGR, 2x2 BGRA, 8x8 BGR in two colours), made
// with "xz --format=lzma -9e": unknown size, end marker.
Bytes SmallSet() {
  return FromHex(
      "5d00000004ffffffffffffffff002b1406962f87bc4b5752d36267a8dc228dde33c8ad32de2be65bcd62b96f2846a682341"
      "80e1a9343ab26fa4cda8fa5b815907882e47cba90ac602a0036483fffae918000");
}

TEST(Lzma, UnpacksWithEndMarkerOrDeclaredSize) {
  const Bytes stream = SmallSet();
  const auto plain = rt::LzmaUnpack(stream, 1 << 20);
  ASSERT_TRUE(plain);
  ASSERT_EQ(plain->size(), 250u);
  EXPECT_EQ(Bytes(plain->begin(), plain->begin() + 4), (Bytes{'V', 'P', 'S', '1'}));
  // The last image: rows of four 11 22 33 and four 44 55 66 pixels.
  EXPECT_EQ((*plain)[250 - 3], 0x44);
  EXPECT_EQ((*plain)[250 - 24 * 8], 0x11);

  Bytes sized = stream;
  sized[5] = 250;
  for (int i = 6; i < 13; ++i) sized[i] = 0;
  EXPECT_EQ(rt::LzmaUnpack(sized, 1 << 20), plain);
  sized[5] = 249;  // ends inside the last match: the stream does not fit its header
  EXPECT_FALSE(rt::LzmaUnpack(sized, 1 << 20));
}

TEST(Lzma, RefusesDamageAndWhatExceedsTheLimit) {
  const Bytes stream = SmallSet();
  EXPECT_FALSE(rt::LzmaUnpack(stream, 249));
  for (size_t cut = 0; cut < stream.size(); ++cut)
    EXPECT_FALSE(rt::LzmaUnpack(std::span(stream).first(cut), 1 << 20)) << "cut at " << cut;
  Bytes props = stream;
  props[0] = 9 * 5 * 5;
  EXPECT_FALSE(rt::LzmaUnpack(props, 1 << 20));
  Bytes declared = stream;
  declared[12] = 1;  // 2^56 bytes
  EXPECT_FALSE(rt::LzmaUnpack(declared, 1 << 20));
}

TEST(PictureSet, UnpacksItsTable) {
  const auto set = rt::UnpackPictureSet(SmallSet());
  ASSERT_TRUE(set);
  ASSERT_EQ(set->size(), 3u);
  const struct {
    int width, height, channels;
  } expected[] = {{3, 2, 3}, {2, 2, 4}, {8, 8, 3}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ((*set)[i].width, expected[i].width);
    EXPECT_EQ((*set)[i].height, expected[i].height);
    EXPECT_EQ((*set)[i].channels, expected[i].channels);
    EXPECT_EQ((*set)[i].pixels.size(), size_t(expected[i].width * expected[i].height * expected[i].channels));
  }
  EXPECT_EQ((*set)[1].pixels[7], 128);  // alpha of the second pixel
}

// A set is its table and pixels, nothing more: one 1x1 BGR picture
// (11 22 33) as it should be, with a byte after it, and a byte short; made
// like SmallSet.
TEST(PictureSet, ItsPicturesEndExactlyWithItsData) {
  const struct {
    const char* what;
    const char* stream;
    bool accepted;
  } cases[] = {
      {"exact", "5d00000004ffffffffffffffff002b1406962f7495f190816cb9cd559af7ffffe9d10000", true},
      {"a byte after the last picture",
       "5d00000004ffffffffffffffff002b1406962f7495f190816cb9cd54251f0ad8fff5998000", false},
      {"a byte short", "5d00000004ffffffffffffffff002b1406962f7495f190816cba119863ffffd4ef0000", false},
  };
  for (const auto& c : cases) {
    const auto set = rt::UnpackPictureSet(FromHex(c.stream));
    ASSERT_EQ(set.has_value(), c.accepted) << c.what;
    if (set) {
      EXPECT_EQ(set->at(0).pixels, (Bytes{0x11, 0x22, 0x33})) << c.what;
    }
  }
}

rt::PictureImage Image(int w, int h, int channels, Bytes pixels) { return {w, h, channels, std::move(pixels)}; }

TEST(Resample, AveragesTheAreaEachPixelCovers) {
  const struct {
    const char* what;
    rt::PictureImage from;
    int width, height;
    Bytes expected;
  } cases[] = {
      {"same size", Image(2, 1, 3, {1, 2, 3, 4, 5, 6}), 2, 1, {1, 2, 3, 4, 5, 6}},
      {"halved", Image(2, 2, 3, {0, 0, 0, 100, 100, 100, 200, 200, 200, 100, 100, 100}), 1, 1, {100, 100, 100}},
      // 3 -> 2: the middle pixel is shared half and half.
      {"three to two", Image(3, 1, 3, {0, 0, 0, 90, 90, 90, 180, 180, 180}), 2, 1, {30, 30, 30, 150, 150, 150}},
      // Doubled: each pixel repeated, nothing in between.
      {"doubled", Image(2, 1, 3, {0, 0, 0, 200, 200, 200}), 4, 1,
       {0, 0, 0, 0, 0, 0, 200, 200, 200, 200, 200, 200}},
      // A transparent pixel's colour does not darken its opaque neighbour.
      {"alpha weighted", Image(2, 1, 4, {0, 0, 0, 0, 80, 160, 240, 255}), 1, 1, {80, 160, 240, 128}},
  };
  for (const auto& c : cases) {
    const rt::PictureImage to = rt::Resample(c.from, c.width, c.height);
    EXPECT_EQ(to.pixels, c.expected) << c.what;
    EXPECT_EQ(to.width, c.width) << c.what;
    EXPECT_EQ(to.channels, c.from.channels) << c.what;
  }
}

TEST(Resample, PicksTheExactOrTheNextLargerImage) {
  const std::vector<rt::PictureImage> set{Image(2, 2, 3, Bytes(12, 20)), Image(4, 4, 3, Bytes(48, 40)),
                                          Image(8, 8, 3, Bytes(192, 80))};
  const struct {
    int size;
    uint8_t from;  // the value of the image used
  } cases[] = {{4, 40}, {3, 40}, {5, 80}, {1, 20}, {10, 80}};
  for (const auto& c : cases) {
    const rt::PictureImage picked = rt::PictureAtSize(set, c.size, c.size);
    EXPECT_EQ(picked.width, c.size);
    ASSERT_FALSE(picked.pixels.empty());
    EXPECT_EQ(picked.pixels[0], c.from) << "size " << c.size;
  }
  EXPECT_TRUE(rt::PictureAtSize({}, 4, 4).pixels.empty());
}

}  // namespace
