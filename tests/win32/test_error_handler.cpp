// The standard handler's decisions with scripted box answers, and the error log.
#include <filesystem>
#include <fstream>
#include <regex>

#include "boxes.h"
#include "error_test_support.h"
#include "errorsys.h"
#include "exception.h"
#include "functions.h"
#include "output.h"
#include "procstack.h"

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

Outcome Raise(const ErrorRef& e) {
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
  ScriptedUi ui;
};

}  // namespace

TEST_F(StandardHandler, RoutineCasesAreAnsweredWithoutABox) {
  ErrorRef e = Flags(true, false);
  e->genCode = 11;
  EXPECT_EQ(Raise(e).result, Value(0));
  e->genCode = 71;
  e->osCode = 32;
  EXPECT_EQ(Raise(e).result, Value(false));
  e->genCode = 78;
  e->osCode = 0;
  EXPECT_EQ(Raise(e).result, Value(false));
  EXPECT_TRUE(ui.boxes.empty());

  // The same codes without their conditions are shown.
  ui.answers = {kIdIgnore, kIdIgnore};
  e = Flags(true, true);
  e->genCode = 71;
  e->osCode = 5;
  EXPECT_EQ(Raise(e).result, Value(false));
  e = Flags(false, true);
  e->genCode = 78;
  ui.answers = {kIdRetry};
  EXPECT_EQ(Raise(e).result, Value(true));
  EXPECT_EQ(ui.boxes.size(), 2u);
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
  ui.answers = {kIdOk};
  ui.answers = {kIdIgnore};
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
  const Outcome o = [] {
    Outcome r;
    try {
      Eval(ErrorBlock(), {Value("kein Fehler")});
    } catch (const BreakSignal& b) {
      r.broke = true;
      r.broken = b.value();
    }
    return r;
  }();
  EXPECT_TRUE(o.broke);
  EXPECT_EQ(o.broken, Value("kein Fehler"));
}

// --- The error log ----------------------------------------------------------

namespace {

class Widget : public Object {
  RT_CLASS_INFO("XbpPushButton", nullptr)
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
  ErrorLog(NewError(), 0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(std::filesystem::exists("APPERROR.LOG"));
}
