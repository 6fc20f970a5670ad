// The runtime's dynamically typed values: NIL, logical, number, text, date,
// array, object and callback. Texts are 8-bit in code page 858; arrays and
// objects are shared by reference, as application code expects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace rt {

class Value;
class Object;

using Array = std::vector<Value>;
using ArrayRef = std::shared_ptr<Array>;
using ObjectRef = std::shared_ptr<Object>;
using Args = std::vector<Value>;
// A callback ("code block"): a closure over the variables of the procedure that
// built it. The argument count is Args::size(); NIL arguments count.
using Block = std::function<Value(const Args&)>;
using BlockRef = std::shared_ptr<const Block>;

struct Nil {
  friend bool operator==(Nil, Nil) { return true; }
};
inline constexpr Nil NIL{};

// A calendar date as a Julian day number; 0 is the empty date.
class Date {
 public:
  constexpr Date() = default;
  static Date FromYmd(int year, int month, int day);
  static Date Today();
  bool empty() const { return julian_ == 0; }
  int32_t julian() const { return julian_; }
  void ToYmd(int& year, int& month, int& day) const;
  friend bool operator==(Date a, Date b) { return a.julian_ == b.julian_; }

 private:
  explicit constexpr Date(int32_t julian) : julian_(julian) {}
  int32_t julian_ = 0;
};

// Equal texts when upper and lower case are not told apart (ASCII letters).
bool EqualsNoCase(std::string_view a, std::string_view b);

// The local calendar time now.
std::tm LocalNow();

// Class descriptor for runtime objects: name and single base class.
struct ClassInfo {
  const char* name;
  const ClassInfo* base;
};

// Base of every runtime object (windows, controls, error objects, ...).
class Object : public std::enable_shared_from_this<Object> {
 public:
  virtual ~Object() = default;
  virtual const ClassInfo& classInfo() const = 0;
  std::string className() const { return classInfo().name; }
  // True when the object's class is `name` or derives from it (case-insensitive).
  bool isDerivedFrom(std::string_view name) const;
  // Whether the object answers a method of this name (case-insensitive).
  virtual bool isMethod(std::string_view) const { return false; }
  // Processes an event addressed to the object; objects without events ignore it.
  virtual Value handleEvent(long code, const Value& mp1, const Value& mp2);
};

class Value {
 public:
  Value() = default;
  Value(Nil) {}
  Value(bool b) : v_(b) {}
  Value(int n) : v_(static_cast<double>(n)) {}
  Value(long n) : v_(static_cast<double>(n)) {}
  Value(unsigned n) : v_(static_cast<double>(n)) {}
  Value(unsigned long n) : v_(static_cast<double>(n)) {}
  Value(long long n) : v_(static_cast<double>(n)) {}
  Value(double n) : v_(n) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(Date d) : v_(d) {}
  Value(ArrayRef a) : v_(std::move(a)) {}
  Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  // A new array holding the listed elements: Value{44, 75}. A braced single
  // element is an array too, so scalars are never written in braces.
  Value(std::initializer_list<Value> elements) : v_(std::make_shared<Array>(elements)) {}
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Value(std::shared_ptr<T> o) {
    if (o) v_ = ObjectRef(std::move(o));
  }
  Value(Block b) {
    if (b) v_ = std::make_shared<const Block>(std::move(b));
  }
  Value(BlockRef b) {
    if (b) v_ = std::move(b);
  }
  // Any lambda or function object taking the argument list becomes a callback.
  template <class F, class = std::enable_if_t<std::is_invocable_r_v<Value, F, const Args&> &&
                                              !std::is_same_v<std::decay_t<F>, Block> &&
                                              !std::is_same_v<std::decay_t<F>, Value>>>
  Value(F f) : Value(Block(std::move(f))) {}

  // Type letter: "U" NIL, "L", "N", "C", "D", "A", "O", "B".
  char type() const;
  bool isNil() const { return std::holds_alternative<Nil>(v_); }
  bool isLogical() const { return std::holds_alternative<bool>(v_); }
  bool isNumber() const { return std::holds_alternative<double>(v_); }
  bool isText() const { return std::holds_alternative<std::string>(v_); }
  bool isDate() const { return std::holds_alternative<Date>(v_); }
  bool isArray() const { return std::holds_alternative<ArrayRef>(v_); }
  bool isObject() const { return std::holds_alternative<ObjectRef>(v_); }
  bool isBlock() const { return std::holds_alternative<BlockRef>(v_); }

  // Typed access; a value of another type yields the type's empty value.
  bool logical() const;
  double number() const;
  long integer() const;  // integer part of the number
  const std::string& text() const;
  Date date() const;
  const ArrayRef& array() const;
  const ObjectRef& object() const;
  const BlockRef& block() const;
  template <class T>
  std::shared_ptr<T> as() const {
    return std::dynamic_pointer_cast<T>(object());
  }

  // Array element, 1-based. Reading past the end yields NIL.
  Value at(size_t index1) const;
  Value& operator[](size_t index1);
  size_t size() const;  // elements of an array, bytes of a text, else 0

  // Evaluates a callback; NIL for anything else.
  Value eval(const Args& args = {}) const;

  // Same type and value; arrays, objects and callbacks compare by identity.
  friend bool operator==(const Value& a, const Value& b);

 private:
  std::variant<Nil, bool, double, std::string, Date, ArrayRef, ObjectRef, BlockRef> v_;
};

// Type letter as a one-character text.
std::string Valtype(const Value& v);
// The runtime's emptiness test: NIL, false, 0, blank text, empty date/array.
bool Empty(const Value& v);
// A new array of `n` NIL elements.
Value NewArray(size_t n);
// The argument at 1-based position of an argument list, NIL beyond the end.
inline Value Arg(const Args& args, size_t index1) {
  return index1 >= 1 && index1 <= args.size() ? args[index1 - 1] : Value();
}
inline size_t PCount(const Args& args) { return args.size(); }

}  // namespace rt
