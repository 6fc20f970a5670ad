// Init and InitClass of a public class that passes both on to its base class
// unchanged: every argument, in the same order and number.
#pragma once

#include <algorithm>

#include "classes.h"
#include "public.h"

namespace valumat {
// Exactly `n` arguments: those given, NIL for those left out, none beyond.
inline ::rt::Args ExactlyArgs(const ::rt::Args& args, size_t n) {
  ::rt::Args exact(n);
  std::copy_n(args.begin(), std::min(n, args.size()), exact.begin());
  return exact;
}
}  // namespace valumat

#define VALUMAT_FORWARDS_TO(BASE)                                                   \
 public:                                                                            \
  void init(const ::rt::Args& args) override { BASE::init(args); }                  \
  static ::rt::ClassObject& InitClass(::rt::ClassObject& cls, const ::rt::Args& args) { \
    return BASE::InitClass(cls, args);                                              \
  }
