// What callbacks heard, in order, one line per call, for every GUI test that
// watches callbacks. Each block also checks what a call must bring besides:
// the object it belongs to as the third parameter, NIL where nothing is due.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "value.h"

namespace guitest {

using Lines = std::vector<std::string>;

// A parameter as a test compares it: NIL, .T./.F., a whole number plainly.
inline std::string Text(const rt::Value& v) {
  if (v.isNil()) return "NIL";
  if (v.isLogical()) return v.logical() ? ".T." : ".F.";
  if (v.isNumber()) {
    const double n = v.number();
    return n == std::floor(n) ? std::to_string(static_cast<long long>(n)) : std::to_string(n);
  }
  if (v.isText()) return v.text();
  return std::string("<") + v.type() + ">";
}

struct Heard {
  using Detail = std::function<std::string(const rt::Args&)>;
  std::shared_ptr<Lines> lines = std::make_shared<Lines>();

  // A callback noting "<what> <detail(args)>" (either part may be empty),
  // expecting `self` (unless null) as the third parameter and NIL at the
  // 1-based positions `nils`.
  rt::Value block(std::string what = {}, Detail detail = First, const rt::Object* self = nullptr,
                  std::initializer_list<size_t> nils = {}) const {
    return [into = lines, what = std::move(what), detail = std::move(detail), self,
            nils = std::vector<size_t>(nils)](const rt::Args& a) -> rt::Value {
      EXPECT_TRUE(!self || rt::Arg(a, 3).object().get() == self) << what << ": another object";
      for (size_t n : nils) EXPECT_TRUE(rt::Arg(a, n).isNil()) << what << ": parameter " << n;
      std::string line = what, more = detail ? detail(a) : std::string();
      if (!line.empty() && !more.empty()) line += ' ';
      into->push_back(line + more);
      return rt::NIL;
    };
  }
  // The lines so far, forgotten here.
  Lines take() const { return std::exchange(*lines, {}); }
  size_t size() const { return lines->size(); }
  // The lines read as numbers, for blocks noting a number each (key codes).
  std::vector<long> numbers() const {
    std::vector<long> out;
    for (const std::string& line : *lines) out.push_back(std::atol(line.c_str()));
    return out;
  }

  static std::string First(const rt::Args& a) { return Text(rt::Arg(a, 1)); }
};

}  // namespace guitest
