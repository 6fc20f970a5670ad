#include "format.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace rt {
namespace {

// 15 significant digits is what a double holds reliably: printing with that
// many gives the decimal the programmer meant (977.915, not 977.91499999...).
constexpr int kSignificant = 15;
// The no-break blank of code page 858.
constexpr char kNoBreakBlank = '\xff';
// The euro sign of code page 858.
constexpr char kEuroSign = '\xd5';

constexpr uint64_t kPow10[] = {1ull,
                               10ull,
                               100ull,
                               1000ull,
                               10000ull,
                               100000ull,
                               1000000ull,
                               10000000ull,
                               100000000ull,
                               1000000000ull,
                               10000000000ull,
                               100000000000ull,
                               1000000000000ull,
                               10000000000000ull,
                               100000000000000ull,
                               1000000000000000ull,
                               10000000000000000ull,
                               100000000000000000ull,
                               1000000000000000000ull,
                               10000000000000000000ull};
constexpr uint64_t kLowest15 = kPow10[kSignificant - 1];  // 10^14
constexpr uint64_t kAbove15 = kPow10[kSignificant];       // 10^15

struct Picture {
  bool german = false;
  bool hasTemplate = false;
  size_t intDigits = 0;
  size_t decimals = 0;
  size_t width = 0;
};

Picture ParsePicture(std::string_view picture) {
  Picture p;
  std::string_view tmpl = picture;
  if (!tmpl.empty() && tmpl.front() == '@') {
    const size_t end = tmpl.find(' ');
    const std::string_view functions = tmpl.substr(1, end == std::string_view::npos ? end : end - 1);
    p.german = functions.find_first_of("Nn") != std::string_view::npos;
    tmpl = end == std::string_view::npos ? std::string_view{} : tmpl.substr(end);
    while (!tmpl.empty() && tmpl.front() == ' ') tmpl.remove_prefix(1);
  }
  p.hasTemplate = !tmpl.empty();
  p.width = tmpl.size();
  bool afterPoint = false;
  for (char c : tmpl) {
    if (c == '.' && !afterPoint)
      afterPoint = true;
    else if (c == '9' || c == '#')
      ++(afterPoint ? p.decimals : p.intDigits);
  }
  return p;
}

// --- exact binary <-> decimal on integers ---------------------------------
// 32-bit x86 has no 128-bit type, and its x87 arithmetic rounds twice: the
// conversions below use integers only.

struct U128 {
  uint64_t hi = 0, lo = 0;
};

U128 Mul(uint64_t a, uint64_t b) {
  const uint64_t a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t mid = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xffffffffu)};
}

bool BitAt(const U128& x, int i) { return i < 64 ? (x.lo >> i) & 1 : (x.hi >> (i - 64)) & 1; }

// Whether any of the bits below bit i is set.
bool AnyBelow(const U128& x, int i) {
  if (i <= 0) return false;
  if (i < 64) return (x.lo & ((uint64_t{1} << i) - 1)) != 0;
  if (i == 64) return x.lo != 0;
  return x.lo != 0 || (x.hi & ((uint64_t{1} << (i - 64)) - 1)) != 0;
}

int BitLength(const U128& x) {
  int n = 0;
  for (uint64_t w = x.hi ? x.hi : x.lo; w; w >>= 1) ++n;
  return x.hi ? n + 64 : n;
}

// (x + a fraction that is non-zero when `sticky`) / 2^r, rounded half to
// even; the result must fit 64 bits.
uint64_t ShiftRoundEven(const U128& x, int r, bool sticky = false) {
  if (r == 0) return x.lo;
  const uint64_t q = r >= 64 ? x.hi >> (r - 64) : (x.lo >> r) | (x.hi << (64 - r));
  const bool up = BitAt(x, r - 1) && (sticky || AnyBelow(x, r - 1) || (q & 1));
  return q + (up ? 1 : 0);
}

// The double nearest (x + sticky fraction) * 2^e2.
double RoundToDouble(const U128& x, bool sticky, int e2) {
  const int length = BitLength(x);
  if (length <= 53) return std::ldexp(static_cast<double>(x.lo), e2);  // exact (sticky never set here)
  int r = length - 53;
  uint64_t m = ShiftRoundEven(x, r, sticky);
  if (m >> 53) {  // rounded up to 2^53
    m >>= 1;
    ++r;
  }
  return std::ldexp(static_cast<double>(m), e2 + r);
}

// x / d and whether a remainder is left, for a divisor below 2^32.
U128 Divide(const U128& x, uint32_t d, bool& remainder) {
  const uint32_t limbs[4] = {static_cast<uint32_t>(x.hi >> 32), static_cast<uint32_t>(x.hi),
                             static_cast<uint32_t>(x.lo >> 32), static_cast<uint32_t>(x.lo)};
  uint32_t q[4];
  uint64_t r = 0;
  for (int i = 0; i < 4; ++i) {
    const uint64_t cur = (r << 32) | limbs[i];
    q[i] = static_cast<uint32_t>(cur / d);
    r = cur % d;
  }
  remainder = r != 0;
  return {(uint64_t{q[0]} << 32) | q[1], (uint64_t{q[2]} << 32) | q[3]};
}

// A non-negative finite double rounded to 15 significant digits (half to
// even on its exact binary value): digits * 10^(exponent - 14), digits in
// [10^14, 10^15); zero has digits 0.
struct Significant {
  uint64_t digits = 0;
  int exponent = 0;  // of the leading digit
};

// m * 10^s * 2^e rounded half to even, for 0 <= s <= 18 and a negative
// binary exponent after scaling (true for 1e-4 <= m * 2^e < 1e15).
uint64_t Scaled(uint64_t m, int e, int s) {
  uint64_t five = 1;
  for (int i = 0; i < s; ++i) five *= 5;
  return ShiftRoundEven(Mul(m, five), -(e + s));
}

Significant ExtremeToSignificant(uint64_t m, int e);

Significant ToSignificant(double value) {
  Significant out;
  if (value == 0) return out;
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const int biased = static_cast<int>(bits >> 52) & 0x7ff;
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int e = biased - 1075;
  // floor(log10 of the lower power of two): the leading digit's exponent or
  // one less (78913 / 2^18 is just below log10 2).
  const int k = ((e + 52) * 78913) >> 18;
  if (biased != 0 && k >= -4 && k <= 13) {
    // The amounts' range, in integers.
    out.exponent = k;
    out.digits = Scaled(m, e, kSignificant - 1 - k);
    if (out.digits >= kAbove15) {
      ++out.exponent;
      out.digits = Scaled(m, e, kSignificant - 2 - k);
    }
  } else {
    // Everything else on big integers, slowly but exactly.
    out = ExtremeToSignificant(biased ? m : bits & ((uint64_t{1} << 52) - 1), biased ? e : -1074);
  }
  if (out.digits >= kAbove15) {  // rounded up to the next power of ten
    out.digits /= 10;
    ++out.exponent;
  }
  return out;
}

// The decimal digits of n, at least `minimum` of them (zeros in front).
void AppendDigits(std::string& out, uint64_t n, size_t minimum) {
  char buf[24];
  char* end = buf + sizeof buf;
  char* p = end;
  // One 64-bit division splits off nine digits that 32-bit arithmetic does.
  while (n > 0xffffffffu) {
    uint32_t low = static_cast<uint32_t>(n % 1000000000u);
    n /= 1000000000u;
    for (int i = 0; i < 9; ++i, low /= 10) *--p = static_cast<char>('0' + low % 10);
  }
  for (uint32_t rest = static_cast<uint32_t>(n); rest; rest /= 10) *--p = static_cast<char>('0' + rest % 10);
  const size_t length = static_cast<size_t>(end - p);
  if (length < minimum) out.append(minimum - length, '0');
  out.append(p, end);
}

std::string Overflow(const Picture& p) { return std::string(p.hasTemplate ? p.width : 1, '*'); }

// The amount `units` * 10^-decimals under a picture with a template.
std::string LayOut(uint64_t units, bool negative, const Picture& p) {
  std::string out;
  out.reserve(24);
  std::string text;
  AppendDigits(text, units, p.decimals + 1);
  const size_t intLength = text.size() - p.decimals;
  // "@N" shows every integer digit; the fixed-width form only as many as
  // the template has positions for.
  if (!p.german && intLength > p.intDigits && !(intLength == 1 && text[0] == '0')) return Overflow(p);

  if (negative && units) out.push_back('-');  // no "-0,00"
  // A template without integer positions (".99") shows no leading zero.
  if (!(p.intDigits == 0 && intLength == 1 && text[0] == '0' && p.decimals > 0)) out.append(text, 0, intLength);
  if (p.decimals > 0) {
    out.push_back(p.german ? ',' : '.');
    out.append(text, intLength);
  }
  // The classic fixed-width form: right-aligned in the template's width; a
  // sign that finds no room is an overflow like a missing digit position.
  if (!p.german) {
    if (out.size() > p.width) return Overflow(p);
    out.insert(0, p.width - out.size(), ' ');
  }
  return out;
}

// --- long or extreme numbers, exactly, on little-endian 32-bit limbs ---------

using Big = std::vector<uint32_t>;

void MulAdd(Big& a, uint32_t m, uint32_t add) {
  uint64_t carry = add;
  for (uint32_t& limb : a) {
    carry += uint64_t{limb} * m;
    limb = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  if (carry) a.push_back(static_cast<uint32_t>(carry));
}

void ShiftLeft(Big& a, int bits) {
  a.insert(a.begin(), static_cast<size_t>(bits / 32), 0u);
  if (const int b = bits % 32) {
    uint32_t carry = 0;
    for (uint32_t& limb : a) {
      const uint32_t next = limb >> (32 - b);
      limb = (limb << b) | carry;
      carry = next;
    }
    if (carry) a.push_back(carry);
  }
}

void ShiftRight1(Big& a) {
  for (size_t i = 0; i < a.size(); ++i) a[i] = (a[i] >> 1) | (i + 1 < a.size() ? a[i + 1] << 31 : 0u);
  while (!a.empty() && a.back() == 0) a.pop_back();
}

int BitLength(const Big& a) {
  int n = 0;
  for (uint32_t top = a.empty() ? 0 : a.back(); top; top >>= 1) ++n;
  return a.empty() ? 0 : n + 32 * static_cast<int>(a.size() - 1);
}

// Both without leading zero limbs.
bool NotBelow(const Big& a, const Big& b) {
  if (a.size() != b.size()) return a.size() > b.size();
  for (size_t i = a.size(); i-- > 0;)
    if (a[i] != b[i]) return a[i] > b[i];
  return true;
}

void Subtract(Big& a, const Big& b) {  // a >= b
  int64_t borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    int64_t d = int64_t{a[i]} - (i < b.size() ? b[i] : 0) - borrow;
    borrow = d < 0;
    a[i] = static_cast<uint32_t>(d + (borrow << 32));
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
}

// a / d for a small divisor; the remainder.
uint32_t DivideSmall(Big& a, uint32_t d) {
  uint64_t r = 0;
  for (size_t i = a.size(); i-- > 0;) {
    const uint64_t cur = (r << 32) | a[i];
    a[i] = static_cast<uint32_t>(cur / d);
    r = cur % d;
  }
  while (!a.empty() && a.back() == 0) a.pop_back();
  return static_cast<uint32_t>(r);
}

// m * 2^e (m > 0) rounded half to even to 15 significant digits, from all of
// its decimal digits: m * 2^e is m * 5^-e * 10^e, an integer times a power
// of ten.
Significant ExtremeToSignificant(uint64_t m, int e) {
  Big n{static_cast<uint32_t>(m), static_cast<uint32_t>(m >> 32)};
  while (!n.empty() && n.back() == 0) n.pop_back();
  int exponent = 0;  // of the last digit
  if (e >= 0) {
    ShiftLeft(n, e);
  } else {
    for (int k = -e; k > 0; k -= 13) MulAdd(n, k >= 13 ? 1220703125u : static_cast<uint32_t>(kPow10[k] >> k), 0);
    exponent = e;
  }
  std::string digits;
  while (!n.empty()) {
    uint32_t chunk = DivideSmall(n, 1000000000u);
    for (int i = 0; i < 9; ++i, chunk /= 10) digits.push_back(static_cast<char>('0' + chunk % 10));
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();  // leading zeros, reversed
  Significant out;
  out.exponent = static_cast<int>(digits.size()) - 1 + exponent;
  size_t i = digits.size();
  for (int kept = 0; kept < kSignificant; ++kept) out.digits = out.digits * 10 + (i > 0 ? digits[--i] - '0' : 0);
  if (i > 0) {
    // What is dropped decides: more than half, or exactly half and odd.
    const char first = digits[i - 1];
    const bool rest = digits.find_first_not_of('0') < i - 1;
    if (first > '5' || (first == '5' && (rest || (out.digits & 1)))) ++out.digits;
  }
  return out;
}

// digits * 10^exponent, correctly rounded (subnormals included), for digit
// strings of any length and magnitude: numerator and denominator as big
// integers, a quotient of 65 or 66 bits and one rounding. Slow, and only
// taken where the 64-bit paths above cannot be exact.
double BigDecimalToDouble(std::string_view digits, int exponent) {
  while (!digits.empty() && digits.front() == '0') digits.remove_prefix(1);
  if (digits.empty()) return 0.0;
  // 768 significant digits decide any rounding of a double; what follows
  // only tells whether the rest is zero, which one more digit keeps.
  std::string kept(digits.substr(0, 800));
  if (digits.size() > kept.size()) {
    kept += digits.find_first_not_of('0', kept.size()) != std::string_view::npos ? '1' : '0';
    exponent += static_cast<int>(digits.size() - kept.size());
  }
  const int magnitude = static_cast<int>(kept.size()) + exponent;  // value < 10^magnitude
  if (magnitude > 310) return HUGE_VAL;                            // >= 10^309
  if (magnitude < -330) return 0.0;                                // < half the least subnormal
  Big n, d{1};
  for (char c : kept) MulAdd(n, 10, static_cast<uint32_t>(c - '0'));
  for (int i = 0; i < exponent; ++i) MulAdd(n, 10, 0);
  for (int i = 0; i < -exponent; ++i) MulAdd(d, 10, 0);
  while (!n.empty() && n.back() == 0) n.pop_back();
  if (n.empty()) return 0.0;
  // n * 2^shift / d lies in [2^64, 2^66).
  const int shift = 65 - (BitLength(n) - BitLength(d));
  if (shift > 0) ShiftLeft(n, shift);
  if (shift < 0) ShiftLeft(d, -shift);
  ShiftLeft(d, 66);
  U128 q;
  for (int bit = 66; bit >= 0; --bit) {
    if (NotBelow(n, d)) {
      Subtract(n, d);
      (bit >= 64 ? q.hi : q.lo) |= uint64_t{1} << (bit % 64);
    }
    ShiftRight1(d);
  }
  const bool sticky = !n.empty();
  // Below the normal range fewer bits of precision are left.
  const int length = BitLength(q);
  const int e2 = -shift;
  const int leading = length - 1 + e2;
  const int precision = leading >= -1022 ? 53 : 53 - (-1022 - leading);
  if (precision < 0) return 0.0;
  const int r = length - precision;
  return std::ldexp(static_cast<double>(ShiftRoundEven(q, r, sticky)), e2 + r);
}

// Digits as read, normalised: "<digits>" with the decimal point `exponent`
// places from their right end.
double DecimalToDouble(std::string_view digits, const int exponent) {
  uint64_t w = 0;
  int scale = exponent;
  int significant = 0;
  bool exact = true;
  for (char c : digits) {
    if (significant == 0 && c == '0') continue;
    if (significant < 19) {
      w = w * 10 + static_cast<uint64_t>(c - '0');
      ++significant;
    } else {
      ++scale;  // dropped: exact only while it is a zero
      exact = exact && c == '0';
    }
  }
  if (w == 0) return 0.0;
  if (exact && scale >= 0 && scale <= 19) return RoundToDouble(Mul(w, kPow10[scale]), false, 0);
  if (exact && scale < 0 && scale >= -13) {
    // w / 10^k = w / 5^k / 2^k; w moved to the top of the dividend keeps
    // more than 53 bits of quotient.
    const int k = -scale;
    int z = 0;
    while (!(w >> (63 - z) & 1)) ++z;
    bool remainder = false;
    const U128 q = Divide(U128{w << z, 0}, static_cast<uint32_t>(kPow10[k] >> k), remainder);
    return RoundToDouble(q, remainder, -64 - z - k);
  }
  return BigDecimalToDouble(digits, exponent);
}
// --- exact amounts at a rate, in 128 bits ------------------------------------

bool Less(const U128& a, const U128& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }

U128 Minus(const U128& a, const U128& b) { return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo}; }

// x *= m; false when the product needs more than 128 bits.
bool MulBy(U128& x, uint64_t m) {
  const U128 low = Mul(x.lo, m), high = Mul(x.hi, m);
  if (high.hi) return false;
  x = {low.hi + high.lo, low.lo};
  return x.hi >= high.lo;
}

bool MulByPow10(U128& x, int n) {
  for (; n > 0; n -= 19)
    if (!MulBy(x, kPow10[n < 19 ? n : 19])) return false;
  return true;
}

// n / d rounded half away from zero (d > 0). Amounts of the fields' size
// stay in 64 bits, where this is one division.
U128 DivideRounded(const U128& n, const U128& d) {
  if (!n.hi && !d.hi) {
    const uint64_t q = n.lo / d.lo, r = n.lo % d.lo;
    return {0, q + (r >= d.lo - r ? 1 : 0)};
  }
  U128 q, r;
  for (int bit = 127; bit >= 0; --bit) {
    r = {(r.hi << 1) | (r.lo >> 63), (r.lo << 1) | (BitAt(n, bit) ? 1 : 0)};
    if (!Less(r, d)) {
      r = Minus(r, d);
      (bit >= 64 ? q.hi : q.lo) |= uint64_t{1} << (bit % 64);
    }
  }
  if (!Less(r, Minus(d, r))) {
    q.lo += 1;
    if (q.lo == 0) ++q.hi;
  }
  return q;
}

// The amount written times 10^shift, times `factor`, divided by `divisor`,
// rounded; false when a step needs more than 128 bits.
bool ScaledRatio(const std::string& digits, int shift, uint64_t factor, uint64_t divisor, U128& out) {
  // The everyday amounts in plain 64-bit steps: one division on 32-bit x86.
  uint64_t small = 0, n64 = 0, d64 = divisor;
  size_t significant = 0;
  for (const char c : digits)
    if (significant || c != '0') small = small * 10 + static_cast<uint64_t>(c - '0'), ++significant;
  if (significant <= 19 && std::abs(shift) <= 19 && !__builtin_mul_overflow(small, factor, &n64) &&
      (shift >= 0 ? !__builtin_mul_overflow(n64, kPow10[shift], &n64)
                  : !__builtin_mul_overflow(d64, kPow10[-shift], &d64))) {
    const uint64_t q = n64 / d64, r = n64 - q * d64;
    out = {0, q + (r >= d64 - r ? 1 : 0)};
    return true;
  }
  U128 n, d{0, divisor};
  for (const char c : digits) {
    if (n.hi == 0 && n.lo == 0 && c == '0') continue;
    if (!MulBy(n, 10)) return false;
    n.lo += static_cast<uint64_t>(c - '0');
    if (n.lo < static_cast<uint64_t>(c - '0') && ++n.hi == 0) return false;
  }
  if (!MulBy(n, factor)) return false;
  if (shift >= 0 ? !MulByPow10(n, shift) : !MulByPow10(d, -shift)) return false;
  if (d.hi >> 62) return false;  // the long division shifts the remainder left
  out = DivideRounded(n, d);
  return true;
}

// A number as ParseNumber reads it: its digits without separators, the last
// `decimals` of them after the point. False when the text holds none.
struct Written {
  bool negative = false;
  std::string digits;
  size_t decimals = 0;
};

// A currency mark that may stand before an amount: the euro sign, "EUR" or
// "DM", in any case. Its length at `at`, or 0.
size_t CurrencyMarkAt(std::string_view text, size_t at) {
  const auto upper = [&](size_t i) {
    const char c = at + i < text.size() ? text[at + i] : '\0';
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  };
  if (upper(0) == kEuroSign) return 1;
  if (upper(0) == 'E' && upper(1) == 'U' && upper(2) == 'R') return 3;
  if (upper(0) == 'D' && upper(1) == 'M') return 2;
  return 0;
}

bool ReadNumber(std::string_view text, std::string_view tmpl, Written& out) {
  size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  const auto isDigitAt = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
  const auto isDigit = [&] { return isDigitAt(i); };
  // A separator at `at` followed by exactly three digits.
  const auto groupAt = [&](size_t at, char separator) {
    if (at >= text.size()) return false;
    const char c = text[at];
    const bool matches = separator == '.' ? c == '.' : (c == ' ' || c == kNoBreakBlank);
    return matches && isDigitAt(at + 1) && isDigitAt(at + 2) && isDigitAt(at + 3) && !isDigitAt(at + 4);
  };

  // Blanks, then a sign and a currency mark in either order, each optional
  // and each followed by any blanks: "- 5", "€ 12,50", "EUR-3", "-DM 50".
  skipBlanks();
  bool signed_ = false, marked = false;
  bool& negative = out.negative;
  for (int part = 0; part < 2; ++part) {
    if (!signed_ && i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negative = text[i] == '-';
      signed_ = true;
      ++i;
    } else if (size_t mark; !marked && (mark = CurrencyMarkAt(text, i)) != 0) {
      marked = true;
      i += mark;
    } else {
      break;
    }
    skipBlanks();
  }
  std::string& number = out.digits;
  while (isDigit()) number.push_back(text[i++]);
  // Thousands groups after a first group of one to three digits, all with the
  // same separator: "." or a blank.
  char grouping = 0;
  if (!number.empty() && number.size() <= 3 && number.front() != '0') {
    for (const char separator : {'.', ' '}) {
      if (!groupAt(i, separator)) continue;
      // Under a template with three decimals a lone "." with three digits is
      // the formatter's own decimal point.
      if (separator == '.' && ParsePicture(tmpl).decimals == 3 && !groupAt(i + 4, '.') &&
          !(i + 4 < text.size() && text[i + 4] == ',')) {
        break;
      }
      grouping = separator;
      while (groupAt(i, separator)) {
        number.append(text.substr(i + 1, 3));
        i += 4;
      }
      break;
    }
  }
  size_t& decimals = out.decimals;
  if (i < text.size() && (text[i] == ',' || (text[i] == '.' && grouping != '.'))) {
    ++i;
    for (; isDigit(); ++decimals) number.push_back(text[i++]);
  }
  return !number.empty();
}

}  // namespace

std::string FormatNumber(double value, std::string_view picture) {
  const Picture p = ParsePicture(picture);
  if (!std::isfinite(value)) return Overflow(p);
  const Significant s = ToSignificant(std::fabs(value));
  const char point = p.german ? ',' : '.';

  std::string out;
  out.reserve(24);
  if (!p.hasTemplate) {
    // Shortest form: no trailing zeros, no point for whole numbers.
    uint64_t digits = s.digits;
    int count = digits ? kSignificant : 1;
    while (count > 1 && digits % 10 == 0) {
      digits /= 10;
      --count;
    }
    if (std::signbit(value) && digits) out.push_back('-');
    std::string text;
    AppendDigits(text, digits, 1);
    if (s.exponent < 0) {
      out += '0';
      out += point;
      out.append(static_cast<size_t>(-s.exponent - 1), '0');
      out += text;
    } else if (static_cast<size_t>(s.exponent) + 1 >= text.size()) {
      out += text;
      out.append(static_cast<size_t>(s.exponent) + 1 - text.size(), '0');
    } else {
      out.append(text, 0, static_cast<size_t>(s.exponent) + 1);
      out += point;
      out.append(text, static_cast<size_t>(s.exponent) + 1);
    }
    return out;
  }

  // Commercial rounding of the 15 digits to the template's decimals. A last
  // decimal below those 15 digits would be noise: never a wrong amount.
  const int decimals = static_cast<int>(p.decimals);
  const int shift = s.exponent - (kSignificant - 1) + decimals;
  if (s.digits && shift > 0) return Overflow(p);
  uint64_t units = s.digits;
  if (shift < 0) units = -shift > kSignificant ? 0 : (units + kPow10[-shift] / 2) / kPow10[-shift];
  return LayOut(units, std::signbit(value), p);
}

std::string FormatAtRate(std::string_view text, std::string_view tmpl, double rate, RateOp op,
                         std::string_view picture) {
  const Picture p = ParsePicture(picture);
  const auto inexact = [&] {
    const double amount = ParseNumber(text, tmpl);
    return FormatNumber(op == RateOp::Multiply ? amount * rate : amount / rate, picture);
  };
  const Significant r = std::isfinite(rate) ? ToSignificant(std::fabs(rate)) : Significant{};
  if (!p.hasTemplate || r.digits == 0) return inexact();
  Written w;
  ReadNumber(text, tmpl, w);  // no number: no digits, which count as 0
  // rate = factor * 10^-rateDecimals; the amount = digits * 10^-decimals; the
  // result is wanted in units of 10^-p.decimals.
  uint64_t factor = r.digits;
  int rateDecimals = kSignificant - 1 - r.exponent;
  while (factor % 10 == 0) {
    factor /= 10;
    --rateDecimals;
  }
  const int decimals = static_cast<int>(p.decimals), written = static_cast<int>(w.decimals);
  U128 units;
  const bool exact = op == RateOp::Multiply
                         ? ScaledRatio(w.digits, decimals - written - rateDecimals, factor, 1, units)
                         : ScaledRatio(w.digits, decimals - written + rateDecimals, 1, factor, units);
  // Beyond 128 bits (a text far longer than any field holds) the binary
  // result stands in, as Transform would show it.
  if (!exact) return inexact();
  // Transform's limit too: 15 significant digits, never a cut amount.
  if (units.hi || units.lo >= kAbove15) return Overflow(p);
  return LayOut(units.lo, w.negative != std::signbit(rate), p);
}

double ParseNumber(std::string_view text, std::string_view tmpl) {
  Written w;
  if (!ReadNumber(text, tmpl, w)) return 0.0;
  const double value = DecimalToDouble(w.digits, -static_cast<int>(w.decimals));
  if (value == 0.0) return 0.0;  // no negative zero
  return w.negative ? -value : value;
}

}  // namespace rt
