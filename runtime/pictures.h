// Pictures a program carries at more than one size, for display scaling. A
// picture's set is one LZMA stream (see lzma.h) holding a table and the
// pixels of each size:
//   "VPS1", count (u16), per image: width (u16), height (u16), channels (u8:
//   3 for BGR, 4 for BGRA with straight alpha), 0 (u8); then the pixels of
//   each image in table order, rows from the top, no padding.
// Numbers are little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rt {

struct PictureImage {
  int width = 0;
  int height = 0;
  int channels = 0;  // 3: B, G, R; 4: B, G, R, A
  std::vector<uint8_t> pixels;
};

// Limits of a set, so that a damaged one cannot ask for much memory.
inline constexpr int kMaxPictureSide = 4096;
inline constexpr size_t kMaxPictureSetBytes = size_t{64} << 20;

// The images of a set; nothing when it is damaged or breaks the limits.
std::optional<std::vector<PictureImage>> UnpackPictureSet(std::span<const uint8_t> stream);

// The picture at `width` x `height`: each target pixel is the average of the
// source area it covers, so a larger image comes down without blur. Colours
// of images with alpha are weighted by it.
PictureImage Resample(const PictureImage& from, int width, int height);

// What `set` offers at `width` x `height`: an image of exactly that size, or
// the smallest larger one brought down, or the largest one brought up. An
// empty image for an empty set or a size of nothing.
PictureImage PictureAtSize(const std::vector<PictureImage>& set, int width, int height);

}  // namespace rt
