// Line output: the console, the alternate-output file and the standard error
// channel. Which of them QOut/QQOut reach is governed by the settings
// kSetConsole (17), kSetAlternate (18) and kSetAltFile (19); a setting counts
// as on when it holds true or the text "ON".
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "value.h"

namespace rt {

// The display form QOut writes: texts as they are, numbers in their shortest
// form ("2", "1.5", "-0.25"), logicals ".T."/".F.", dates in the current date
// format, NIL "NIL", arrays "{...}", objects "{ClassName}", callbacks "{||...}".
std::string DisplayText(const Value& value);
// Text form of any value: like DisplayText, but arrays list their elements,
// "{1, abc, .T.}" (nested to a fixed depth; deeper ones and arrays that
// contain themselves show as "{...}").
std::string Var2Char(const Value& value);

// QOut starts a new line (CR LF) and writes the values in display form,
// separated by one blank; QQOut does the same without starting a new line.
void QOutList(const Args& values);
void QQOutList(const Args& values);
template <class... T>
void QOut(const T&... values) {
  QOutList(Args{Value(values)...});
}
template <class... T>
void QQOut(const T&... values) {
  QQOutList(Args{Value(values)...});
}

// Writes the values in display form, separated by one blank, to the standard
// error channel.
void OutErrList(const Args& values);
template <class... T>
void OutErr(const T&... values) {
  OutErrList(Args{Value(values)...});
}

// A tone of `frequency` Hz lasting `duration` clock ticks (18.2 per second).
void Tone(double frequency, double duration);

// Position of the text cursor: QOut and QQOut move it, SetPos places it.
long Row();
long Col();
void SetPos(long row, long col);

// A console window of the program's own (a text-mode window): while one is
// in force, console output, OutErr and the cursor are its, not the standard
// channels'. Any thread may call these; the window marshals to its own.
class ConsoleWindow {
 public:
  virtual ~ConsoleWindow() = default;
  virtual void write(std::string_view bytes) = 0;
  virtual long row() const = 0;
  virtual long col() const = 0;
  virtual void setPos(long row, long col) = 0;
};
// Answers the console window in force now, or nullptr. The window layer
// installs it; without one, output goes to the standard channels.
using ConsoleWindowFinder = std::shared_ptr<ConsoleWindow> (*)();
void SetConsoleWindowFinder(ConsoleWindowFinder finder);

// Opens the alternate-output file for kSetAltFile: closes the one open,
// then, for a non-empty name, opens that file, emptied unless `additive` is
// true. A file that cannot be opened is reported through RaiseError (generic
// code 20, the OS code, which also becomes DosError); a handler answering
// true makes it try again. Returns the name now in force ("" when none).
// Called by Set; not meant to be called directly.
Value OpenAlternateFile(const Value& name, const Value& additive);

// The operating-system error code of the first failure while writing to or
// closing the current (or last) alternate-output file; 0 when all went well.
// Opening a file starts afresh.
long AlternateFileError();

// Closes the alternate-output file, as the end of the program requires.
void CloseOutput();
// The same, unless another thread holds the output lock (a crash report
// that cannot wait for it); false then.
bool TryCloseOutput();

}  // namespace rt
