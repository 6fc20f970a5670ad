#include "format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace rt {
namespace {

// 15 significant digits is what a double holds reliably: printing with that
// many gives the decimal the programmer meant (977.915, not 977.91499999...).
constexpr int kSignificant = 15;
// The no-break blank of code page 858.
constexpr char kNoBreakBlank = '\xff';

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

// A non-negative decimal as digit strings, plus the sign.
struct Decimal {
  bool negative = false;
  std::string intPart;   // at least one digit, no leading zeros once normalised
  std::string fraction;  // digits after the decimal separator
};

Decimal ToDecimal(double value) {
  Decimal d;
  d.negative = std::signbit(value);
  char buf[64];
  // Scientific form: d.dddddddddddddde[+-]xx, exactly kSignificant digits.
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, kSignificant - 1);
  const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
  const size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e))
    if (c != '.') digits.push_back(c);
  const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

  if (exponent >= 0) {
    const size_t intLen = static_cast<size_t>(exponent) + 1;
    if (intLen >= digits.size()) {
      d.intPart = digits;
      d.intPart.append(intLen - digits.size(), '0');
    } else {
      d.intPart = digits.substr(0, intLen);
      d.fraction = digits.substr(intLen);
    }
  } else {
    d.intPart.assign(1, '0');
    d.fraction.assign(static_cast<size_t>(-exponent - 1), '0');
    d.fraction += digits;
  }
  return d;
}

// Commercial rounding of the decimal digits themselves: the first dropped
// digit decides, a carry runs through the fraction into the integer part.
void RoundTo(Decimal& d, size_t decimals) {
  if (d.fraction.size() <= decimals) {
    d.fraction.append(decimals - d.fraction.size(), '0');
    return;
  }
  const bool up = d.fraction[decimals] >= '5';
  d.fraction.resize(decimals);
  if (!up) return;
  std::string all = d.intPart + d.fraction;
  size_t i = all.size();
  while (i > 0 && all[i - 1] == '9') all[--i] = '0';
  if (i == 0)
    all.insert(all.begin(), '1');
  else
    ++all[i - 1];
  d.intPart = all.substr(0, all.size() - decimals);
  d.fraction = all.substr(all.size() - decimals);
}

void StripLeadingZeros(std::string& s) {
  const size_t first = s.find_first_not_of('0');
  s.erase(0, first == std::string::npos ? s.size() - 1 : first);
}

bool IsZero(const Decimal& d) {
  return d.intPart.find_first_not_of('0') == std::string::npos &&
         d.fraction.find_first_not_of('0') == std::string::npos;
}

std::string Overflow(const Picture& p) { return std::string(p.hasTemplate ? p.width : 1, '*'); }

}  // namespace

std::string FormatNumber(double value, std::string_view picture) {
  const Picture p = ParsePicture(picture);
  if (!std::isfinite(value)) return Overflow(p);

  Decimal d = ToDecimal(value);
  if (p.hasTemplate)
    RoundTo(d, p.decimals);
  else
    d.fraction.erase(d.fraction.find_last_not_of('0') + 1);  // npos + 1 == 0: all zeros go
  StripLeadingZeros(d.intPart);

  const bool zeroInt = d.intPart == "0";
  if (p.hasTemplate && (zeroInt ? 0 : d.intPart.size()) > p.intDigits) return Overflow(p);

  std::string out;
  if (d.negative && !IsZero(d)) out.push_back('-');  // no "-0,00"
  // A template without integer positions (".99") shows no leading zero.
  if (!(p.hasTemplate && p.intDigits == 0 && zeroInt && !d.fraction.empty())) out += d.intPart;
  if (!d.fraction.empty()) {
    out.push_back(p.german ? ',' : '.');
    out += d.fraction;
  }

  // The classic fixed-width form: right-aligned in the template's width; a
  // sign that finds no room is an overflow like a missing digit position.
  if (p.hasTemplate && !p.german) {
    if (out.size() > p.width) return Overflow(p);
    out.insert(0, p.width - out.size(), ' ');
  }
  return out;
}

double ParseNumber(std::string_view text, std::string_view tmpl) {
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

  skipBlanks();
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
    skipBlanks();
  }
  // Normalised ASCII form for from_chars: "<int>.<fraction>", never empty parts.
  std::string number;
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
  const bool nonZeroInt = number.find_first_not_of('0') != std::string::npos;
  if (i < text.size() && (text[i] == ',' || (text[i] == '.' && grouping != '.'))) {
    ++i;
    std::string fraction;
    while (isDigit()) fraction.push_back(text[i++]);
    if (!fraction.empty()) {
      if (number.empty()) number.push_back('0');
      number += '.';
      number += fraction;
    }
  }
  if (number.empty()) return 0.0;

  double value = 0.0;
  const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
  if (res.ec == std::errc::result_out_of_range)
    // Hundreds of digits: too large is infinite (formats as the overflow
    // marker), too small is zero.
    value = nonZeroInt ? std::numeric_limits<double>::infinity() : 0.0;
  if (value == 0.0) return 0.0;  // no negative zero
  return negative ? -value : value;
}

}  // namespace rt
