// Procedures looked up by name at run time, and the current database session.
//
// Components that are not linked into every program (the database session
// class "DacSession", for one) register their procedures here; code that can
// use them asks IsFunction and calls them through EvalText, so it needs no
// fixed link to them.
#pragma once

#include <string>
#include <string_view>

#include "classes.h"
#include "value.h"

namespace rt {

// Kinds of registered procedures: 67 marks a class procedure (it returns a
// class object), 0 anything else.
inline constexpr int kFuncAny = 0;
inline constexpr int kFuncClass = 67;

// Registers (or, with a NIL block, removes) a procedure under `name`;
// names are not case-sensitive.
void RegisterFunction(std::string_view name, const Value& block, int kind = kFuncAny);
// Whether a procedure of that name is registered; with a kind other than
// kFuncAny, also that it was registered with that kind.
bool IsFunction(std::string_view name, int kind = kFuncAny);
// Evaluates a call written as text, "Name()" with optional blanks: the
// registered procedure's result. Any other text raises a syntax error, an
// unknown name a "function not found" error; the handler's result is
// returned then.
Value EvalText(std::string_view text);

// A database session: the last error its engine reported.
class DbSessionObject : public Object {
  RT_CLASS("DacSession", DbSessionObject, void)

 public:
  virtual long getLastError() = 0;
  virtual std::string getLastMessage() = 0;
};

// What a session class procedure returns: answers the default session.
class DbSessionClass : public Object {
  RT_CLASS("DacSession", DbSessionClass, void)

 public:
  // The default session, or NIL when there is none.
  virtual Value getDefault() = 0;
};

// The current session of the calling program (NIL: none).
Value DbSession();
// Makes `session` (a DbSessionObject, or NIL) the current one; returns the
// previous one.
Value DbSession(const Value& session);

}  // namespace rt
