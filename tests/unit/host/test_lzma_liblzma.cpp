// The LZMA decoder against the host's encoder (liblzma, natively only): data
// with literals, near and far matches and runs, at literal and position
// settings the build's own streams never use, decodes to the same bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lzma.h"     // ours, rt::LzmaUnpack
#include LIBLZMA_HEADER  // the host's, by its path

namespace {

using Bytes = std::vector<uint8_t>;

// Random bytes, runs of one byte, and copies of earlier stretches: from near,
// from beyond a 4 KiB dictionary, and from exactly as far back as it reaches.
Bytes MixedData(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  const auto upTo = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n)(random); };
  Bytes data;
  while (data.size() < size) {
    const size_t length = 1 + upTo(300);
    switch (upTo(3)) {
      case 0:
        for (size_t i = 0; i < length; ++i) data.push_back(static_cast<uint8_t>(upTo(255)));
        break;
      case 1:
        data.insert(data.end(), length, static_cast<uint8_t>(upTo(255)));
        break;
      case 2:
        if (data.size() < 4096) break;
        for (size_t i = 0; i < length; ++i) data.push_back(data[data.size() - 4096]);
        break;
      default:
        if (data.empty()) break;
        for (size_t i = 0, from = data.size() - 1 - upTo(std::min<size_t>(data.size() - 1, 6000)); i < length; ++i)
          data.push_back(data[from + i]);
    }
  }
  data.resize(size);
  return data;
}

// `data` as liblzma's ".lzma" encoder writes it: unknown size, end marker.
Bytes Encode(const Bytes& data, uint32_t preset, unsigned lc, unsigned lp, unsigned pb) {
  lzma_options_lzma options;
  if (lzma_lzma_preset(&options, preset)) return {};
  options.lc = lc;
  options.lp = lp;
  options.pb = pb;
  options.dict_size = 4096;  // the smallest: far copies must be coded anew
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_alone_encoder(&stream, &options) != LZMA_OK) return {};
  Bytes out(data.size() + data.size() / 2 + 1024);
  stream.next_in = data.data();
  stream.avail_in = data.size();
  stream.next_out = out.data();
  stream.avail_out = out.size();
  const lzma_ret done = lzma_code(&stream, LZMA_FINISH);
  out.resize(stream.total_out);
  lzma_end(&stream);
  return done == LZMA_STREAM_END ? out : Bytes{};
}

TEST(LzmaAgainstLiblzma, DecodesWhatTheHostEncodesAtEverySetting) {
  const struct {
    unsigned lc, lp, pb;
    uint32_t preset;
  } settings[] = {
      {3, 0, 2, 6}, {0, 0, 0, 6}, {4, 0, 4, 9 | LZMA_PRESET_EXTREME}, {0, 4, 0, 6}, {1, 2, 3, 1}, {2, 2, 1, 3},
  };
  unsigned seed = 1;
  for (const auto& s : settings) {
    const std::string what = "lc " + std::to_string(s.lc) + ", lp " + std::to_string(s.lp) + ", pb " +
                             std::to_string(s.pb) + ", preset " + std::to_string(s.preset & 0xFF);
    const Bytes data = MixedData(40000, seed++);
    Bytes stream = Encode(data, s.preset, s.lc, s.lp, s.pb);
    ASSERT_FALSE(stream.empty()) << what << ": liblzma did not encode";
    EXPECT_EQ(rt::LzmaUnpack(stream, data.size()), data) << what;
    // The same with its size declared in the header (the end marker stays).
    for (int i = 0; i < 8; ++i) stream[5 + i] = static_cast<uint8_t>(uint64_t{data.size()} >> (8 * i));
    EXPECT_EQ(rt::LzmaUnpack(stream, data.size()), data) << what << ", size declared";
  }
}

}  // namespace
