// The exception classes: class methods that fill a fresh error object with
// standard codes and hand it to the installed error handler.
//
//   XbpException()->raiseParameterType({Value{aArg1, aArg2}});
//
// reaches the handler with subSystem "XBP", genCode 2, subCode 0, severity 2,
// canDefault true, canRetry false, canSubstitute true, operation naming the
// caller and args the very array passed; the raise method returns the
// handler's result.
#pragma once

#include <memory>
#include <string>

#include "classes.h"
#include "error.h"
#include "value.h"

namespace valumat {

// Instances carry no state; the classes are used through their class methods.
// Setting a class up in the class system (under the class lock, once) makes
// its class object.
class ExceptionObject : public rt::Object {
  RT_CLASS("Exception", ExceptionObject, void)

 public:
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args);
  virtual rt::Value init();
};

class XbpExceptionObject : public ExceptionObject {
  RT_CLASS("XbpException", XbpExceptionObject, ExceptionObject)

 public:
  static rt::ClassObject& InitClass(rt::ClassObject& cls, const rt::Args& args);
  rt::Value init() override;
};

// The class object of Exception. A class method runs with the class object
// it was called on as receiver, so inherited methods read the receiving
// class's own `module`.
class ExceptionClass : public rt::Object {
  RT_CLASS("Exception", ExceptionClass, void)

 public:
  // Sets the class's module ("BASE") and returns the class.
  virtual ExceptionClass& initClass();

  // Each takes one argument, the failing operation's arguments (callers pass
  // an array of all of them; it may be left out), and returns what the
  // installed handler returns.
  rt::Value raiseParameterCount(const rt::Args& args = {});
  rt::Value raiseParameterValue(const rt::Args& args = {});
  rt::Value raiseParameterType(const rt::Args& args = {});
  rt::Value raiseObjectState(const rt::Args& args = {});
  rt::Value raiseIDSC(const rt::Args& args = {});
  rt::Value raiseMemberVarAccess(const rt::Args& args = {});

  // A new instance, initialised.
  std::shared_ptr<ExceptionObject> New();

 protected:
  ExceptionClass() = default;

  // Arguments: error object, description text or message number, genCode,
  // subCode, osCode, the failed operation's arguments; counted as passed.
  ExceptionClass& prepareError(const rt::Args& args);
  // Hands the error to the installed handler (RaiseError) and returns its
  // result.
  rt::Value raise(const rt::ErrorRef& error);

  // A raise method: message number `number`, called from the method's frame.
  rt::Value raiseNumber(long number, const rt::Args& args, rt::ProcFrame& frame);
  // Frame name of a method called on this class: "Class:method".
  std::string methodName(const char* method) const { return className() + ":" + method; }
  virtual std::shared_ptr<ExceptionObject> makeInstance();

  std::string module;

  friend class ExceptionObject;
};

class XbpExceptionClass : public ExceptionClass {
  RT_CLASS("XbpException", XbpExceptionClass, ExceptionClass)

 public:
  // Sets the class's module ("XBP") and returns the class.
  ExceptionClass& initClass() override;
  rt::Value raiseDuplicateKey(const rt::Args& args = {});

 protected:
  XbpExceptionClass() = default;
  std::shared_ptr<ExceptionObject> makeInstance() override;

  friend class XbpExceptionObject;
};

// The class objects: set up on the first call (once, also when several
// threads ask at the same time); later calls return the same object.
std::shared_ptr<ExceptionClass> Exception();
std::shared_ptr<XbpExceptionClass> XbpException();

}  // namespace valumat
