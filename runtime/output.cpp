#include "output.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_set>

#include "error.h"
#include "format.h"
#include "settings.h"
#include "sysinfo.h"
#include "transform.h"

#include "platform.h"

namespace rt {

namespace {

using platform::CloseFile;
using platform::kNoFile;
using platform::OpenForWriting;
using platform::WriteAll;
using Handle = platform::FileHandle;

Handle StdHandle(bool error) { return platform::StdChannel(error); }

struct OutputState {
  std::recursive_mutex mutex;
  Handle altFile = kNoFile;
  long altError = 0;
  long row = 0;
  long col = 0;
};

OutputState& State() {
  static OutputState state;
  return state;
}

std::atomic<ConsoleWindowFinder> g_consoleFinder{nullptr};

std::shared_ptr<ConsoleWindow> ConsoleInForce() {
  const ConsoleWindowFinder find = g_consoleFinder.load();
  return find ? find() : nullptr;
}

void CloseAlternateLocked(OutputState& s) {
  if (s.altFile == kNoFile) return;
  const long code = CloseFile(s.altFile);
  if (code != 0 && s.altError == 0) s.altError = code;
  s.altFile = kNoFile;
}

std::string Joined(const Args& values) {
  std::string line;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ' ';
    line += DisplayText(values[i]);
  }
  return line;
}

void Emit(const std::string& text, bool newLine) {
  OutputState& s = State();
  std::lock_guard lock(s.mutex);
  const std::string bytes = newLine ? "\r\n" + text : text;
  if (IsOn(Set(kSetConsole))) {
    if (const auto console = ConsoleInForce()) {
      console->write(bytes);
    } else {
      const Handle out = StdHandle(false);
      if (out != kNoFile) WriteAll(out, bytes);  // no console is no failure
      if (newLine) {
        ++s.row;
        s.col = 0;
      }
      s.col += static_cast<long>(text.size());
    }
  }
  if (IsOn(Set(kSetAlternate)) && s.altFile != kNoFile) {
    const long code = WriteAll(s.altFile, bytes);
    if (code != 0 && s.altError == 0) s.altError = code;
  }
}

std::string NumberText(double n) {
  if (n == 0) return "0";  // also -0
  return FormatNumber(n, "");
}

std::string Var2CharAt(const Value& v, int depth, std::unordered_set<const Array*>& open) {
  if (!v.isArray()) return DisplayText(v);
  const Array* a = v.array().get();
  if (depth > 8 || open.count(a)) return "{...}";
  open.insert(a);
  std::string out = "{";
  for (size_t i = 0; i < a->size(); ++i) {
    if (i > 0) out += ", ";
    out += Var2CharAt((*a)[i], depth + 1, open);
  }
  open.erase(a);
  return out + "}";
}

}  // namespace

std::string DisplayText(const Value& v) {
  switch (v.type()) {
    case 'C': return v.text();
    case 'N': return NumberText(v.number());
    case 'L': return v.logical() ? ".T." : ".F.";
    case 'D': return DateToText(v.date());
    case 'A': return "{...}";
    case 'O': {
      std::string text(1, '{');
      text += v.object()->className();
      return text += '}';
    }
    case 'B': return "{||...}";
    default: return "NIL";
  }
}

std::string Var2Char(const Value& v) {
  std::unordered_set<const Array*> open;
  return Var2CharAt(v, 0, open);
}

void QOutList(const Args& values) { Emit(Joined(values), true); }
void QQOutList(const Args& values) { Emit(Joined(values), false); }

void OutErrList(const Args& values) {
  // A program with a console window of its own has no other error channel the user sees.
  if (const auto console = ConsoleInForce()) {
    console->write(Joined(values));
    return;
  }
  const Handle err = StdHandle(true);
  if (err != kNoFile) WriteAll(err, Joined(values));
}

void Tone(double frequency, double duration) {
  // The duration counts in clock ticks of 1/18.2 s.
  platform::Tone(frequency, duration * 1000.0 / 18.2);
}

void SetConsoleWindowFinder(ConsoleWindowFinder finder) { g_consoleFinder = finder; }

long Row() {
  if (const auto console = ConsoleInForce()) return console->row();
  std::lock_guard lock(State().mutex);
  return State().row;
}

long Col() {
  if (const auto console = ConsoleInForce()) return console->col();
  std::lock_guard lock(State().mutex);
  return State().col;
}

void SetPos(long row, long col) {
  if (const auto console = ConsoleInForce()) return console->setPos(row, col);
  std::lock_guard lock(State().mutex);
  State().row = row;
  State().col = col;
}

Value OpenAlternateFile(const Value& name, const Value& additive) {
  OutputState& s = State();
  {
    std::lock_guard lock(s.mutex);
    CloseAlternateLocked(s);
  }
  if (!name.isText() || name.text().find_first_not_of(' ') == std::string::npos) return Value("");
  ErrorRef error;
  for (;;) {
    long osCode = 0;
    const Handle h = OpenForWriting(name.text(), additive.logical(), osCode);
    if (h != kNoFile) {
      std::lock_guard lock(s.mutex);
      s.altFile = h;
      s.altError = 0;
      return name;
    }
    DosError(osCode);
    if (!error) {
      ErrorSpec spec;
      spec.genCode = kGenCreate;
      spec.osCode = osCode;
      spec.fileName = name.text();
      spec.operation = "Set";
      spec.canRetry = true;
      spec.canDefault = true;
      spec.args = Value{kSetAltFile, name, additive};
      error = MakeError(spec);
    }
    error->osCode = osCode;
    error->tries = error->tries.number() + 1;
    // The handler decides: true tries again, anything else leaves no file open.
    if (!(RaiseError(error) == Value(true))) return Value("");
  }
}

long AlternateFileError() {
  std::lock_guard lock(State().mutex);
  return State().altError;
}

void CloseOutput() {
  std::lock_guard lock(State().mutex);
  CloseAlternateLocked(State());
}

bool TryCloseOutput() {
  std::unique_lock lock(State().mutex, std::try_to_lock);
  if (!lock) return false;
  CloseAlternateLocked(State());
  return true;
}

}  // namespace rt
