#include "value.h"

#include <cctype>
#include <cmath>
#include <ctime>

namespace rt {

namespace {
const std::string kEmptyText;
const ArrayRef kNoArray;
const ObjectRef kNoObject;
const BlockRef kNoBlock;

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Proleptic Gregorian calendar, Julian day numbers (Fliegel and Van Flandern).
Date Date::FromYmd(int y, int m, int d) {
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > 31) return Date();
  const int a = (14 - m) / 12;
  const int yy = y + 4800 - a;
  const int mm = m + 12 * a - 3;
  const int32_t jd = d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
  Date result(jd);
  int cy, cm, cd;
  result.ToYmd(cy, cm, cd);
  return (cy == y && cm == m && cd == d) ? result : Date();  // rejects 31.02. and the like
}

void Date::ToYmd(int& year, int& month, int& day) const {
  if (julian_ == 0) {
    year = month = day = 0;
    return;
  }
  const int a = julian_ + 32044;
  const int b = (4 * a + 3) / 146097;
  const int c = a - 146097 * b / 4;
  const int d = (4 * c + 3) / 1461;
  const int e = c - 1461 * d / 4;
  const int m = (5 * e + 2) / 153;
  day = e - (153 * m + 2) / 5 + 1;
  month = m + 3 - 12 * (m / 10);
  year = 100 * b + d - 4800 + m / 10;
}

std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}

Date Date::Today() {
  const std::tm local = LocalNow();
  return FromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

bool Object::isDerivedFrom(std::string_view name) const {
  for (const ClassInfo* c = &classInfo(); c; c = c->base) {
    if (EqualsNoCase(c->name, name)) return true;
  }
  return false;
}

Value Object::handleEvent(long, const Value&, const Value&) { return Value(); }

char Value::type() const {
  static constexpr char kLetters[] = {'U', 'L', 'N', 'C', 'D', 'A', 'O', 'B'};
  return kLetters[v_.index()];
}

bool Value::logical() const { return isLogical() && std::get<bool>(v_); }
double Value::number() const { return isNumber() ? std::get<double>(v_) : 0.0; }
long Value::integer() const { return static_cast<long>(std::trunc(number())); }
const std::string& Value::text() const { return isText() ? std::get<std::string>(v_) : kEmptyText; }
Date Value::date() const { return isDate() ? std::get<Date>(v_) : Date(); }
const ArrayRef& Value::array() const { return isArray() ? std::get<ArrayRef>(v_) : kNoArray; }
const ObjectRef& Value::object() const { return isObject() ? std::get<ObjectRef>(v_) : kNoObject; }
const BlockRef& Value::block() const { return isBlock() ? std::get<BlockRef>(v_) : kNoBlock; }

Value Value::at(size_t index1) const {
  const ArrayRef& a = array();
  if (!a || index1 < 1 || index1 > a->size()) return Value();
  return (*a)[index1 - 1];
}

Value& Value::operator[](size_t index1) {
  // Out-of-range access is a programming error in the caller; grow rather than
  // write past the end so that a fault cannot corrupt memory.
  if (!isArray()) v_ = std::make_shared<Array>();
  Array& a = *std::get<ArrayRef>(v_);
  if (index1 < 1) index1 = 1;
  if (index1 > a.size()) a.resize(index1);
  return a[index1 - 1];
}

size_t Value::size() const {
  if (isArray()) return array()->size();
  if (isText()) return text().size();
  return 0;
}

Value Value::eval(const Args& args) const {
  const BlockRef& b = block();
  return b ? (*b)(args) : Value();
}

bool operator==(const Value& a, const Value& b) { return a.v_ == b.v_; }

std::string Valtype(const Value& v) { return std::string(1, v.type()); }

bool Empty(const Value& v) {
  switch (v.type()) {
    case 'U': return true;
    case 'L': return !v.logical();
    case 'N': return v.number() == 0.0;
    case 'C':
      for (char c : v.text()) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
      }
      return true;
    case 'D': return v.date().empty();
    case 'A': return v.array()->empty();
    default: return false;
  }
}

Value NewArray(size_t n) { return Value(std::make_shared<Array>(n)); }

}  // namespace rt
