// Init and InitClass of a public class that passes both on to its base class
// unchanged: every argument, in the same order and number.
#pragma once

#include "classes.h"

#define VALUMAT_FORWARDS_TO(BASE)                                                   \
 public:                                                                            \
  void init(const ::rt::Args& args) override { BASE::init(args); }                  \
  static ::rt::ClassObject& InitClass(::rt::ClassObject& cls, const ::rt::Args& args) { \
    return BASE::InitClass(cls, args);                                              \
  }
