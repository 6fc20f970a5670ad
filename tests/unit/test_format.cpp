#include "format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

namespace {

constexpr const char* kAmount = "@N 999999999.99";
constexpr double kKurs = 1.95583;

std::string Amount(double v) { return rt::FormatNumber(v, kAmount); }

// The expected text for a whole number of cents, from integer arithmetic.
std::string CentsText(long long cents) {
  const long long a = std::llabs(cents);
  std::string text = cents < 0 ? "-" : "";
  text += std::to_string(a / 100);
  text += ',';
  text += static_cast<char>('0' + a % 100 / 10);
  text += static_cast<char>('0' + a % 10);
  return text;
}

// n / d rounded half away from zero, exactly.
long long RoundDiv(long long n, long long d) {
  const long long q = std::llabs(n) / d, r = std::llabs(n) % d;
  const long long m = 2 * r >= d ? q + 1 : q;
  return n < 0 ? -m : m;
}

TEST(FormatAmount, ConverterExamples) {
  EXPECT_EQ(Amount(100 * kKurs), "195,58");
  EXPECT_EQ(Amount(100 / kKurs), "51,13");
  EXPECT_EQ(Amount(1 * kKurs), "1,96");
  EXPECT_EQ(Amount(1500 * kKurs), "2933,75");
  EXPECT_EQ(Amount(2500 * kKurs), "4889,58");
  EXPECT_EQ(Amount(0), "0,00");
  EXPECT_EQ(Amount(-5), "-5,00");
  EXPECT_EQ(Amount(123456789.12), "123456789,12");
}

TEST(FormatAmount, TiesRoundAwayFromZeroDespiteBinaryNoise) {
  // Each of these doubles lies just below the decimal tie it stands for
  // (977.9149999999999636...), so rounding the binary value would lose a cent.
  EXPECT_EQ(Amount(500 * kKurs), "977,92");
  EXPECT_EQ(Amount(2.675), "2,68");
  EXPECT_EQ(Amount(1.005), "1,01");
  EXPECT_EQ(Amount(0.285), "0,29");
  EXPECT_EQ(Amount(1.115), "1,12");
  EXPECT_EQ(Amount(0.125), "0,13");  // exact in binary: no half-to-even
  EXPECT_EQ(Amount(-0.125), "-0,13");
  EXPECT_EQ(Amount(-2.675), "-2,68");
  EXPECT_EQ(Amount(9.77915e-3 / kKurs), "0,01");
  EXPECT_EQ(Amount(0.1 + 0.2), "0,30");
  EXPECT_EQ(Amount(1.0049999), "1,00");
  EXPECT_EQ(Amount(2.6749), "2,67");
}

TEST(FormatAmount, CarryPropagatesIntoTheIntegerPart) {
  EXPECT_EQ(Amount(9.995), "10,00");
  EXPECT_EQ(Amount(99.995), "100,00");
  EXPECT_EQ(Amount(0.995), "1,00");
  EXPECT_EQ(Amount(-9.995), "-10,00");
  EXPECT_EQ(Amount(99999999.995), "100000000,00");
  EXPECT_EQ(Amount(1.095), "1,10");
}

TEST(FormatAmount, NoNegativeZero) {
  EXPECT_EQ(Amount(-0.0), "0,00");
  EXPECT_EQ(Amount(-0.004), "0,00");
  EXPECT_EQ(Amount(-1e-300), "0,00");
  EXPECT_EQ(Amount(-0.005), "-0,01");
}

// Under "@N" an amount shows with as many integer digits as it has, while
// its last decimal lies within the 15 digits a double holds.
TEST(FormatAmount, LargeAmountsShowWhileTheirDecimalsAreHeld) {
  const std::string stars(12, '*');
  const struct {
    double value;
    std::string text;
  } table[] = {
      {999999999.99, "999999999,99"},
      {999999999.995, "1000000000,00"},
      {-999999999.994, "-999999999,99"},
      {999999999 * kKurs, "1955829998,04"},
      {1999999999 / kKurs, "1022583761,88"},
      {-999999999 * kKurs, "-1955829998,04"},
      {9999999999999.99, "9999999999999,99"},
      {-9999999999999.99, "-9999999999999,99"},
      {1e13 - 0.001, stars},  // 10000000000000,00: the cents are below 15 digits
      {1e13, stars},
      {-1e13, stars},
      {1e300, stars},
      {std::numeric_limits<double>::quiet_NaN(), stars},
      {std::numeric_limits<double>::infinity(), stars},
      {-std::numeric_limits<double>::infinity(), stars},
  };
  for (const auto& row : table) EXPECT_EQ(Amount(row.value), row.text) << row.value;
  EXPECT_EQ(rt::FormatNumber(1000, "@N 999.9"), "1000,0");
  EXPECT_EQ(rt::FormatNumber(99999999999999.9, "@N 999.9"), "99999999999999,9");
  EXPECT_EQ(rt::FormatNumber(999999999999999.9, "@N 999.9"), "*****");
  EXPECT_EQ(rt::FormatNumber(1e15, "@N 999"), "***");
}

TEST(FormatAmount, OtherTemplates) {
  EXPECT_EQ(rt::FormatNumber(2.5, "@N 999"), "3");
  EXPECT_EQ(rt::FormatNumber(-2.5, "@N 999"), "-3");
  EXPECT_EQ(rt::FormatNumber(1.23456, "@N 9.9999"), "1,2346");
  EXPECT_EQ(rt::FormatNumber(0.5, "@N .99"), ",50");
  EXPECT_EQ(rt::FormatNumber(1.5, "@N .99"), "1,50");
  EXPECT_EQ(rt::FormatNumber(1e-7, "@N 9.99999999"), "0,00000010");
  EXPECT_EQ(rt::FormatNumber(0, "@N 9." + std::string(30, '9')), "0," + std::string(30, '0'));
  EXPECT_EQ(rt::FormatNumber(1, "@N 9." + std::string(30, '9')), std::string(32, '*'));
}

TEST(FormatShortest, NoTemplate) {
  EXPECT_EQ(rt::FormatNumber(kKurs, "@N"), "1,95583");
  EXPECT_EQ(rt::FormatNumber(0, "@N"), "0");
  EXPECT_EQ(rt::FormatNumber(-0.0, "@N"), "0");
  EXPECT_EQ(rt::FormatNumber(10, "@N"), "10");
  EXPECT_EQ(rt::FormatNumber(-2.5, "@N"), "-2,5");
  EXPECT_EQ(rt::FormatNumber(0.1 + 0.2, "@N"), "0,3");
  EXPECT_EQ(rt::FormatNumber(500 * kKurs, "@N"), "977,915");
  EXPECT_EQ(rt::FormatNumber(1e20, "@N"), "100000000000000000000");
  EXPECT_EQ(rt::FormatNumber(1.5e-5, "@N"), "0,000015");
  EXPECT_EQ(rt::FormatNumber(2.5, ""), "2.5");
  EXPECT_EQ(rt::FormatNumber(std::nan(""), "@N"), "*");
}

// Beyond the amounts' range too, the 15 digits are the exact value's,
// rounded half to even: compared with the C library's exact conversion over
// the whole range of doubles, subnormals included.
TEST(FormatShortest, ExtremeValuesKeepTheirFifteenDigits) {
  const auto significand = [](std::string text) {
    text.erase(0, std::min(text.find_first_of("123456789"), text.size()));
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; }), text.end());
    return text.erase(text.find_last_not_of('0') + 1);
  };
  std::mt19937_64 random(15);
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = random() & ~(uint64_t{1} << 63);
    if (i % 4 == 0) bits &= (uint64_t{1} << 52) - 1;  // subnormal
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v) || v == 0) continue;
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", v);
    const std::string digits(buf, std::strchr(buf, 'e'));
    ASSERT_EQ(significand(rt::FormatNumber(v, "")), significand(digits)) << buf;
  }
  EXPECT_EQ(rt::FormatNumber(5e-324, ""), "0." + std::string(323, '0') + "494065645841247");
  EXPECT_EQ(rt::FormatNumber(1.7976931348623157e308, "@N"), "179769313486232" + std::string(294, '0'));
}

TEST(FormatFixedWidth, PointAndLeftPadding) {
  EXPECT_EQ(rt::FormatNumber(3.14159, "999.99"), "  3.14");
  EXPECT_EQ(rt::FormatNumber(-5, "999.99"), " -5.00");
  EXPECT_EQ(rt::FormatNumber(-99.99, "999.99"), "-99.99");
  EXPECT_EQ(rt::FormatNumber(999.994, "999.99"), "999.99");
  EXPECT_EQ(rt::FormatNumber(999.995, "999.99"), "******");
  EXPECT_EQ(rt::FormatNumber(-999.99, "999.99"), "******") << "no room for the sign";
  EXPECT_EQ(rt::FormatNumber(-0.001, "999.99"), "  0.00");
  EXPECT_EQ(rt::FormatNumber(42, "99999"), "   42");
}

TEST(FormatAmount, EveryCentAndItsConversionsMatchExactDecimalArithmetic) {
  for (long long c = -100000; c <= 100000; ++c) {
    const double amount = static_cast<double>(c) / 100;
    const std::string text = Amount(amount);
    ASSERT_EQ(text, CentsText(c));
    ASSERT_EQ(rt::ParseNumber(text, "N 999999999.99"), amount) << text;
    // Euro to DM: the exact product has seven decimals; DM to euro never ties.
    ASSERT_EQ(Amount(amount * kKurs), CentsText(RoundDiv(c * 195583, 100000))) << amount;
    ASSERT_EQ(Amount(amount / kKurs), CentsText(RoundDiv(c * 100000, 195583))) << amount;
  }
}

TEST(FormatAmount, LargeAmountsRoundTrip) {
  for (double v : {999999999.99, -999999999.99, 123456789.01, 987654321.5, 100000000.0, 0.01}) {
    const std::string text = Amount(v);
    EXPECT_EQ(rt::ParseNumber(text, "N 999999999.99"), v) << text;
  }
  EXPECT_EQ(Amount(999999999.99 / kKurs * kKurs), "999999999,99");
  EXPECT_EQ(rt::ParseNumber(Amount(1e13), "N 999999999.99"), 0.0);
  EXPECT_EQ(rt::ParseNumber(rt::FormatNumber(kKurs / 7, "@N"), "N 999999999.99"), 0.279404285714286);
}

// The C library converts exactly both ways: the 15 digits the formatter
// takes and every text the parser reads agree with it at all magnitudes.
TEST(FormatAndParse, AgreeWithTheCLibraryAtAllMagnitudes) {
  std::mt19937_64 random(21);
  std::uniform_real_distribution<double> logAmount(-12, 37);  // e^-12 .. e^37: 6e-6 .. 1e16
  for (int i = 0; i < 100000; ++i) {
    double v = std::exp(logAmount(random));
    if (i % 2) {
      const uint64_t bits = random();
      std::memcpy(&v, &bits, sizeof v);
      if (!std::isfinite(v)) continue;
    }
    char digits[40];
    std::snprintf(digits, sizeof digits, "%.14e", v);
    ASSERT_EQ(rt::ParseNumber(rt::FormatNumber(v, "@N")), std::strtod(digits, nullptr)) << digits;
  }
  std::uniform_int_distribution<int> length(1, 24), digit(0, 9);
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += static_cast<char>('0' + digit(random));
    const size_t point = static_cast<size_t>(random() % (text.size() + 1));
    const std::string german = text.substr(0, point) + ',' + text.substr(point);
    const std::string c = text.substr(0, point) + '.' + text.substr(point);
    ASSERT_EQ(rt::ParseNumber(german), std::strtod(c.c_str(), nullptr)) << german;
  }
}

double Parse(std::string_view text) { return rt::ParseNumber(text, "N 999999999.99"); }

TEST(ParseNumber, NothingNumericIsZero) {
  for (const char* text : {"", "   ", "\t", "abc", "-", "+", " - ", ",", ".", "--5", "+-5", "e5", "************"}) {
    const double v = Parse(text);
    EXPECT_EQ(v, 0.0) << '"' << text << '"';
    EXPECT_FALSE(std::signbit(v)) << '"' << text << '"';
  }
  EXPECT_FALSE(std::signbit(Parse("-0,00")));
}

TEST(ParseNumber, BlanksSignsAndSeparators) {
  EXPECT_EQ(Parse("12"), 12.0);
  EXPECT_EQ(Parse("  12,50  "), 12.5);
  EXPECT_EQ(Parse("\t7\t"), 7.0);
  EXPECT_EQ(Parse("-5,00"), -5.0);
  EXPECT_EQ(Parse(" - 12,5"), -12.5);
  EXPECT_EQ(Parse("+3.25"), 3.25);
  EXPECT_EQ(Parse("1.5"), Parse("1,5"));
  EXPECT_EQ(Parse(",5"), 0.5);
  EXPECT_EQ(Parse("-.5"), -0.5);
  EXPECT_EQ(Parse("5,"), 5.0);
  EXPECT_EQ(Parse("0012,30"), 12.3);
}

TEST(ParseNumber, LongestValidPrefixCounts) {
  EXPECT_EQ(Parse("12a"), 12.0);
  EXPECT_EQ(Parse("1,2,3"), 1.2);
  EXPECT_EQ(Parse("1.234.5"), 1234.0);  // after "." groups only a comma is decimal
  EXPECT_EQ(Parse("1 2"), 1.0);
  EXPECT_EQ(Parse("1e5"), 1.0);
  EXPECT_EQ(Parse("3,14 DM"), 3.14);
}

// Amounts as people paste them: a currency mark before the number, with or
// without a blank, in either order with the sign.
TEST(ParseNumber, CurrencyMarkBeforeTheNumber) {
  const struct {
    const char* text;
    double value;
  } table[] = {
      {"\xd5 12,50", 12.5}, {"\xd5" "12,50", 12.5}, {"EUR 12,50", 12.5}, {"EUR12,50", 12.5}, {"eur 3", 3},
      {"DM 50", 50},         {"dm50", 50},            {" DM 1.955,83", 1955.83}, {"-\xd5 5", -5},  {"\xd5 -5", -5},
      {"- DM 5", -5},        {"12,50 \xd5", 12.5},   {"DM", 0},          {"EUR -", 0},    {"\xd5\xd5 5", 0},
      {"DMDM 5", 0},         {"-DM-5", 0},            {"Euro 5", 0},
  };
  for (const auto& row : table) EXPECT_EQ(Parse(row.text), row.value) << row.text;
}

// German notation, as a German reads it.
TEST(ParseNumber, ThousandsGroupsAsAGermanWritesThem) {
  const struct {
    const char* text;
    double value;
  } table[] = {
      {"1.000,50", 1000.5},     {"1.000", 1000},          {"1.000.000", 1000000},   {"-1.234.567,89", -1234567.89},
      {"1 000", 1000},          {"1\xff" "000", 1000},     {"12 345 678,9", 12345678.9}, {" 999 999 999,99 ", 999999999.99},
      {"1 000.5", 1000.5},      {"12.750", 12750},        {"100.000 DM", 100000},   {"1.000,5 \xd5", 1000.5},
      // A "." with other than three digits after it is a decimal point.
      {"1.5", 1.5},             {"12.75", 12.75},         {"1.2345", 1.2345},       {"0.500", 0.5},
      {"1000.000", 1000},       {"1.0000", 1},
      // Not a group: the longest number before it counts.
      {"1 2", 1},               {"1  000", 1},            {"1234 567", 1234},       {"1.000 000", 1000},
      {"1 000.000", 1000},      {"1.000.50", 1000},       {"1. 000", 1},            {"1,000.50", 1},
      {"abc", 0},               {".000", 0},
  };
  for (const auto& row : table) EXPECT_EQ(Parse(row.text), row.value) << '"' << row.text << '"';
  // A lone "." under a template with three decimals is the formatter's own.
  EXPECT_EQ(rt::ParseNumber(rt::FormatNumber(1.5, "999.999"), "999.999"), 1.5);
  EXPECT_EQ(rt::ParseNumber("1.500,25", "999.999"), 1500.25);
  EXPECT_EQ(rt::ParseNumber("1.500.000", "999.999"), 1500000);
  for (double v : {0.001, 1.5, 12.345, -99.999, 999.999}) {
    const std::string text = rt::FormatNumber(v, "999.999");
    EXPECT_EQ(rt::ParseNumber(text, "999.999"), v) << text;
  }
}

TEST(ParseNumber, CorrectlyRoundedAndNotCutToTheTemplate) {
  EXPECT_EQ(Parse("0,1"), 0.1);
  EXPECT_EQ(Parse("977,915"), 977.915);
  EXPECT_EQ(Parse("1,95583"), kKurs);
  EXPECT_EQ(Parse("9007199254740993"), 9007199254740992.0);  // tie to even
  EXPECT_EQ(Parse("0,30000000000000004"), 0.1 + 0.2);
}

// Long and extreme texts, at the limits of the range, in the subnormals and
// on exact ties between two doubles: the texts are exact expansions written
// by %Le, so the double each must give is known (the C library's own reader
// is no oracle here: the Windows one misreads subnormal ties).
TEST(ParseNumber, LongAndExtremeAreCorrectlyRounded) {
  const auto german = [](const std::string& digits, int point) {  // point: digits before ","
    if (point <= 0) return "0," + std::string(static_cast<size_t>(-point), '0') + digits;
    if (point >= static_cast<int>(digits.size())) return digits + std::string(static_cast<size_t>(point) - digits.size(), '0');
    return digits.substr(0, static_cast<size_t>(point)) + ',' + digits.substr(static_cast<size_t>(point));
  };
  // `tail`: digits beyond the 781 written, which only a reader that keeps
  // them all (or knows they are not zero) rounds right.
  const auto check = [&](long double v, double expected, const std::string& tail = "") {
    char buf[1200];
    std::snprintf(buf, sizeof buf, "%.*Le", 780, v);
    const std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 780) + tail;
    const int point = std::atoi(std::strchr(buf, 'e') + 1) + 1;
    ASSERT_EQ(rt::ParseNumber(german(digits, point)), expected) << buf << " tail " << tail.size();
  };
  const auto even = [](double a, double b) {
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    return bits & 1 ? b : a;
  };
  for (double d : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                   std::nextafter(std::numeric_limits<double>::max(), 0.0), 1e-310, 1e300, 0.1, 977.915}) {
    const double next = std::nextafter(d, HUGE_VAL);
    const long double mid = (static_cast<long double>(d) + next) / 2;  // exact tie
    check(d, d);
    check(mid, even(d, next));
    check(std::nextafter(mid, 0.0L), d);
    check(std::nextafter(mid, HUGE_VALL), next);
    check(mid, next, std::string(100, '0') + "1");
  }
  const double least = std::numeric_limits<double>::denorm_min(), top = std::numeric_limits<double>::max();
  check(least / 2.0L, 0.0);                                              // tie with zero: even
  check(std::nextafter(least / 2.0L, HUGE_VALL), least);
  check(std::ldexp(1.0L, 1024) - std::ldexp(1.0L, 970), HUGE_VAL);  // tie of the top with 2^1024: even
  check(std::ldexp(1.0L, 1024) - 3 * std::ldexp(1.0L, 969), top);
  std::mt19937_64 random(22);
  for (int i = 0; i < 2000; ++i) {
    const uint64_t bits = random() >> 1;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) check(v, v);
  }
}

TEST(ParseNumber, VeryLongDigitStrings) {
  EXPECT_EQ(Parse("99999999999999999999"), 1e20);
  EXPECT_EQ(Parse("-99999999999999999999,99"), -1e20);
  EXPECT_EQ(Parse("0," + std::string(400, '0') + "1"), 0.0);
  EXPECT_EQ(Parse(std::string(400, '9')), std::numeric_limits<double>::infinity());
  EXPECT_EQ(Parse("-" + std::string(400, '9')), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(Parse(std::string(400, '0') + "7"), 7.0);
}

}  // namespace
