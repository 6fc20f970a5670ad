// Error objects, the one installed error handler, and breaking out of a
// protected block.
//
// Every failure is described by an `Error` object and handed to the handler
// installed with ErrorBlock; the handler's result becomes the failed
// operation's result (true: retry, false: go on with the default). A handler
// may instead Break: that throws a BreakSignal carrying a value, which the
// nearest recovery block catches:
//
//   rt::Value result = rt::Sequence(
//       [&] { ...protected code...; return rt::Value(); },
//       [&](const rt::Value& broken) { ...recovery...; return rt::Value(); });
//
// or, equivalently, try { ... } catch (const rt::BreakSignal& b) { b.value() }.
// A BreakSignal that no block catches reaches rt::Run, which reports it and
// ends the program with exit code 1 (see runtime.h).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes.h"
#include "procstack.h"
#include "value.h"

namespace rt {

class Error : public Object {
  RT_CLASS("Error", Error, void)

 public:
  // Fields hold any value: the handler and the texts built from an error test
  // their types, and callers may leave codes undefined.
  Value args;
  Value canDefault = false;
  Value canRetry = false;
  Value canSubstitute = false;
  Value cargo;
  Value description = "";
  Value fileName = "";
  Value genCode = 0;
  Value operation = "";
  Value osCode = 0;
  Value severity = 0;
  Value subCode = 0;
  Value subSystem = "";
  Value thread = 0;
  Value tries = 0;

  // An error object answers getCallstack only when a call stack was attached
  // to it (for a break that no recovery block caught, the stack at the break).
  bool isMethod(std::string_view name) const override;
  // The attached call stack: per level, innermost first, `separator` and
  // "Aufgerufen von NAME(LINE)".
  virtual std::string getCallstack(std::string_view separator) const;
  void attachCallstack(std::vector<FrameInfo> frames) { callstack_ = std::move(frames); hasCallstack_ = true; }
  // The attached frames, innermost first (none when nothing is attached).
  const std::vector<FrameInfo>& callstack() const { return callstack_; }

 private:
  std::vector<FrameInfo> callstack_;
  bool hasCallstack_ = false;
};
using ErrorRef = std::shared_ptr<Error>;

// A new error object with the natural start values.
inline ErrorRef NewError() { return std::make_shared<Error>(); }

// The installed error handler (a callback taking the error object), NIL when
// none is installed.
Value ErrorBlock();
// Installs `handler` and returns the one installed before.
Value ErrorBlock(const Value& handler);

// Calls a callback with the arguments; NIL for anything that is not one.
Value Eval(const Value& block, const Args& args = {});

// What Break throws: the value and the call stack at the break.
class BreakSignal {
 public:
  explicit BreakSignal(Value value) : value_(std::move(value)), stack_(CallStack()) {}
  const Value& value() const { return value_; }
  const std::vector<FrameInfo>& stack() const { return stack_; }

 private:
  Value value_;
  std::vector<FrameInfo> stack_;
};

// Leaves the innermost protected block at once and hands `value` to its
// recovery part.
[[noreturn]] void Break(const Value& value = Value());

// Runs `body`; a Break inside it ends it and runs `recover` with the value.
// Returns the result of whichever ran last.
Value Sequence(const std::function<Value()>& body, const std::function<Value(const Value&)>& recover);

// Failure of one of the runtime's own operations: what RaiseError fills in.
struct ErrorSpec {
  long genCode = 0;
  long subCode = 0;
  long osCode = 0;
  std::string subSystem = "BASE";
  std::string operation;
  std::string fileName;
  Value args;
  bool canDefault = true;
  bool canRetry = false;
  bool canSubstitute = false;
  long severity = 2;
  // Empty: the runtime's message text for genCode.
  std::string description;
};

// A new error object filled from `spec` (thread: the calling thread's id).
ErrorRef MakeError(const ErrorSpec& spec);

// Fills an error object from `spec`, hands it to the installed handler and
// returns the handler's result. With no handler installed the error is not
// lost: it breaks out with the error object, so the nearest recovery block or,
// failing that, rt::Run reports it.
Value RaiseError(const ErrorSpec& spec);
// The same for an error object filled in by the caller.
Value RaiseError(const ErrorRef& error);

// Generic codes of the runtime's own failures.
inline constexpr long kGenSyntax = 7;
inline constexpr long kGenNoFunction = 12;
inline constexpr long kGenCreate = 20;
inline constexpr long kGenOpen = 21;
inline constexpr long kGenClose = 22;
inline constexpr long kGenWrite = 24;
inline constexpr long kGenNoMethod = 13;

// A method sent to an object that lacks it (a NIL or a number where an object
// was expected): raised with genCode kGenNoMethod, the method's name as
// operation and {receiver, arguments...} as args; the handler's result is
// returned (the method's result when the handler lets it go on).
Value RaiseNoMethod(const Value& receiver, const std::string& method, const Args& args);

}  // namespace rt
