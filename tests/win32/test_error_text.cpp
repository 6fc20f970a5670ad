// The error message text, the word wrap, and the exception classes.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>

#include "error.h"
#include "errorsys.h"
#include "exception.h"
#include "handler.h"
#include "messages.h"
#include "procstack.h"
#include "support/errors.h"
#include "sysinfo.h"

using namespace rt;
using namespace valumat;

namespace {

ErrorRef BaseError() {
  ErrorRef e = NewError();
  e->severity = 2;
  e->subSystem = "BASE";
  e->subCode = 1003;
  e->description = "Variable nicht vorhanden";
  e->thread = 1;
  return e;
}

using Catcher = errtest::Raised;

// Exposes the class-only methods to the tests.
class OpenException : public ExceptionClass {
 public:
  OpenException() { initClass(); }
  using ExceptionClass::prepareError;
  using ExceptionClass::raise;
};

Value CallerOfRaise(const Value& args) {
  RT_PROC("CallerOfRaise");
  RT_LINE;
  return XbpException()->raiseParameterType({args});
}

}  // namespace

TEST(ErrorMessage, LinesInOrderWithOptionalOnesLeftOut) {
  ErrorRef e = BaseError();
  e->fileName = "";
  e->operation = "";
  EXPECT_EQ(ErrorMessage(*e), "Fehler BASE/1003;Beschreibung : Variable nicht vorhanden;Thread ID : 1");

  e->fileName = "KUNDEN.DBF";
  e->operation = "DbUseArea";
  e->description = "zwei;Zeilen";
  e->thread = 7;
  EXPECT_EQ(ErrorMessage(*e),
            "Fehler BASE/1003;Beschreibung : zwei;Zeilen;Datei : KUNDEN.DBF;Operation : DbUseArea;Thread ID : 7");

  for (int severity : {0, 1}) {
    e = BaseError();
    e->severity = severity;
    EXPECT_EQ(ErrorMessage(*e).rfind("Warnung BASE/1003;", 0), 0u) << severity;
  }
  e = BaseError();
  e->subSystem = NIL;
  e->subCode = NIL;
  e->description = NIL;
  EXPECT_EQ(ErrorMessage(*e), "Fehler ????" "/????;Thread ID : 1");
}

TEST(ErrorMessage, ThreeElementCargoAddsTheDatabaseLinesSplitAt50) {
  const std::string longMessage =
      "Die Tabelle ist von einem anderen Arbeitsplatz gesperrt und kann jetzt nicht geschrieben werden";
  const std::string base = "Fehler BASE/1003;Beschreibung : Variable nicht vorhanden;Thread ID : 1";
  ErrorRef e = BaseError();
  e->cargo = Value{123, 4711, longMessage};
  EXPECT_EQ(ErrorMessage(*e), base + ";" + LineSplit(longMessage, 50));
  EXPECT_EQ(LineSplit(longMessage, 50),
            "Die Tabelle ist von einem anderen Arbeitsplatz;gesperrt und kann jetzt nicht geschrieben werden");

  e->cargo = Value{"vorher", 4711, "kurz"};
  EXPECT_EQ(ErrorMessage(*e), base + ";vorher;kurz");
  e->cargo = Value{"a", "b"};
  EXPECT_EQ(ErrorMessage(*e), base);
  e->cargo = Value{"a", 1, "c", "d"};
  EXPECT_EQ(ErrorMessage(*e), base);
}

TEST(LineSplit, WrapsAtBlanksWithinTheWidth) {
  EXPECT_EQ(LineSplit("kurz   ", 50), "kurz");
  EXPECT_EQ(LineSplit("", 50), "");
  EXPECT_EQ(LineSplit("abcde", 5), "abcde");           // exactly the width
  EXPECT_EQ(LineSplit("abcde fgh", 5), "abcde;fgh");   // blank right after a full line
  EXPECT_EQ(LineSplit("abc defgh", 5), "abc;defgh");
  EXPECT_EQ(LineSplit("abcdefghij", 4), "abcd;efgh;ij");  // a word longer than the width
  EXPECT_EQ(LineSplit("a;b c", 3), "a;b;c");          // ";" is an ordinary character here
  EXPECT_EQ(LineSplit("eins\r\nzwei\ndrei\rvier", 50), "eins;zwei;drei;vier");
  EXPECT_EQ(LineSplit("eins\r\n\r\nzwei\r\n", 50), "eins;;zwei");
  EXPECT_EQ(LineSplit("a\tb", 50), "a   b");
  EXPECT_EQ(LineSplit("Wort    ", 4), "Wort");
}

TEST(LineSplit, NoLineLongerThanTheWidthAndAsManyLinesAsCounted) {
  const std::string text =
      "Der Fehler trat beim Schreiben des Datensatzes 17 in die Datei KUNDEN.DBF auf, "
      "weil der Datentr\x84ger voll ist.\r\nBitte Platz schaffen und den Vorgang wiederholen.";
  for (int width = 1; width <= 90; ++width) {
    const std::vector<std::string> lines = WrapLines(text, width);
    const std::string joined = LineSplit(text, width);
    size_t separators = 0;
    for (char c : joined) separators += c == ';';
    EXPECT_EQ(separators + 1, lines.size()) << width;
    for (const std::string& line : lines) EXPECT_LE(line.size(), static_cast<size_t>(width)) << width;
    // Every non-blank character survives, in order.
    std::string kept, original;
    for (const std::string& line : lines) {
      for (char c : line) {
        if (c != ' ') kept += c;
      }
    }
    for (char c : text) {
      if (c != ' ' && c != '\r' && c != '\n') original += c;
    }
    EXPECT_EQ(kept, original) << width;
  }
}

TEST(ExceptionClasses, RaiseParameterTypeOnXbpExceptionReachesTheHandlerAsSpecifiedByCallers) {
  Catcher catcher(Value("handler result"));
  DosError(0);
  const Value args{"abc", 5};
  EXPECT_EQ(CallerOfRaise(args), Value("handler result"));
  ASSERT_EQ(catcher.errors.size(), 1u);
  const ErrorRef e = catcher.errors[0];
  EXPECT_EQ(catcher.handlerArgs, 1u);
  EXPECT_EQ(e->subSystem, Value("XBP"));
  EXPECT_EQ(e->genCode, Value(2));
  EXPECT_EQ(e->subCode, Value(0));
  EXPECT_EQ(e->description, LoadResource(2, kRuntimeMessages));
  EXPECT_EQ(e->args, args);  // the very array
  EXPECT_EQ(e->args.size(), 2u);
  EXPECT_EQ(e->severity, Value(2));
  EXPECT_EQ(e->canDefault, Value(true));
  EXPECT_EQ(e->canRetry, Value(false));
  EXPECT_EQ(e->canSubstitute, Value(true));
  EXPECT_EQ(e->operation, Value("CallerOfRaise"));
  EXPECT_EQ(e->thread, Value(ThreadId()));
  EXPECT_EQ(e->osCode, Value(0));
}

TEST(ExceptionClasses, ModuleOfTheReceivingClassAndTheNumberOfEachMethod) {
  Catcher catcher;
  XbpException()->raiseParameterType({Value{1}});
  Exception()->raiseParameterType({Value{1}});
  ASSERT_EQ(catcher.errors.size(), 2u);
  EXPECT_EQ(catcher.errors[0]->subSystem, Value("XBP"));
  EXPECT_EQ(catcher.errors[1]->subSystem, Value("BASE"));

  struct Case {
    Value (ExceptionClass::*method)(const Args&);
    long number;
  };
  const Case cases[] = {{&ExceptionClass::raiseParameterValue, 1}, {&ExceptionClass::raiseParameterType, 2},
                        {&ExceptionClass::raiseParameterCount, 3}, {&ExceptionClass::raiseMemberVarAccess, 28},
                        {&ExceptionClass::raiseIDSC, 41},          {&ExceptionClass::raiseObjectState, 104}};
  for (const Case& c : cases) {
    catcher.errors.clear();
    ((*Exception()).*c.method)({});
    ASSERT_EQ(catcher.errors.size(), 1u);
    EXPECT_EQ(catcher.errors[0]->genCode, Value(c.number));
    EXPECT_EQ(catcher.errors[0]->description, LoadResource(c.number));
    EXPECT_TRUE(catcher.errors[0]->description.isText());
  }
  catcher.errors.clear();
  XbpException()->raiseDuplicateKey();
  ASSERT_EQ(catcher.errors.size(), 1u);
  EXPECT_EQ(catcher.errors[0]->genCode, Value(96));
  EXPECT_EQ(catcher.errors[0]->subSystem, Value("XBP"));
}

TEST(ExceptionClasses, ArgumentsOsCodeAndDescriptionRules) {
  Catcher catcher;
  XbpException()->raiseParameterValue({Value("single")});
  XbpException()->raiseParameterValue();
  DosError(5);
  XbpException()->raiseParameterValue({Value{1}});
  DosError(0);
  ASSERT_EQ(catcher.errors.size(), 3u);
  ASSERT_TRUE(catcher.errors[0]->args.isArray());
  EXPECT_EQ(catcher.errors[0]->args.size(), 1u);
  EXPECT_EQ(catcher.errors[0]->args.at(1), Value("single"));
  ASSERT_TRUE(catcher.errors[1]->args.isArray());
  EXPECT_EQ(catcher.errors[1]->args.size(), 1u);
  EXPECT_TRUE(catcher.errors[1]->args.at(1).isNil());
  EXPECT_EQ(catcher.errors[2]->osCode, Value(5));

  OpenException cls;
  ErrorRef e = NewError();
  e->osCode = 9;
  e->args = "unchanged";
  cls.prepareError({e, "eigener Text", NIL});
  EXPECT_EQ(e->description, Value("eigener Text"));
  EXPECT_TRUE(e->genCode.isNil());
  EXPECT_EQ(e->osCode, Value(9));  // DosError 0: kept
  ASSERT_TRUE(e->args.isArray());  // three arguments: a one-element array
  EXPECT_EQ(e->args.size(), 1u);
  EXPECT_TRUE(e->args.at(1).isNil());

  e = NewError();
  e->args = "unchanged";
  cls.prepareError({e, 3});
  EXPECT_EQ(e->args, Value("unchanged"));  // two arguments leave args alone
  EXPECT_EQ(e->genCode, Value(3));
  EXPECT_EQ(e->subSystem, Value("BASE"));

  cls.prepareError({e, 3, 77, 1, 12});
  EXPECT_EQ(e->genCode, Value(77));
  EXPECT_EQ(e->subCode, Value(1));
  EXPECT_EQ(e->osCode, Value(12));
}

TEST(ExceptionClasses, ClassObjectsAreSetUpOnceAndInstancesInitialise) {
  std::set<const void*> seen;
  std::mutex m;
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      const void* x = XbpException().get();
      const void* b = Exception().get();
      std::lock_guard lock(m);
      seen.insert(x);
      seen.insert(b);
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(XbpException()->className(), "XbpException");
  EXPECT_TRUE(XbpException()->isDerivedFrom("Exception"));
  EXPECT_EQ(XbpException()->New()->className(), "XbpException");
  EXPECT_EQ(Exception()->New()->className(), "Exception");
}

TEST(ExceptionClasses, WithNoHandlerInstalledTheErrorBreaksOut) {
  const Value previous = ErrorBlock(Value());
  const Value broken = Sequence([] { return XbpException()->raiseObjectState({Value{1}}); },
                                [](const Value& v) { return v; });
  ErrorBlock(previous);
  ASSERT_TRUE(broken.as<Error>());
  EXPECT_EQ(broken.as<Error>()->genCode, Value(104));
}
