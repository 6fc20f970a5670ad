// The standard handler's decisions with scripted box answers, and the error log.
#include <filesystem>
#include <fstream>
#include <regex>

#include "boxes.h"
#include "support/errors.h"
#include "errorsys.h"
#include "exception.h"
#include "functions.h"
#include "output.h"
#include "procstack.h"
#include "support/gui.h"

using namespace rt;
using namespace valumat;
using support::ReadWholeFile;

namespace {

struct QuitCalled {};

struct Box {
  std::string text, title;
  long buttons, style;
};

// Scripted boxes: answers given in order; every box and message recorded.
class ScriptedUi {
 public:
  ScriptedUi() {
    ErrorSysUi ui;
    ui.confirmBox = [this](const Value&, const std::string& text, const std::string& title, long buttons,
                           long style) {
      boxes.push_back({text, title, buttons, style});
      if (answers.empty()) throw std::runtime_error("unexpected box");
      const long a = answers.front();
      answers.erase(answers.begin());
      return a;
    };
    ui.alert = [this](const std::string& text, const std::vector<std::string>& options) {
      alerts.push_back({text, options});
      if (alertAnswers.empty()) throw std::runtime_error("unexpected choice box");
      const long a = alertAnswers.front();
      alertAnswers.erase(alertAnswers.begin());
      return a;
    };
    ui.msgBox = [this](const std::string& text) { messages.push_back(text); };
    ui.quit = [this] {
      ++quits;
      throw QuitCalled{};
    };
    SetUi(ui);
  }
  std::vector<long> answers, alertAnswers;
  std::vector<Box> boxes;
  std::vector<std::pair<std::string, std::vector<std::string>>> alerts;
  std::vector<std::string> messages;
  int quits = 0;
};

ErrorRef Flags(bool canDefault, bool canRetry, long severity = 2) {
  ErrorRef e = NewError();
  e->subSystem = "BASE";
  e->subCode = 5;
  e->genCode = 1;
  e->description = "Test";
  e->canDefault = canDefault;
  e->canRetry = canRetry;
  e->severity = severity;
  e->thread = 1;
  return e;
}

// What a raising operation sees: the handler's result, or the broken value.
struct Outcome {
  Value result;
  bool broke = false;
  Value broken;
  bool quit = false;
};

Outcome Raise(const Value& e) {
  RT_PROC("RaisingProc");
  Outcome o;
  try {
    RT_LINE;
    o.result = Eval(ErrorBlock(), {e});
  } catch (const BreakSignal& b) {
    o.broke = true;
    o.broken = b.value();
  } catch (QuitCalled) {
    o.quit = true;
  }
  return o;
}

class Session : public DbSessionObject {
 public:
  explicit Session(long error) : error_(error) {}
  long getLastError() override { return error_; }
  std::string getLastMessage() override { return "Sperre nicht m\x94glich"; }

 private:
  long error_;
};

class SessionClass : public DbSessionClass {
 public:
  Value getDefault() override { return std::make_shared<Session>(9); }
};

class StandardHandler : public errtest::ErrorSystemTest {
 protected:
  void SetUp() override {
    ErrorSystemTest::SetUp();
    ErrorSys();
    AppType(kAppTypeGui);
  }
  // An answer scripted but never asked for means the test expected a box
  // that did not come.
  void TearDown() override {
    EXPECT_TRUE(ui.answers.empty()) << ui.answers.size() << " box answer(s) never asked for";
    EXPECT_TRUE(ui.alertAnswers.empty()) << ui.alertAnswers.size() << " choice(s) never asked for";
    ErrorSystemTest::TearDown();
  }
  ScriptedUi ui;
};

}  // namespace

TEST_F(StandardHandler, RoutineCasesAreAnsweredWithoutABox) {
  // The last two rows are the codes without their conditions: shown.
  struct Case {
    bool canDefault, canRetry;
    long genCode, osCode, answer;
    Value result;
    size_t boxes;
  };
  for (const Case& c : {Case{true, false, 11, 0, 0, 0, 0}, Case{true, false, 71, 32, 0, false, 0},
                        Case{true, false, 78, 0, 0, false, 0}, Case{true, true, 71, 5, kIdIgnore, false, 1},
                        Case{false, true, 78, 0, kIdRetry, true, 1}}) {
    SCOPED_TRACE(std::to_string(c.genCode) + (c.answer ? " shown" : ""));
    ErrorRef e = Flags(c.canDefault, c.canRetry);
    e->genCode = c.genCode;
    e->osCode = c.osCode;
    ui.boxes.clear();
    if (c.answer) ui.answers = {c.answer};
    EXPECT_EQ(Raise(e).result, c.result);
    EXPECT_EQ(ui.boxes.size(), c.boxes);
  }
}

TEST_F(StandardHandler, ButtonSetAndIconFollowTheFlagsAndSeverity) {
  struct Case {
    bool canDefault, canRetry;
    long severity, buttons, icon;
  };
  const Case cases[] = {{true, true, 2, 2, 16}, {false, true, 3, 5, 16}, {true, false, 1, 1, 48},
                        {true, true, 0, 2, 64}, {false, false, 7, 0, 64}};
  for (const Case& c : cases) {
    ui.boxes.clear();
    ui.answers = {kIdRetry};
    Raise(Flags(c.canDefault, c.canRetry, c.severity));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].buttons, c.buttons);
    EXPECT_EQ(ui.boxes[0].style, c.icon + 131072);
    EXPECT_EQ(ui.boxes[0].title, "Fehlermeldung");
  }
}

TEST_F(StandardHandler, RetryIgnoreAndCancelThenNoDecideWithoutALog) {
  ui.answers = {kIdRetry, kIdIgnore, kIdCancel, kIdNo};
  EXPECT_EQ(Raise(Flags(true, true)).result, Value(true));
  EXPECT_EQ(Raise(Flags(true, true)).result, Value(false));
  const ErrorRef e = Flags(true, false);
  const Outcome o = Raise(e);
  EXPECT_TRUE(o.broke);
  EXPECT_EQ(o.broken, Value(e));  // the error object itself
  ASSERT_EQ(ui.boxes.size(), 4u);
  EXPECT_EQ(ui.boxes[3].text, "Ende mit LOG-Datei");
  EXPECT_EQ(ui.boxes[3].buttons, kMbYesNo);
  EXPECT_EQ(ui.boxes[3].style, 131120);
  EXPECT_EQ(ui.quits, 0);
  EXPECT_FALSE(std::filesystem::exists("APPERROR.LOG"));
}

TEST_F(StandardHandler, OkAbortAndCancelThenYesWriteTheLogAndEndWithExitCode1) {
  for (const std::vector<long>& answers : {std::vector<long>{kIdOk}, std::vector<long>{kIdAbort},
                                           std::vector<long>{kIdCancel, kIdYes}}) {
    std::filesystem::remove("APPERROR.LOG");
    ErrorLevel(0);
    ui.answers = answers;
    ui.messages.clear();
    const Outcome o = Raise(Flags(true, false));
    EXPECT_TRUE(o.quit);
    EXPECT_EQ(ErrorLevel(), 1);
    EXPECT_TRUE(std::filesystem::exists("APPERROR.LOG"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0], "Fehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
  }
  EXPECT_EQ(ui.quits, 3);
}

TEST_F(StandardHandler, BoxTextHasLineBreaksOsErrorAndTheCallStackFromTheRaiser) {
  DosError(0);
  {
    RT_PROC("OuterProc");
    RT_LINE;
    // The raising procedure passes osCode through prepareError's rules: DosError.
    DosError(5);
    const Value args{1};
    auto raiseFromHere = [&] {
      RT_PROC("RaisingProc");
      RT_LINE;
      return XbpException()->raiseParameterValue({args});
    };
    ui.answers = {kIdOk};
    try {
      raiseFromHere();
    } catch (QuitCalled) {
    }
    DosError(0);
  }
  EXPECT_EQ(ui.quits, 1);  // OK: logged and ended
  ASSERT_EQ(ui.boxes.size(), 1u);
  const std::string& text = ui.boxes[0].text;
  EXPECT_EQ(text.find(';'), std::string::npos);
  const std::string expectedStart = "Fehler XBP/0\rBeschreibung : Parameterwert ung\x81ltig\rOperation : RaisingProc\r"
                                    "Thread ID : " + std::to_string(ThreadId()) + "\rBetriebsystem Fehler : 5\r" +
                                    DosErrorMessage(5) + "\rAufgerufen von XbpException:raise(";
  EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
  const std::regex stack("\rAufgerufen von XbpException:raise\\(\\d+\\)"
                         "\rAufgerufen von XbpException:raiseParameterValue\\(\\d+\\)"
                         "\rAufgerufen von RaisingProc\\(\\d+\\)"
                         "\rAufgerufen von OuterProc\\(\\d+\\)$");
  EXPECT_TRUE(std::regex_search(text, stack)) << text;
}

TEST_F(StandardHandler, DatabaseSessionErrorsBecomeCargo) {
  ui.answers = {kIdIgnore, kIdIgnore, kIdIgnore};
  ErrorRef e = Flags(true, true);
  e->cargo = "alt";
  DbSession(std::make_shared<Session>(0));
  Raise(e);
  EXPECT_EQ(e->cargo, Value("alt"));

  DbSession(std::make_shared<Session>(17));
  e = Flags(true, true);
  Raise(e);
  ASSERT_TRUE(e->cargo.isArray());
  EXPECT_EQ(e->cargo.size(), 3u);
  EXPECT_TRUE(e->cargo.at(1).isNil());
  EXPECT_EQ(e->cargo.at(2), Value(17));
  EXPECT_NE(ui.boxes.back().text.find("\rSperre nicht m\x94glich"), std::string::npos);
  DbSession(NIL);

  // No current session: the class procedure registered at run time is asked.
  RegisterFunction("DacSession", Value([](const Args&) -> Value { return std::make_shared<SessionClass>(); }),
                   kFuncClass);
  e = Flags(true, true);
  Raise(e);
  RegisterFunction("DacSession", NIL);
  EXPECT_EQ(e->cargo.at(2), Value(9));
}

TEST_F(StandardHandler, TextModeOffersTheOptionsInOrderAndInsistsOnAChoice) {
  AppType(1);
  SetPos(4, 9);
  ui.alertAnswers = {0, 0, 3, 4};
  EXPECT_EQ(Raise(Flags(true, true)).result, Value(true));  // "Wiederholen"
  EXPECT_EQ(Raise(Flags(true, true)).result, Value(false));  // "Ignorieren"
  ASSERT_EQ(ui.alerts.size(), 4u);
  EXPECT_EQ(ui.alerts[0].second,
            (std::vector<std::string>{"Abbrechen", "Ende mit LOG-Datei", "Wiederholen", "Ignorieren"}));
  EXPECT_EQ(ui.alerts[0].first.find('\r'), std::string::npos);  // ";" stays the separator
  EXPECT_EQ(Row(), 4);
  EXPECT_EQ(Col(), 9);

  ui.alertAnswers = {1};
  const ErrorRef e = Flags(false, false);
  const Outcome o = Raise(e);
  EXPECT_TRUE(o.broke);
  EXPECT_EQ(o.broken, Value(e));
  EXPECT_EQ(ui.alerts.back().second, (std::vector<std::string>{"Abbrechen", "Ende mit LOG-Datei"}));

  ui.alertAnswers = {2};
  EXPECT_TRUE(Raise(Flags(false, false)).quit);
  EXPECT_EQ(ErrorLevel(), 1);
  EXPECT_TRUE(std::filesystem::exists("APPERROR.LOG"));
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_TRUE(ui.messages.empty());  // text mode tells through the output channels
}

TEST_F(StandardHandler, AValueThatIsNoErrorObjectIsHandedOnUnchanged) {
  const Outcome o = Raise(Value("kein Fehler"));
  EXPECT_TRUE(o.broke);
  EXPECT_EQ(o.broken, Value("kein Fehler"));
}

// --- The error log ----------------------------------------------------------

namespace {

class Widget : public Object {
  RT_CLASS("XbpPushButton", Widget, void)
};

void LogFromHere(const Value& error, int levels) {
  RT_PROC("LogCaller");
  RT_LINE;
  ErrorLog(error, levels);
}

}  // namespace

class ErrorLogFile : public errtest::ErrorSystemTest {
 protected:
  void SetUp() override {
    ErrorSystemTest::SetUp();
    AppType(kAppTypeGui);
  }
  ScriptedUi ui;
};

// What reaches the standard error channel while it lives: the channel is a
// file of the test's own meanwhile.
class ErrorChannel {
 public:
  ErrorChannel() : previous_(GetStdHandle(STD_ERROR_HANDLE)) {
    file_ = CreateFileW(L"stderr.txt", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
    SetStdHandle(STD_ERROR_HANDLE, file_);
  }
  ~ErrorChannel() {
    SetStdHandle(STD_ERROR_HANDLE, previous_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  ErrorChannel(const ErrorChannel&) = delete;
  ErrorChannel& operator=(const ErrorChannel&) = delete;
  bool open() const { return file_ != INVALID_HANDLE_VALUE; }
  std::string text() const { return ReadWholeFile("stderr.txt"); }

 private:
  HANDLE previous_;
  HANDLE file_;
};

// The host's own path of the file `name`, for a Unix program; "" outside Wine.
std::wstring HostPath(const std::wstring& name) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  wchar_t full[MAX_PATH];
  if (!unixName || !GetFullPathNameW(name.c_str(), MAX_PATH, full, nullptr)) return L"";
  char* path = unixName(full);
  if (!path) return L"";
  std::wstring wide;
  for (const char* c = path; *c; ++c) wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  HeapFree(GetProcessHeap(), 0, path);
  return wide;
}

// Runs a program of the host: Wine starts a Unix program handed to
// CreateProcess (in a Unix directory of its own, so paths are given in full).
// Wine does not learn its exit code.
bool RunOnHost(const wchar_t* program, std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool Opens(const std::wstring& name) {
  const HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

// Makes `name` a link to the host's /dev/full, which opens but refuses every
// write, while it lives.
class FullDevice {
 public:
  explicit FullDevice(const std::wstring& name) : name_(name), path_(HostPath(name)) {
    if (path_.empty() || !RunOnHost(L"Z:\\bin\\ln", L"ln -s /dev/full " + path_)) return;
    // The link is another process's work; a device has no attributes to
    // show for it under Wine: it is there once the name opens.
    made_ = support::WaitUntil([&] { return Opens(name); }, std::chrono::seconds(10));
  }
  ~FullDevice() { remove(); }
  FullDevice(const FullDevice&) = delete;
  FullDevice& operator=(const FullDevice&) = delete;
  bool made() const { return made_; }
  // DeleteFile does not take a device away.
  void remove() {
    if (!made_) return;
    RunOnHost(L"Z:\\bin\\rm", L"rm -f " + path_);
    EXPECT_TRUE(support::WaitUntil([&] { return !Opens(name_); }, std::chrono::seconds(10)))
        << "the link to /dev/full outlived the test";
    made_ = false;
  }

 private:
  std::wstring name_;
  std::wstring path_;
  bool made_ = false;
};

const std::string kCannotOpen = "Datei f\x81r Fehlerprotokoll kann nicht ge\x94" "ffnet werden";

TEST_F(ErrorLogFile, LayoutByteForByte) {
  Set(kSetDateFormat, "dd.mm.yyyy");
  ErrorRef e = NewError();
  e->args = Value{"abc", std::make_shared<Widget>(), 2.5, Date::FromYmd(2002, 1, 1)};
  e->canDefault = true;
  e->cargo = NIL;
  e->description = "Datei f\x81r Test";
  e->fileName = "";
  e->genCode = 2;
  e->operation = "GraCaptionStr";
  e->osCode = 0;
  e->severity = 2;
  e->subCode = 0;
  e->subSystem = "XBP";
  e->thread = 1;
  { std::ofstream("APPERROR.LOG") << "old report that must disappear"; }
  int line = 0;
  {
    RT_PROC("OuterProc");
    line = __LINE__ + 1;
    RT_LINE;
    LogFromHere(e, 1);  // leaves LogCaller out: the listing starts at OuterProc
  }
  Set(kSetDateFormat, "dd.mm.yy");

  const std::string log = ReadWholeFile("APPERROR.LOG");
  const std::string rule(78, '-');
  const std::string crlf = "\r\n";
  const std::string headStart = crlf + rule + crlf + "FEHLERPROTOKOLL von \"" + AppName(true) + "\" Datum: ";
  ASSERT_EQ(log.substr(0, headStart.size()), headStart);
  const size_t headEnd = log.find(crlf, headStart.size());
  const std::string stamp = log.substr(headStart.size(), headEnd - headStart.size());
  EXPECT_TRUE(std::regex_match(stamp, std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)"))) << stamp;

  const std::string expectedRest =
      crlf + crlf + "Laufzeit-Version    : " + Version() + "." + Version(3) + crlf +
      "Betriebssystem      : " + OS() + crlf + rule + crlf +
      "oError:args         :" + crlf +
      "          -> VALTYPE: C VALUE: abc" + crlf +
      "          -> VALTYPE: O CLASS: XbpPushButton" + crlf +
      "          -> VALTYPE: N VALUE: 2.5" + crlf +
      "          -> VALTYPE: D VALUE: 01.01.2002" + crlf +
      "oError:canDefault   : .T." + crlf +
      "oError:canRetry     : .F." + crlf +
      "oError:canSubstitute: .F." + crlf +
      "oError:cargo        : NIL" + crlf +
      "oError:description  : Datei f\x81r Test" + crlf +
      "oError:filename     : " + crlf +
      "oError:genCode      : 2" + crlf +
      "oError:operation    : GraCaptionStr" + crlf +
      "oError:osCode       : 0" + crlf +
      "oError:severity     : 2" + crlf +
      "oError:subCode      : 0" + crlf +
      "oError:subSystem    : XBP" + crlf +
      "oError:thread       : 1" + crlf +
      "oError:tries        : 0" + crlf + rule + crlf + "CALLSTACK:" + crlf + rule + crlf +
      "Aufgerufen von OuterProc(" + std::to_string(line) + ")" + crlf;
  EXPECT_EQ(log.substr(headEnd), expectedRest);

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Fehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
}

TEST_F(ErrorLogFile, ArgumentsThatAreNoArrayOrAnEmptyOne) {
  ErrorRef e = NewError();
  ErrorLog(e, 0);
  std::string log = ReadWholeFile("APPERROR.LOG");
  EXPECT_NE(log.find("oError:args         :\r\n           -> NIL\r\noError:canDefault   :"), std::string::npos);
  e->args = NewArray(0);
  ErrorLog(e, 0);
  log = ReadWholeFile("APPERROR.LOG");
  EXPECT_NE(log.find("oError:args         :\r\noError:canDefault   :"), std::string::npos);
}

TEST_F(ErrorLogFile, ACallStackTheErrorCarriesIsUsedAsItStands) {
  ErrorRef e = NewError();
  // The handler that broke out is no part of the listing; no empty line.
  e->attachCallstack({{"StandardEH", 171}, {"(b)ErrorSys", 81}, {"Tief", 3}, {"StandardEH", 2}, {"Main", 1}});
  ErrorLog(e, 0);
  const std::string log = ReadWholeFile("APPERROR.LOG");
  const std::string tail = "CALLSTACK:\r\n" + std::string(78, '-') +
                           "\r\nAufgerufen von Tief(3)\r\nAufgerufen von StandardEH(2)\r\nAufgerufen von Main(1)\r\n";
  ASSERT_GE(log.size(), tail.size());
  EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST_F(ErrorLogFile, BlockedNamesAreSkippedAndAllBlockedEndsTheProgram) {
  support::FileBlocker blocker;
  ASSERT_TRUE(blocker.block(L"APPERROR.LOG"));
  ASSERT_TRUE(blocker.block(L"APPERROR.001"));
  ErrorLog(NewError(), 0);
  EXPECT_TRUE(std::filesystem::exists("APPERROR.002"));
  EXPECT_NE(ReadWholeFile("APPERROR.002").find("CALLSTACK:"), std::string::npos);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Fehlerprotokoll wurde in die Datei APPERROR.002 geschrieben");

  // Every one of the 1000 names blocked: the user is told and the program
  // ends with exit code 1.
  for (int i = 2; i <= 999; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"APPERROR.%03d", i);
    ASSERT_TRUE(blocker.block(name));
  }
  ErrorLevel(0);
  EXPECT_THROW(ErrorLog(NewError(), 0), QuitCalled);
  EXPECT_EQ(ui.quits, 1);
  EXPECT_EQ(ErrorLevel(), 1);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], kCannotOpen);
  EXPECT_EQ(ReadWholeFile("APPERROR.999"), "");

  // In text mode the message goes to the error channel as well, the console
  // being off.
  AppType(1);
  ErrorLevel(0);
  ErrorChannel channel;
  ASSERT_TRUE(channel.open());
  EXPECT_THROW(ErrorLog(NewError(), 0), QuitCalled);
  EXPECT_EQ(ui.quits, 2);
  EXPECT_EQ(ErrorLevel(), 1);
  EXPECT_EQ(channel.text(), "\n\r" + kCannotOpen);
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(ErrorLogFile, OutputSettingsAreAsBeforeAndAnOpenAlternateFileIsContinued) {
  // Console off so that the test's own output stays clean.
  Set(kSetConsole, false);
  Set(kSetPrinter, false);
  Set(kSetExtra, true);
  Set(kSetAltFile, "MEIN.TXT", false);
  Set(kSetAlternate, true);
  QOut("vorher");
  ErrorLog(NewError(), 0);
  QOut("nachher");
  EXPECT_EQ(Set(kSetConsole), Value(false));
  EXPECT_EQ(Set(kSetPrinter), Value(false));
  EXPECT_EQ(Set(kSetExtra), Value(true));
  EXPECT_EQ(Set(kSetAlternate), Value(true));
  EXPECT_EQ(Set(kSetAltFile), Value("MEIN.TXT"));
  Set(kSetAltFile, "");
  EXPECT_EQ(ReadWholeFile("MEIN.TXT"), "\r\nvorher\r\nnachher");
  EXPECT_EQ(ReadWholeFile("APPERROR.LOG").find("vorher"), std::string::npos);
}

TEST_F(ErrorLogFile, TextModeTellsThroughTheErrorChannelWhenTheConsoleIsOff) {
  AppType(1);
  ErrorChannel channel;
  ASSERT_TRUE(channel.open());
  ErrorLog(NewError(), 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(std::filesystem::exists("APPERROR.LOG"));
  // Line feed, carriage return, then the message.
  EXPECT_EQ(channel.text(), "\n\rFehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
}

TEST_F(ErrorLogFile, AReportThatCannotBeWrittenWholeIsNotClaimedWritten) {
  // The file opens, every write to it fails (disk full).
  FullDevice full(L"APPERROR.LOG");
  ASSERT_TRUE(full.made()) << "could not link APPERROR.LOG to /dev/full";
  ErrorLog(NewError(), 0);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Fehlerprotokoll konnte nicht vollst\x84ndig in die Datei APPERROR.LOG geschrieben werden");
  EXPECT_EQ(Set(kSetAltFile), Value(""));

  // The failure belongs to that report alone: the next one is written whole.
  full.remove();
  ErrorLog(NewError(), 0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1], "Fehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
  EXPECT_NE(ReadWholeFile("APPERROR.LOG").find("CALLSTACK:"), std::string::npos);
}
