#include "error.h"

#include <mutex>

#include "messages.h"
#include "sysinfo.h"

namespace rt {

namespace {
std::mutex g_handlerMutex;
Value g_handler;

}  // namespace

bool Error::isMethod(std::string_view name) const {
  return hasCallstack_ && EqualsNoCase(name, "getCallstack");
}

std::string Error::getCallstack(std::string_view separator) const {
  // Each line starts with the separator, so the text can be appended as it
  // comes to a message whose lines the same separator divides.
  std::string out;
  for (const FrameInfo& frame : callstack_) {
    out += separator;
    out += "Aufgerufen von ";
    out += frame.name;
    out += '(';
    out += std::to_string(frame.line);
    out += ')';
  }
  return out;
}

Value ErrorBlock() {
  std::lock_guard lock(g_handlerMutex);
  return g_handler;
}

Value ErrorBlock(const Value& handler) {
  std::lock_guard lock(g_handlerMutex);
  Value previous = g_handler;
  g_handler = handler;
  return previous;
}

Value Eval(const Value& block, const Args& args) { return block.eval(args); }

void Break(const Value& value) { throw BreakSignal(value); }

Value Sequence(const std::function<Value()>& body, const std::function<Value(const Value&)>& recover) {
  try {
    return body();
  } catch (const BreakSignal& broken) {
    return recover ? recover(broken.value()) : Value();
  }
}

ErrorRef MakeError(const ErrorSpec& spec) {
  ErrorRef e = NewError();
  e->genCode = spec.genCode;
  e->subCode = spec.subCode;
  e->osCode = spec.osCode;
  e->subSystem = spec.subSystem;
  e->operation = spec.operation;
  e->fileName = spec.fileName;
  e->args = spec.args;
  e->canDefault = spec.canDefault;
  e->canRetry = spec.canRetry;
  e->canSubstitute = spec.canSubstitute;
  e->severity = spec.severity;
  e->description = spec.description.empty() ? LoadResource(spec.genCode) : Value(spec.description);
  if (e->description.isNil()) e->description = "";
  e->thread = ThreadId();
  return e;
}

Value RaiseError(const ErrorSpec& spec) { return RaiseError(MakeError(spec)); }

Value RaiseError(const ErrorRef& error) {
  const Value handler = ErrorBlock();
  if (!handler.isBlock()) Break(error);
  return Eval(handler, {error});
}

Value RaiseNoMethod(const Value& receiver, const std::string& method, const Args& args) {
  ErrorSpec spec;
  spec.genCode = kGenNoMethod;
  spec.operation = method;
  Array all{receiver};
  all.insert(all.end(), args.begin(), args.end());
  spec.args = Value(std::move(all));
  spec.canSubstitute = true;
  return RaiseError(spec);
}

}  // namespace rt
