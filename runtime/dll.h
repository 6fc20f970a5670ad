// Calls into native libraries by library handle and entry-point name:
//
//   rt::Value gdi = rt::DllLoad("GDI32.DLL");
//   rt::Value old = rt::DllCall(gdi, rt::kDllStdcall, "SetTextAlign", {hdc, 0});
//   rt::DllUnload(gdi);
//
// Arguments go to the entry point as 32-bit values: numbers as integers
// (their integer part; logicals 1 or 0, NIL 0), texts as the address of a
// copy of their bytes followed by a zero byte. A variable passed with
// DllRef lets the entry point write: a text as a writable buffer of its
// length, whose bytes come back into the variable; a number as the address
// of a 32-bit integer, whose value comes back. The result is the entry
// point's 32-bit return value as a signed number, as the entry points
// declare their int results: DrawTextA's failure 0, SetTextAlign's
// GDI_ERROR -1. A handle or flag word with the top bit set thus comes back
// negative; passed back in, it stands for the same 32 bits.
//
// The calls go through the facility in force (Libraries()), so that tests
// can put a journaling one in its place.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "value.h"

namespace rt {

// The standard Windows calling convention (the callee removes the arguments).
inline constexpr long kDllStdcall = 32;
// Arguments the runtime passes at most.
inline constexpr size_t kDllMaxArgs = 16;

// One argument of DllCall: a value, or a variable passed by reference.
class DllArg {
 public:
  DllArg(const Value& value) : value_(value) {}
  template <class T, class = std::enable_if_t<std::is_constructible_v<Value, T>>>
  DllArg(T&& value) : value_(Value(std::forward<T>(value))) {}
  // The entry point may write into `variable`.
  static DllArg Ref(Value& variable) { return DllArg(&variable); }

  const Value& value() const { return variable_ ? *variable_ : value_; }
  Value* variable() const { return variable_; }

 private:
  explicit DllArg(Value* variable) : variable_(variable) {}
  Value value_;
  Value* variable_ = nullptr;
};
inline DllArg DllRef(Value& variable) { return DllArg::Ref(variable); }

// What DllLoad, DllCall and DllUnload reach.
class LibraryCalls {
 public:
  virtual ~LibraryCalls() = default;
  virtual Value load(const std::string& name) = 0;
  virtual Value call(const Value& library, long convention, const std::string& entry, std::span<DllArg> args) = 0;
  virtual bool unload(const Value& library) = 0;
};
// The facility in force: the system's own unless a test has put another in.
LibraryCalls& Libraries();
// Puts `calls` in force (nullptr: the system's own again); returns the one
// that was.
LibraryCalls* SetLibraries(LibraryCalls* calls);

// Loads a library: its handle, 0 when it cannot be loaded. A name without a
// folder that names a library of the Windows system folder is loaded from
// there and nowhere else; any other name without a folder from the
// program's folder, by full path. A planted library of a system name in the
// current or the program's folder is thus never run.
Value DllLoad(const std::string& name);
// Calls `entry` in `library` (a handle from DllLoad, or a module handle the
// system gave). An unsupported convention, an entry point the library lacks,
// an argument that cannot be passed or more than kDllMaxArgs of them are
// raised as errors (osCode: the system's error code, where there is one)
// and nothing is called; the result is then 0.
Value DllCall(const Value& library, long convention, const std::string& entry, std::vector<DllArg> args = {});
// Releases a handle from DllLoad; false when it was none.
bool DllUnload(const Value& library);

// The runtime defers the common controls (and the theme library they
// bring) to their first need, for a quick start. A program with the
// runtime's manifest has them from its start on Windows, so what asks
// whether they are loaded calls this first to get that program's answer.
void LoadDeferredLibraries();

}  // namespace rt
