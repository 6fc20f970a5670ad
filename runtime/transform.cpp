#include "transform.h"

#include <cctype>
#include <cmath>

#include "format.h"
#include "settings.h"

namespace rt {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string DateToText(Date date) {
  std::string format = Set(kSetDateFormat).text();
  if (format.empty()) format = "dd.mm.yy";
  int year = 0, month = 0, day = 0;
  date.ToYmd(year, month, day);
  std::string out;
  for (size_t i = 0; i < format.size();) {
    const char c = Upper(format[i]);
    size_t run = 1;
    while (i + run < format.size() && Upper(format[i + run]) == c) ++run;
    int field = -1;
    if (c == 'D') field = day;
    if (c == 'M') field = month;
    if (c == 'Y') field = run >= 4 ? year : year % 100;
    if (field < 0) {
      out.append(format, i, run);
    } else if (date.empty()) {
      out.append(run, ' ');
    } else {
      const std::string digits = std::to_string(field);
      if (digits.size() < run) out.append(run - digits.size(), '0');
      out += digits;
    }
    i += run;
  }
  return out;
}

std::string Transform(const Value& value, std::string_view picture) {
  switch (value.type()) {
    case 'N': return FormatNumber(value.number(), picture);
    case 'C': return value.text();
    case 'L': return value.logical() ? "T" : "F";
    case 'D': return DateToText(value.date());
    default: return std::string();
  }
}

Value LChar2Var(std::string_view text, std::string_view tmpl) {
  const std::string_view kind = TrimBlanks(tmpl);
  const char type = kind.empty() ? 'C' : Upper(kind.front());
  switch (type) {
    case 'N': return ParseNumber(text, tmpl);
    case 'L': {
      const std::string_view t = TrimBlanks(text);
      return !t.empty() && (Upper(t.front()) == 'T' || Upper(t.front()) == 'Y' || Upper(t.front()) == 'J');
    }
    default: return std::string(text);
  }
}

std::string Chr(int code) { return std::string(1, static_cast<char>(static_cast<unsigned char>(code))); }

double Int(double value) { return std::trunc(value); }

}  // namespace rt
