// The error log: a German report of one error in APPERROR.LOG (or the next
// free APPERROR.nnn), written through line output with the output redirected
// into the file.
#include <algorithm>

#include "boxes.h"
#include "handler.h"
#include "output.h"
#include "procstack.h"
#include "runtime.h"
#include "settings.h"
#include "sysinfo.h"
#include "text858.h"
#include "transform.h"
#include "gui/crt.h"
#include "gui/window.h"

namespace valumat {

using namespace rt;

namespace {
const std::string kRule(78, '-');

// "oError:" + field name left-aligned in 13 characters + ":" (21 in all).
std::string Label(const char* field) {
  std::string label = std::string("oError:") + field;
  if (label.size() < 20) label.append(20 - label.size(), ' ');
  return label + ":";
}

std::string Succeeded(const std::string& file) { return "Fehlerprotokoll wurde in die Datei " + file + " geschrieben"; }
const std::string kCannotOpen = "Datei für Fehlerprotokoll kann nicht geöffnet werden"_cp858;
std::string Incomplete(const std::string& file) {
  return "Fehlerprotokoll konnte nicht vollständig in die Datei "_cp858 + file + " geschrieben werden";
}

// Tells the user: a tone and the console (or, with the console off, the
// standard error channel) in text mode, a message box in a GUI application.
// A console still on here is a text window of the program's own, which the
// program's end, coming next, closes before the message could be read: the
// box then shows it as well and holds the end until the user has seen it.
void Tell(const std::string& message) {
  if (AppType() != kAppTypeGui) {
    Tone(660, 5);
    QOut(message);
    if (IsOn(Set(kSetConsole))) {
      Ui().msgBox(message);
    } else {
      OutErr(Chr(10) + Chr(13) + message);
    }
  } else {
    Ui().msgBox(message);
  }
}

std::string ThreeDigits(int n) {
  const std::string digits = std::to_string(n);
  return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}
}  // namespace

void ErrorLog(const Value& error, int levels) {
  RT_PROC("ErrorLog");
  ErrorRef e = error.as<Error>();
  if (!e) {
    e = NewError();
    e->cargo = error;
  }

  // While the file is opened, an error breaks out to the loop below.
  RT_LINE;
  const Value previousHandler = ErrorBlock(Value([](const Args& a) -> Value { Break(Arg(a, 1)); }));

  const Value printer = Set(kSetPrinter);
  const Value console = Set(kSetConsole);
  const Value altFile = Set(kSetAltFile);
  const Value alternate = Set(kSetAlternate);
  const Value extra = Set(kSetExtra, false);

  Set(kSetPrinter, "OFF");
  Set(kSetConsole, "ON");
  // Console output only into a console window of the program's own.
  const WindowRef appWindow = SetAppWindow();
  const auto root = RootCrt();
  if (!appWindow || !root || !appWindow->isDerivedFrom(root->className())) Set(kSetConsole, "OFF");

  std::string extension = "LOG";
  std::string fileName;
  for (int attempt = 0;;) {
    fileName = "APPERROR." + extension;
    bool opened = true;
    try {
      RT_LINE;
      Set(kSetAltFile, fileName, false);
      Set(kSetAlternate, "ON");
    } catch (const BreakSignal&) {
      opened = false;  // the error itself is of no further interest
    }
    if (opened) break;
    ++attempt;
    extension = ThreeDigits(attempt);
    if (attempt > 999) {
      Tell(kCannotOpen);
      ErrorLevel(1);
      Ui().quit();
      return;
    }
  }

  ErrorBlock(previousHandler);

  RT_LINE;
  QOut(kRule);
  QOut("FEHLERPROTOKOLL von " + Chr(34) + AppName(true) + Chr(34) + " Datum:", Date::Today(), Time());
  QOut();
  QOut("Laufzeit-Version    :", Version() + "." + Version(3));
  QOut("Betriebssystem      :", OS());
  QOut(kRule);
  QOut(Label("args"));
  if (e->args.isArray()) {
    const ArrayRef args = e->args.array();  // kept alive while it is listed
    for (const Value& element : *args) {
      QOut(std::string(9, ' '), "-> VALTYPE:", Valtype(element));
      if (element.isObject()) {
        QQOut(" CLASS:", element.object()->className());
      } else {
        QQOut(" VALUE:", Var2Char(element));
      }
    }
  } else {
    QOut(std::string(10, ' '), "-> NIL");
  }
  QOut(Label("canDefault"), e->canDefault);
  QOut(Label("canRetry"), e->canRetry);
  QOut(Label("canSubstitute"), e->canSubstitute);
  QOut(Label("cargo"), e->cargo);
  QOut(Label("description"), e->description);
  QOut(Label("filename"), e->fileName);
  QOut(Label("genCode"), e->genCode);
  QOut(Label("operation"), e->operation);
  QOut(Label("osCode"), e->osCode);
  QOut(Label("severity"), e->severity);
  QOut(Label("subCode"), e->subCode);
  QOut(Label("subSystem"), e->subSystem);
  QOut(Label("thread"), e->thread);
  QOut(Label("tries"), e->tries);
  QOut(kRule);
  QOut("CALLSTACK:");
  QOut(kRule);
  if (e->isMethod("getCallstack")) {
    // The stack at a break nothing caught: from the procedure that raised
    // on, as the handler's own log lists it, without the frames of the
    // handler that broke out.
    const auto& frames = e->callstack();
    auto from = frames.begin();
    while (from != frames.end() && (from->name == kHandlerFrame || from->name == kHandlerBlockFrame)) ++from;
    for (auto frame = from; frame != frames.end(); ++frame) {
      QOut("Aufgerufen von", frame->name + "(" + std::to_string(frame->line) + ")");
    }
  } else {
    for (int level = levels + 1; !ProcName(level).empty(); ++level) {
      std::string name = ProcName(level);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      QOut("Aufgerufen von", name + "(" + std::to_string(ProcLine(level)) + ")");
    }
  }
  QOut();

  RT_LINE;
  Set(kSetAltFile, "");
  Set(kSetAlternate, "OFF");

  // Success is only claimed for a report that reached the file whole.
  Tell(AlternateFileError() == 0 ? Succeeded(fileName) : Incomplete(fileName));

  // The previous alternate file is opened again to be continued, not emptied.
  RT_LINE;
  Set(kSetPrinter, printer);
  Set(kSetConsole, console);
  Set(kSetAltFile, altFile, true);
  Set(kSetAlternate, alternate);
  Set(kSetExtra, extra);
}

}  // namespace valumat
