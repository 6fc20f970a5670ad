#include "pictures.h"

#include <algorithm>

#include "lzma.h"

namespace rt {

namespace {

unsigned Le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

// For each target pixel along one axis, the source pixels it covers and how
// much of each, in 1/target of a source pixel: the weights of a pixel add up
// to the source size.
struct Cover {
  int source;
  int64_t weight;
};

std::vector<std::vector<Cover>> Covers(int sourceSize, int targetSize) {
  std::vector<std::vector<Cover>> covers(static_cast<size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    const int64_t from = int64_t{i} * sourceSize, to = int64_t{i + 1} * sourceSize;
    for (int64_t j = from / targetSize; j * targetSize < to && j < sourceSize; ++j) {
      const int64_t overlap = std::min(to, (j + 1) * targetSize) - std::max(from, j * targetSize);
      if (overlap > 0) covers[static_cast<size_t>(i)].push_back({static_cast<int>(j), overlap});
    }
  }
  return covers;
}

}  // namespace

std::optional<std::vector<PictureImage>> UnpackPictureSet(std::span<const uint8_t> stream) {
  const std::optional<std::vector<uint8_t>> unpacked = LzmaUnpack(stream, kMaxPictureSetBytes);
  if (!unpacked) return std::nullopt;
  const std::vector<uint8_t>& b = *unpacked;
  if (b.size() < 6 || b[0] != 'V' || b[1] != 'P' || b[2] != 'S' || b[3] != '1') return std::nullopt;
  const size_t count = Le16(b, 4);
  size_t at = 6 + 6 * count;
  if (b.size() < at) return std::nullopt;
  std::vector<PictureImage> set(count);
  for (size_t i = 0; i < count; ++i) {
    PictureImage& image = set[i];
    const size_t entry = 6 + 6 * i;
    image.width = static_cast<int>(Le16(b, entry));
    image.height = static_cast<int>(Le16(b, entry + 2));
    image.channels = b[entry + 4];
    if (image.width < 1 || image.height < 1 || image.width > kMaxPictureSide || image.height > kMaxPictureSide ||
        (image.channels != 3 && image.channels != 4))
      return std::nullopt;
    const size_t bytes = static_cast<size_t>(image.width) * image.height * image.channels;
    if (b.size() - at < bytes) return std::nullopt;
    const auto from = b.begin() + static_cast<std::ptrdiff_t>(at);
    image.pixels.assign(from, from + static_cast<std::ptrdiff_t>(bytes));
    at += bytes;
  }
  if (at != b.size()) return std::nullopt;
  return set;
}

PictureImage Resample(const PictureImage& from, int width, int height) {
  PictureImage to{width, height, from.channels, {}};
  if (width < 1 || height < 1 || from.width < 1 || from.height < 1) return {};
  to.pixels.resize(static_cast<size_t>(width) * height * from.channels);
  const auto xs = Covers(from.width, width), ys = Covers(from.height, height);
  const int n = from.channels;
  const bool alpha = n == 4;
  const int64_t area = int64_t{from.width} * from.height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int64_t sum[4] = {0, 0, 0, 0};
      for (const Cover& cy : ys[static_cast<size_t>(y)]) {
        for (const Cover& cx : xs[static_cast<size_t>(x)]) {
          const uint8_t* p = &from.pixels[(static_cast<size_t>(cy.source) * from.width + cx.source) * n];
          const int64_t w = cy.weight * cx.weight;
          const int64_t a = alpha ? p[3] : 1;
          for (int c = 0; c < 3; ++c) sum[c] += w * a * p[c];
          if (alpha) sum[3] += w * p[3];
        }
      }
      uint8_t* q = &to.pixels[(static_cast<size_t>(y) * width + x) * n];
      // The weights of one target pixel add up to the source's area.
      const int64_t total = alpha ? sum[3] : area;
      for (int c = 0; c < 3; ++c) q[c] = total > 0 ? static_cast<uint8_t>((sum[c] + total / 2) / total) : 0;
      if (alpha) q[3] = static_cast<uint8_t>((sum[3] + area / 2) / area);
    }
  }
  return to;
}

PictureImage PictureAtSize(const std::vector<PictureImage>& set, int width, int height) {
  const PictureImage* best = nullptr;
  for (const PictureImage& image : set) {
    if (image.width == width && image.height == height) return image;
    const bool larger = image.width >= width && image.height >= height;
    if (!best) {
      best = &image;
      continue;
    }
    const bool bestLarger = best->width >= width && best->height >= height;
    const long long size = static_cast<long long>(image.width) * image.height;
    const long long bestSize = static_cast<long long>(best->width) * best->height;
    if (larger ? !bestLarger || size < bestSize : !bestLarger && size > bestSize) best = &image;
  }
  return best ? Resample(*best, width, height) : PictureImage{};
}

}  // namespace rt
