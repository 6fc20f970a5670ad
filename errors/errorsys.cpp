// The standard error handler and its installation.
#include "errorsys.h"

#include <mutex>

#include "boxes.h"
#include "functions.h"
#include "handler.h"
#include "output.h"
#include "procstack.h"
#include "runtime.h"
#include "sysinfo.h"
#include "gui/window.h"

namespace valumat {

using namespace rt;

namespace {
const std::string kTitle = "Fehlermeldung";
const std::string kAbort = "Abbrechen";
const std::string kLogAndEnd = "Ende mit LOG-Datei";
const std::string kRetry = "Wiederholen";
const std::string kIgnore = "Ignorieren";
constexpr long kStyleBase = 131072;  // passed on to the message box unchanged

std::mutex g_uiMutex;

ErrorSysUi RealUi() {
  ErrorSysUi ui;
  ui.confirmBox = [](const Value& owner, const std::string& text, const std::string& title, long buttons,
                     long style) { return ConfirmBox(owner, text, title, buttons, style); };
  ui.alert = [](const std::string& text, const std::vector<std::string>& options) { return Alert(text, options); };
  ui.msgBox = [](const std::string& text) { MsgBox(text); };
  ui.quit = [] { Quit(); };
  return ui;
}

bool Is(const Value& v, double n) { return v.isNumber() && v.number() == n; }

// The current database session, also one that only a class procedure
// registered at run time knows.
Value CurrentSession() {
  Value session = DbSession();
  if (session.isNil() && IsFunction("DacSession", kFuncClass)) {
    if (auto cls = EvalText("DacSession()").as<DbSessionClass>()) session = cls->getDefault();
  }
  return session;
}

long IconFor(const Value& severity) {
  if (Is(severity, 3) || Is(severity, 2)) return kMbIconStop;
  if (Is(severity, 1)) return kMbIconExclamation;
  return kMbIconInformation;
}

std::string WithCarriageReturns(std::string text) {
  for (char& c : text) {
    if (c == ';') c = '\r';
  }
  return text;
}

}  // namespace

ErrorSysUi& Ui() {
  static ErrorSysUi ui = RealUi();
  return ui;
}

ErrorSysUi SetUi(ErrorSysUi ui) {
  std::lock_guard lock(g_uiMutex);
  ErrorSysUi previous = std::move(Ui());
  Ui() = std::move(ui);
  return previous;
}

void ErrorSys() {
  RT_PROC("ErrorSys");
  ErrorBlock(Value([](const Args& args) -> Value {
    RT_PROC(kHandlerBlockFrame);
    return StandardEH(Arg(args, 1));
  }));
  // A break that no recovery block caught ends the program: with the log.
  SetBreakReporter([](const Value& broken) {
    if (broken.as<Error>()) {
      ErrorLog(broken, 0);
    } else {
      OutErr("Programmabbruch: " + Var2Char(broken) + "\r\n");
    }
  });
}

Value StandardEH(const Value& error) {
  RT_PROC(kHandlerFrame);
  const ErrorRef e = error.as<Error>();
  if (!e) Break(error);  // not an error object: nothing to show, hand it on

  if (Is(e->genCode, 11)) return 0;
  if (Is(e->genCode, 71) && Is(e->osCode, 32) && e->canDefault.logical()) return false;
  if (Is(e->genCode, 78) && e->canDefault.logical()) return false;

  RT_LINE;
  if (auto session = CurrentSession().as<DbSessionObject>(); session && session->getLastError() != 0) {
    e->cargo = Value{e->cargo, session->getLastError(), session->getLastMessage()};
  }

  RT_LINE;
  std::string message = ErrorMessage(*e);

  std::vector<std::string> options{kAbort, kLogAndEnd};
  if (e->canRetry.logical()) options.push_back(kRetry);
  if (e->canDefault.logical()) options.push_back(kIgnore);

  if (e->osCode.isNumber() && e->osCode.number() != 0) {
    message += ";Betriebsystem Fehler : " + DisplayText(e->osCode) + ";" + DosErrorMessage(e->osCode.integer());
  }

  if (AppType() != kAppTypeGui) {
    if (SetAppWindow()) {
      const long row = Row(), col = Col();
      long choice = 0;
      RT_LINE;
      do {
        choice = Ui().alert(message, options);
      } while (choice == 0);
      SetPos(row, col);
      // A box that could not be shown at all leaves only the log.
      const std::string chosen =
          choice >= 1 && choice <= static_cast<long>(options.size()) ? options[choice - 1] : kLogAndEnd;
      if (chosen == kIgnore) return false;
      if (chosen == kRetry) return true;
      RT_LINE;
      if (chosen == kAbort) Break(e);
      ErrorLog(e, 2);
    } else {
      RT_LINE;
      ErrorLog(e, 2);
    }
    ErrorLevel(1);
    Ui().quit();
    Break(e);  // only a replaced quit returns
  }

  long buttons = kMbOk;
  if (e->canDefault.logical() && e->canRetry.logical()) {
    buttons = kMbAbortRetryIgnore;
  } else if (e->canRetry.logical()) {
    buttons = kMbRetryCancel;
  } else if (e->canDefault.logical()) {
    buttons = kMbOkCancel;
  }

  if (e->isMethod("getCallstack")) {
    message += e->getCallstack(";");
  } else {
    // Level 0 is this handler, 1 its callback, 2 the procedure that raised.
    for (int level = 2; !ProcName(level).empty(); ++level) {
      std::string name = ProcName(level);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      message += ";Aufgerufen von " + name + "(" + std::to_string(ProcLine(level)) + ")";
    }
  }

  RT_LINE;
  const long answer = Ui().confirmBox(Value(), WithCarriageReturns(message), kTitle, buttons,
                                      IconFor(e->severity) + kStyleBase);
  if (answer == kIdRetry) return true;
  if (answer == kIdIgnore) return false;
  if (answer == kIdCancel) {
    RT_LINE;
    const long confirmed = Ui().confirmBox(Value(), kLogAndEnd, kTitle, kMbYesNo, kMbIconExclamation + kStyleBase);
    if (confirmed != kIdYes) Break(e);
  }
  RT_LINE;
  ErrorLog(e, 2);
  ErrorLevel(1);
  Ui().quit();
  Break(e);  // only a replaced quit returns
}

}  // namespace valumat
