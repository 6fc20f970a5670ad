// Picture sets from the program's resources: whatever the bytes, unpacking
// stays in its buffers and its limits, and what it accepts is consistent.
#include <cstdint>
#include <cstdlib>

#include "lzma.h"
#include "pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kLimit = 1 << 20;
  const std::span<const uint8_t> bytes(data, size);
  if (const auto plain = rt::LzmaUnpack(bytes, kLimit); plain && plain->size() > kLimit) std::abort();
  const auto set = rt::UnpackPictureSet(bytes);
  if (!set) return 0;
  for (const rt::PictureImage& image : *set) {
    if (image.pixels.size() != size_t(image.width) * image.height * image.channels) std::abort();
    // Any size from any image, within reason.
    const int w = 1 + (image.width * 3) % 17, h = 1 + (image.height * 5) % 13;
    const rt::PictureImage scaled = rt::PictureAtSize(*set, w, h);
    if (scaled.width != w || scaled.height != h || scaled.pixels.size() != size_t(w) * h * scaled.channels)
      std::abort();
  }
  return 0;
}
