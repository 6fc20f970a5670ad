#include "lzma.h"

#include <algorithm>
#include <array>

namespace rt {

namespace {

using Prob = uint16_t;
constexpr Prob kProbInit = 1 << 10;
constexpr int kStates = 12;
constexpr int kPosStatesMax = 1 << 4;
constexpr int kEndPosModel = 14;
constexpr int kFullDistances = 128;
constexpr uint32_t kEndMarker = 0xFFFFFFFF;

// A read past the end of the stream, or a code no encoder writes, sets
// `failed`; the decoding loop checks it on every step.
class RangeDecoder {
 public:
  explicit RangeDecoder(std::span<const uint8_t> in) : in_(in) {
    if (next() != 0) failed = true;
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | next();
    if (code_ == range_) failed = true;
  }

  unsigned bit(Prob& p) {
    const uint32_t bound = (range_ >> 11) * p;
    unsigned b;
    if (code_ < bound) {
      range_ = bound;
      p = static_cast<Prob>(p + (((1u << 11) - p) >> 5));
      b = 0;
    } else {
      range_ -= bound;
      code_ -= bound;
      p = static_cast<Prob>(p - (p >> 5));
      b = 1;
    }
    normalize();
    return b;
  }

  uint32_t direct(int count) {
    uint32_t result = 0;
    while (count-- > 0) {
      range_ >>= 1;
      code_ -= range_;
      const uint32_t t = 0u - (code_ >> 31);
      code_ += range_ & t;
      if (code_ == range_) failed = true;
      normalize();
      result = (result << 1) + (t + 1);
    }
    return result;
  }

  // A stream that ended with its marker leaves nothing in the coder.
  bool finishedCleanly() const { return code_ == 0; }
  bool failed = false;

 private:
  uint8_t next() {
    if (at_ >= in_.size()) {
      failed = true;
      return 0;
    }
    return in_[at_++];
  }
  void normalize() {
    if (range_ < (1u << 24)) {
      range_ <<= 8;
      code_ = (code_ << 8) | next();
    }
  }

  std::span<const uint8_t> in_;
  size_t at_ = 0;
  uint32_t range_ = 0xFFFFFFFF;
  uint32_t code_ = 0;
};

template <int Bits>
struct BitTree {
  std::array<Prob, 1u << Bits> probs;
  BitTree() { probs.fill(kProbInit); }
  uint32_t decode(RangeDecoder& rc) {
    uint32_t m = 1;
    for (int i = 0; i < Bits; ++i) m = (m << 1) + rc.bit(probs[m]);
    return m - (1u << Bits);
  }
  uint32_t reverse(RangeDecoder& rc) { return ReverseDecode(probs.data(), Bits, rc); }

  static uint32_t ReverseDecode(Prob* probs, int bits, RangeDecoder& rc) {
    uint32_t m = 1, symbol = 0;
    for (int i = 0; i < bits; ++i) {
      const unsigned b = rc.bit(probs[m]);
      m = (m << 1) + b;
      symbol |= b << i;
    }
    return symbol;
  }
};

struct LengthDecoder {
  Prob choice = kProbInit, choice2 = kProbInit;
  std::array<BitTree<3>, kPosStatesMax> low, mid;
  BitTree<8> high;
  uint32_t decode(RangeDecoder& rc, unsigned posState) {
    if (!rc.bit(choice)) return low[posState].decode(rc);
    if (!rc.bit(choice2)) return 8 + mid[posState].decode(rc);
    return 16 + high.decode(rc);
  }
};

struct Model {
  std::vector<Prob> literals;
  std::array<Prob, kStates * kPosStatesMax> isMatch, isRep0Long;
  std::array<Prob, kStates> isRep, isRepG0, isRepG1, isRepG2;
  std::array<BitTree<6>, 4> posSlot;
  std::array<Prob, 1 + kFullDistances - kEndPosModel> posSpecial;
  BitTree<4> align;
  LengthDecoder length, repLength;

  explicit Model(unsigned literalStates) : literals(0x300u * literalStates, kProbInit) {
    for (auto* a : {&isMatch, &isRep0Long}) a->fill(kProbInit);
    for (auto* a : {&isRep, &isRepG0, &isRepG1, &isRepG2}) a->fill(kProbInit);
    posSpecial.fill(kProbInit);
  }
};

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::optional<std::vector<uint8_t>> LzmaUnpack(std::span<const uint8_t> stream, size_t limit) {
  constexpr size_t kHeader = 13;
  if (stream.size() < kHeader) return std::nullopt;
  unsigned props = stream[0];
  if (props >= 9 * 5 * 5) return std::nullopt;
  const unsigned lc = props % 9;
  props /= 9;
  const unsigned lp = props % 5, pb = props / 5;
  // More literal contexts than any encoder setting gives would only cost memory.
  if (lc + lp > 8) return std::nullopt;
  const uint32_t dictionary = std::max<uint32_t>(Le32(stream, 1), 1u << 12);
  uint64_t declared = Le32(stream, 5) | (static_cast<uint64_t>(Le32(stream, 9)) << 32);
  const bool sized = declared != ~uint64_t{0};
  if (sized && declared > limit) return std::nullopt;
  const size_t wanted = sized ? static_cast<size_t>(declared) : limit;

  RangeDecoder rc(stream.subspan(kHeader));
  Model m(1u << (lc + lp));
  std::vector<uint8_t> out;
  out.reserve(sized ? wanted : 0);
  uint32_t rep[4] = {0, 0, 0, 0};
  unsigned state = 0;
  const size_t posMask = (size_t{1} << pb) - 1, litPosMask = (size_t{1} << lp) - 1;

  while (!rc.failed) {
    if (sized && out.size() == wanted) return out;  // an end marker may follow; it adds nothing
    const unsigned posState = static_cast<unsigned>(out.size() & posMask);
    if (!rc.bit(m.isMatch[state * kPosStatesMax + posState])) {
      if (out.size() >= wanted) return std::nullopt;
      const unsigned previous = out.empty() ? 0 : out.back();
      const size_t litState = ((out.size() & litPosMask) << lc) + (previous >> (8 - lc));
      Prob* probs = &m.literals[0x300 * litState];
      unsigned symbol = 1;
      if (state >= 7 && rep[0] < out.size()) {
        // After a match the byte at the match distance guides the coder.
        unsigned matchByte = out[out.size() - rep[0] - 1];
        while (symbol < 0x100) {
          const unsigned matchBit = (matchByte >> 7) & 1;
          matchByte <<= 1;
          const unsigned b = rc.bit(probs[((1 + matchBit) << 8) + symbol]);
          symbol = (symbol << 1) | b;
          if (matchBit != b) break;
        }
      }
      while (symbol < 0x100) symbol = (symbol << 1) | rc.bit(probs[symbol]);
      out.push_back(static_cast<uint8_t>(symbol));
      state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
      continue;
    }
    uint32_t length;
    if (rc.bit(m.isRep[state])) {
      if (out.empty()) return std::nullopt;
      if (!rc.bit(m.isRepG0[state])) {
        if (!rc.bit(m.isRep0Long[state * kPosStatesMax + posState])) {
          // One byte again from the last distance.
          if (rep[0] >= out.size() || out.size() >= wanted) return std::nullopt;
          out.push_back(out[out.size() - rep[0] - 1]);
          state = state < 7 ? 9 : 11;
          continue;
        }
      } else {
        uint32_t distance;
        if (!rc.bit(m.isRepG1[state])) {
          distance = rep[1];
        } else {
          if (!rc.bit(m.isRepG2[state])) {
            distance = rep[2];
          } else {
            distance = rep[3];
            rep[3] = rep[2];
          }
          rep[2] = rep[1];
        }
        rep[1] = rep[0];
        rep[0] = distance;
      }
      length = m.repLength.decode(rc, posState);
      state = state < 7 ? 8 : 11;
    } else {
      rep[3] = rep[2];
      rep[2] = rep[1];
      rep[1] = rep[0];
      length = m.length.decode(rc, posState);
      state = state < 7 ? 7 : 10;
      const uint32_t slot = m.posSlot[std::min<uint32_t>(length, 3)].decode(rc);
      uint32_t distance = slot;
      if (slot >= 4) {
        const int direct = static_cast<int>(slot >> 1) - 1;
        distance = (2 | (slot & 1)) << direct;
        if (slot < kEndPosModel) {
          distance += BitTree<1>::ReverseDecode(&m.posSpecial[distance - slot], direct, rc);
        } else {
          distance += rc.direct(direct - 4) << 4;
          distance += m.align.reverse(rc);
        }
      }
      rep[0] = distance;
      if (rep[0] == kEndMarker) {
        if (rc.failed || !rc.finishedCleanly() || (sized && out.size() != wanted)) return std::nullopt;
        return out;
      }
    }
    if (rep[0] >= out.size() || rep[0] >= dictionary) return std::nullopt;
    length += 2;
    if (length > wanted - out.size()) return std::nullopt;
    for (uint32_t i = 0; i < length; ++i) out.push_back(out[out.size() - rep[0] - 1]);
  }
  return std::nullopt;
}

}  // namespace rt
