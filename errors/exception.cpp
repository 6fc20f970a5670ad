#include "exception.h"

#include <mutex>

#include "messages.h"
#include "procstack.h"
#include "sysinfo.h"

namespace valumat {

using namespace rt;

Value ExceptionObject::init() { return shared_from_this(); }

Value XbpExceptionObject::init() {
  ExceptionObject::init();
  return shared_from_this();
}

ExceptionClass& ExceptionClass::initClass() {
  module = "BASE";
  return *this;
}

std::shared_ptr<ExceptionObject> ExceptionClass::makeInstance() { return std::make_shared<ExceptionObject>(); }

std::shared_ptr<ExceptionObject> ExceptionClass::New() {
  auto instance = makeInstance();
  instance->init();
  return instance;
}

ExceptionClass& ExceptionClass::prepareError(const Args& a) {
  ProcFrame rt_proc_frame_(methodName("prepareError"), __LINE__);
  const auto e = Arg(a, 1).as<Error>();
  if (!e) return *this;
  const Value descriptionOrNumber = Arg(a, 2);
  const Value genCode = Arg(a, 3);
  const Value osCode = Arg(a, 5);
  const Value args = Arg(a, 6);

  e->subSystem = module;
  e->subCode = Arg(a, 4);
  e->genCode = genCode;
  e->canDefault = true;
  e->canRetry = false;
  e->canSubstitute = true;
  if (descriptionOrNumber.isNumber()) {
    e->description = LoadResource(descriptionOrNumber.integer(), kRuntimeMessages);
    if (genCode.isNil()) e->genCode = descriptionOrNumber;
  } else {
    e->description = descriptionOrNumber;
  }
  // Two levels up from here: the procedure that called the raise method.
  e->operation = ProcName(2);
  e->thread = ThreadId();
  e->severity = 2;
  if (!osCode.isNumber()) {
    if (DosError() != 0) e->osCode = DosError();
  } else {
    e->osCode = osCode;
  }
  if (args.isArray()) {
    e->args = args;  // the caller's array itself
  } else if (PCount(a) > 2) {
    e->args = Value{args};
  }
  return *this;
}

Value ExceptionClass::raise(const Value& error) {
  ProcFrame rt_proc_frame_(methodName("raise"), __LINE__);
  const Value handler = ErrorBlock();
  // With no handler installed the error must not pass unnoticed: it breaks
  // out to the nearest recovery block, or ends the program through rt::Run.
  if (!handler.isBlock()) Break(error);
  return Eval(handler, {error});
}

Value ExceptionClass::raiseNumber(long number, const Args& args, ProcFrame& frame) {
  const ErrorRef error = NewError();
  frame.at(__LINE__);
  prepareError({error, number, Value(), 0, Value(), Arg(args, 1)});
  frame.at(__LINE__);
  return raise(error);
}

#define VALUMAT_RAISE_METHOD(CLASS, METHOD, NUMBER)             \
  Value CLASS::METHOD(const Args& args) {                       \
    ProcFrame rt_proc_frame_(methodName(#METHOD), __LINE__);    \
    return raiseNumber(NUMBER, args, rt_proc_frame_);           \
  }

VALUMAT_RAISE_METHOD(ExceptionClass, raiseParameterValue, 1)
VALUMAT_RAISE_METHOD(ExceptionClass, raiseParameterType, 2)
VALUMAT_RAISE_METHOD(ExceptionClass, raiseParameterCount, 3)
VALUMAT_RAISE_METHOD(ExceptionClass, raiseMemberVarAccess, 28)
VALUMAT_RAISE_METHOD(ExceptionClass, raiseIDSC, 41)
VALUMAT_RAISE_METHOD(ExceptionClass, raiseObjectState, 104)
VALUMAT_RAISE_METHOD(XbpExceptionClass, raiseDuplicateKey, 96)

ExceptionClass& XbpExceptionClass::initClass() {
  module = "XBP";
  return *this;
}

std::shared_ptr<ExceptionObject> XbpExceptionClass::makeInstance() { return std::make_shared<XbpExceptionObject>(); }

std::shared_ptr<ExceptionClass> Exception() {
  static std::once_flag once;
  static std::shared_ptr<ExceptionClass> cls;
  std::call_once(once, [] {
    std::shared_ptr<ExceptionClass> created(new ExceptionClass());
    created->initClass();
    cls = std::move(created);
  });
  return cls;
}

std::shared_ptr<XbpExceptionClass> XbpException() {
  static std::once_flag once;
  static std::shared_ptr<XbpExceptionClass> cls;
  std::call_once(once, [] {
    Exception();  // the base class is set up first
    std::shared_ptr<XbpExceptionClass> created(new XbpExceptionClass());
    created->initClass();
    cls = std::move(created);
  });
  return cls;
}

}  // namespace valumat
