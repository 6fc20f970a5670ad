// The LZMA decoder on streams no real encoder writes: matches that reach
// before the first byte. A small encoder here writes exactly the symbols a
// case needs.
#include "lzma.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Prob = uint16_t;

// The range coder the decoder reads, and the part of its model that
// literals, matches with distances below 5 and short repeats use, for
// lc = lp = pb = 0 (one literal table, one position state).
class TinyEncoder {
 public:
  void literal(uint8_t byte) {
    bit(isMatch_[state_], 0);
    tree(literals_.data(), 8, byte);
    state_ = state_ < 4 ? 0 : state_ < 10 ? state_ - 3 : state_ - 6;
  }
  // A match `length` (2 to 9) bytes long, from `distance` + 1 bytes back.
  void match(unsigned distance, unsigned length) {
    bit(isMatch_[state_], 1);
    bit(isRep_[state_], 0);
    bit(lengthChoice_, 0);
    tree(lengthLow_.data(), 3, length - 2);
    state_ = state_ < 7 ? 7 : 10;
    tree(posSlot_[std::min(length - 2, 3u)].data(), 6, distance);
  }
  // One byte again from the last match distance.
  void shortRep() {
    bit(isMatch_[state_], 1);
    bit(isRep_[state_], 1);
    bit(isRepG0_[state_], 0);
    bit(isRep0Long_[state_], 0);
    state_ = state_ < 7 ? 9 : 11;
  }
  // The whole stream: header with the declared size, then the coded symbols.
  Bytes finish(uint64_t declaredSize) {
    for (int i = 0; i < 5; ++i) shiftLow();
    Bytes stream{0, 0x00, 0x10, 0x00, 0x00};  // lc = lp = pb = 0; 4 KiB dictionary
    for (int i = 0; i < 8; ++i) stream.push_back(static_cast<uint8_t>(declaredSize >> (8 * i)));
    stream.insert(stream.end(), out_.begin(), out_.end());
    return stream;
  }

 private:
  void bit(Prob& p, unsigned b) {
    const uint32_t bound = (range_ >> 11) * p;
    if (b == 0) {
      range_ = bound;
      p = static_cast<Prob>(p + (((1u << 11) - p) >> 5));
    } else {
      low_ += bound;
      range_ -= bound;
      p = static_cast<Prob>(p - (p >> 5));
    }
    while (range_ < (1u << 24)) {
      range_ <<= 8;
      shiftLow();
    }
  }
  void tree(Prob* probs, int bits, unsigned symbol) {
    unsigned m = 1;
    for (int i = bits - 1; i >= 0; --i) {
      const unsigned b = (symbol >> i) & 1;
      bit(probs[m], b);
      m = (m << 1) | b;
    }
  }
  void shiftLow() {
    if (static_cast<uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
      uint8_t carry = cache_;
      do {
        out_.push_back(static_cast<uint8_t>(carry + (low_ >> 32)));
        carry = 0xFF;
      } while (--pending_ != 0);
      cache_ = static_cast<uint8_t>(low_ >> 24);
    }
    ++pending_;
    low_ = (low_ & 0x00FFFFFF) << 8;
  }

  template <size_t N>
  static std::array<Prob, N> Fresh() {
    std::array<Prob, N> a;
    a.fill(1 << 10);
    return a;
  }

  uint64_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFF;
  uint8_t cache_ = 0;
  uint64_t pending_ = 1;
  Bytes out_;
  unsigned state_ = 0;
  std::array<Prob, 12> isMatch_ = Fresh<12>(), isRep_ = Fresh<12>(), isRepG0_ = Fresh<12>(),
                       isRep0Long_ = Fresh<12>();
  std::array<Prob, 0x300> literals_ = Fresh<0x300>();
  Prob lengthChoice_ = 1 << 10;
  std::array<Prob, 8> lengthLow_ = Fresh<8>();
  std::array<std::array<Prob, 64>, 4> posSlot_{Fresh<64>(), Fresh<64>(), Fresh<64>(), Fresh<64>()};
};

TEST(Lzma, AMatchThatReachesBeforeTheFirstByteIsRefused) {
  const struct {
    const char* what;
    std::string literals;
    int distance;  // of a two-byte match after the literals; -1: a short repeat instead
    const char* expected;  // nullptr: refused
  } cases[] = {
      {"from the first byte", "ab", 1, "abab"},
      {"from one byte before it", "ab", 2, nullptr},
      {"before any byte", "", 0, nullptr},
      {"a short repeat", "a", -1, "aa"},
      {"a short repeat before any byte", "", -1, nullptr},
  };
  for (const auto& c : cases) {
    TinyEncoder encoder;
    for (char ch : c.literals) encoder.literal(static_cast<uint8_t>(ch));
    if (c.distance >= 0) {
      encoder.match(static_cast<unsigned>(c.distance), 2);
    } else {
      encoder.shortRep();
    }
    const auto plain = rt::LzmaUnpack(encoder.finish(c.literals.size() + (c.distance >= 0 ? 2 : 1)), 64);
    if (c.expected) {
      ASSERT_TRUE(plain) << c.what;
      EXPECT_EQ(std::string(plain->begin(), plain->end()), c.expected) << c.what;
    } else {
      EXPECT_FALSE(plain) << c.what;
    }
  }
}

}  // namespace
