// Amounts converted at the fixed rate, checked against schoolbook arithmetic
// on decimal digit strings: nothing here goes through binary numbers.
#include "format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

constexpr const char* kTmpl = "N 999999999.99";
constexpr const char* kPicture = "@N 999999999.99";
constexpr double kKurs = 1.95583;
constexpr uint64_t kRate = 195583;  // 10^-5

std::string Convert(const std::string& text, rt::RateOp op) { return rt::FormatAtRate(text, kTmpl, kKurs, op, kPicture); }

// digits * m, for digit strings of any length.
std::string Times(const std::string& digits, uint64_t m) {
  std::string out(digits.size(), '0');
  uint64_t carry = 0;
  for (size_t i = digits.size(); i-- > 0;) {
    carry += static_cast<uint64_t>(digits[i] - '0') * m;
    out[i] = static_cast<char>('0' + carry % 10);
    carry /= 10;
  }
  return carry ? std::to_string(carry) + out : out;
}

// digits / d, and the remainder.
std::string Over(const std::string& digits, uint64_t d, uint64_t& remainder) {
  std::string q;
  remainder = 0;
  for (const char c : digits) {
    remainder = remainder * 10 + static_cast<uint64_t>(c - '0');
    q.push_back(static_cast<char>('0' + remainder / d));
    remainder %= d;
  }
  return q;
}

// Cents as "<integer>,<two digits>", or the overflow beyond 15 digits.
std::string Shown(std::string cents, bool negative) {
  cents.erase(0, std::min(cents.find_first_not_of('0'), cents.size()));
  if (cents.size() > 15) return std::string(12, '*');
  if (cents.size() < 3) cents.insert(0, 3 - cents.size(), '0');
  const bool zero = cents.find_first_not_of('0') == std::string::npos;
  return (negative && !zero ? "-" : "") + cents.substr(0, cents.size() - 2) + "," + cents.substr(cents.size() - 2);
}

// A digit string plus one.
std::string Up(std::string digits) {
  size_t i = digits.size();
  while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
  if (i == 0) return "1" + digits;
  ++digits[i - 1];
  return digits;
}

// The amount digits * 10^-decimals times or by 1,95583, rounded half away
// from zero to the cent.
std::string Expected(const std::string& digits, size_t decimals, rt::RateOp op, bool negative = false) {
  if (op == rt::RateOp::Multiply) {
    // The product has decimals + 5 places: keep two, round on the next digit.
    const std::string product = std::string(decimals + 3, '0') + Times(digits, kRate);
    const std::string cents = product.substr(0, product.size() - (decimals + 3));
    return Shown(product[cents.size()] >= '5' ? Up(cents) : cents, negative);
  }
  // cents = digits * 10^(7 - decimals) / 195583; with more decimals the
  // quotient's last m digits lie below the cent.
  const size_t m = decimals > 7 ? decimals - 7 : 0;
  uint64_t r = 0, tenM = 1;
  std::string q = Over(digits + std::string(7 - std::min<size_t>(decimals, 7), '0'), kRate, r);
  q.insert(0, m + 1, '0');
  const uint64_t below = m ? std::stoull(q.substr(q.size() - m)) : 0;
  for (size_t i = 0; i < m; ++i) tenM *= 10;
  const std::string cents = q.substr(0, q.size() - m);
  return Shown(2 * (below * kRate + r) >= kRate * tenM ? Up(cents) : cents, negative);
}

std::string Written(const std::string& digits, size_t decimals) {
  if (decimals == 0) return digits;
  std::string whole = digits.substr(0, digits.size() - decimals);
  return (whole.empty() ? "0" : whole) + "," + digits.substr(digits.size() - decimals);
}

TEST(AtRate, AmountsWhereTheDoubleProductLostACent) {
  const struct {
    const char* typed;
    rt::RateOp op;
    std::string shown;
  } table[] = {
      {"51129727,53", rt::RateOp::Multiply, "100001054,99"},
      {"90506410,12", rt::RateOp::Multiply, "177015152,10"},
      {"936158960,70", rt::RateOp::Divide, "478650476,11"},
      {"500", rt::RateOp::Multiply, "977,92"},
      {"100", rt::RateOp::Multiply, "195,58"},
      {"100", rt::RateOp::Divide, "51,13"},
      {"1", rt::RateOp::Multiply, "1,96"},
      {"-500", rt::RateOp::Multiply, "-977,92"},
      {"-0,001", rt::RateOp::Multiply, "0,00"},
      {"", rt::RateOp::Divide, "0,00"},
      {"12a", rt::RateOp::Multiply, "23,47"},
      {"1.955,83 DM", rt::RateOp::Divide, "1000,00"},
      {"\xd5 12,50", rt::RateOp::Multiply, "24,45"},
      {"9999999999999,99", rt::RateOp::Divide, "5112918811962,18"},
      {"99999999999999999999", rt::RateOp::Multiply, std::string(12, '*')},
  };
  for (const auto& row : table) EXPECT_EQ(Convert(row.typed, row.op), row.shown) << row.typed;
}

// Every euro amount of seven to nine integer digits whose DM value lies
// exactly half a cent between two: 500 euro and every 1000 euro on from there.
TEST(AtRate, EveryExactHalfCentRoundsUp) {
  int checked = 0;
  for (uint64_t euro = 1000500; euro < 1000000000; euro += 1000, ++checked) {
    const std::string digits = std::to_string(euro);
    const std::string shown = Convert(digits, rt::RateOp::Multiply);
    ASSERT_EQ(shown, Expected(digits, 0, rt::RateOp::Multiply)) << digits;
    const std::string product = Times(digits, kRate);
    ASSERT_EQ(product.substr(product.size() - 3), "500") << digits << " is no half cent";
  }
  EXPECT_EQ(checked, 999000);
  // By the rate only amounts with more than seven decimals can lie on a half
  // cent: (2k + 1) * 0,00977915 DM is (2k + 1) * 0,005 euro.
  std::mt19937_64 random(7);
  for (int i = 0; i < 20000; ++i) {
    const uint64_t odd = 2 * (102000000000ull + random() % 100000000000ull) + 1;  // 7 to 9 integer digits of DM
    const std::string digits = Times(std::to_string(odd), 977915);
    ASSERT_EQ(Convert(Written(digits, 8), rt::RateOp::Divide), Expected(digits, 8, rt::RateOp::Divide)) << digits;
    ASSERT_EQ(Convert("-" + Written(digits, 8), rt::RateOp::Divide), Expected(digits, 8, rt::RateOp::Divide, true));
  }
}

// A million random amounts of every length a field takes, both ways.
TEST(AtRate, RandomAmountsOfEveryLength) {
  std::mt19937_64 random(1955830);
  for (int i = 0; i < 1000000; ++i) {
    const size_t length = 1 + random() % 19;
    // Mostly cents, sometimes the decimals a user adds beyond them.
    const size_t decimals = std::min<size_t>(length, i % 8 == 0 ? random() % 12 : random() % 3);
    std::string digits;
    for (size_t k = 0; k < length; ++k) digits.push_back(static_cast<char>('0' + random() % 10));
    const bool negative = i % 16 == 1;
    const std::string typed = (negative ? "-" : "") + Written(digits, decimals);
    for (const auto op : {rt::RateOp::Multiply, rt::RateOp::Divide})
      ASSERT_EQ(Convert(typed, op), Expected(digits, decimals, op, negative)) << typed << (op == rt::RateOp::Divide ? " DM" : " euro");
  }
}

TEST(AtRate, OtherPicturesAndRates) {
  EXPECT_EQ(rt::FormatAtRate("10", kTmpl, 0.5, rt::RateOp::Divide, "@N 999.9"), "20,0");
  EXPECT_EQ(rt::FormatAtRate("1,25", kTmpl, 0.1, rt::RateOp::Multiply, "@N 9.9"), "0,1") << "0,125 rounds on its digits";
  EXPECT_EQ(rt::FormatAtRate("3", kTmpl, 3, rt::RateOp::Divide, "999.99"), "  1.00");
  EXPECT_EQ(rt::FormatAtRate("-1", kTmpl, kKurs, rt::RateOp::Multiply, "99.99"), "-1.96");
  EXPECT_EQ(rt::FormatAtRate("5", kTmpl, 0, rt::RateOp::Divide, "@N 9.99"), "****");
  EXPECT_EQ(rt::FormatAtRate("2", kTmpl, -kKurs, rt::RateOp::Multiply, kPicture), "-3,91");
  // Beyond 128 bits the binary result stands in.
  EXPECT_EQ(rt::FormatAtRate("0," + std::string(40, '0') + "1", kTmpl, kKurs, rt::RateOp::Multiply, kPicture), "0,00");
}

}  // namespace
