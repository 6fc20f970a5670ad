#include "exception.h"

#include "messages.h"
#include "procstack.h"
#include "sysinfo.h"

namespace valumat {

using namespace rt;

namespace {
// Made while their instance classes are set up; read only after UseClass.
std::shared_ptr<ExceptionClass> g_exception;
std::shared_ptr<XbpExceptionClass> g_xbpException;
}  // namespace

ClassObject& ExceptionObject::InitClass(ClassObject& cls, const Args&) {
  std::shared_ptr<ExceptionClass> created(new ExceptionClass());
  created->initClass();
  g_exception = std::move(created);
  return cls;
}

// The base class, set up first, has made Exception() already.
ClassObject& XbpExceptionObject::InitClass(ClassObject& cls, const Args&) {
  std::shared_ptr<XbpExceptionClass> created(new XbpExceptionClass());
  created->initClass();
  g_xbpException = std::move(created);
  return cls;
}

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

Value ExceptionClass::raise(const ErrorRef& error) {
  ProcFrame rt_proc_frame_(methodName("raise"), __LINE__);
  return RaiseError(error);
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
  UseClass<ExceptionObject>();
  return g_exception;
}

std::shared_ptr<XbpExceptionClass> XbpException() {
  UseClass<XbpExceptionObject>();
  return g_xbpException;
}

}  // namespace valumat
