#include "output.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "error.h"
#include "format.h"
#include "settings.h"
#include "sysinfo.h"
#include "transform.h"

#ifdef _WIN32
#include <windows.h>

#include "cp858.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rt {

namespace {

#ifdef _WIN32
using Handle = HANDLE;
const Handle kNoFile = INVALID_HANDLE_VALUE;

long LastOsError() { return static_cast<long>(GetLastError()); }

Handle OpenForWriting(const std::string& name, bool additive, long& osCode) {
  const Handle h = CreateFileW(Cp858ToWide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               additive ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    osCode = LastOsError();
    return kNoFile;
  }
  if (additive) SetFilePointer(h, 0, nullptr, FILE_END);
  return h;
}

// Writes everything or reports the OS code of the failure.
long WriteAll(Handle h, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) return LastOsError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

long CloseFile(Handle h) { return CloseHandle(h) ? 0 : LastOsError(); }

Handle StdHandle(bool error) {
  const Handle h = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  return h == nullptr ? kNoFile : h;
}
#else
using Handle = int;
const Handle kNoFile = -1;

Handle OpenForWriting(const std::string& name, bool additive, long& osCode) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | (additive ? O_APPEND : O_TRUNC), 0666);
  if (fd < 0) osCode = errno;
  return fd;
}

long WriteAll(Handle fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

long CloseFile(Handle fd) { return close(fd) == 0 ? 0 : errno; }

Handle StdHandle(bool error) { return error ? 2 : 1; }
#endif

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
    const Handle out = StdHandle(false);
    if (out != kNoFile) WriteAll(out, bytes);  // no console is no failure
    if (newLine) {
      ++s.row;
      s.col = 0;
    }
    s.col += static_cast<long>(text.size());
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
  const Handle err = StdHandle(true);
  if (err != kNoFile) WriteAll(err, Joined(values));
}

void Tone(double frequency, double duration) {
#ifdef _WIN32
  const double ms = duration * 1000.0 / 18.2;
  if (frequency >= 37 && frequency <= 32767 && ms > 0) Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(ms));
#else
  (void)frequency;
  (void)duration;
#endif
}

long Row() {
  std::lock_guard lock(State().mutex);
  return State().row;
}

long Col() {
  std::lock_guard lock(State().mutex);
  return State().col;
}

void SetPos(long row, long col) {
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

}  // namespace rt
