// Error objects, the installed handler, breaks and recovery, call-stack frames,
// message texts, run-time procedure look-up and system information.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "error.h"
#include "functions.h"
#include "messages.h"
#include "procstack.h"
#include "sysinfo.h"

using namespace rt;

namespace {

// Installs a handler for one test and puts the previous one back.
class HandlerScope {
 public:
  explicit HandlerScope(const Value& handler) : previous_(ErrorBlock(handler)) {}
  ~HandlerScope() { ErrorBlock(previous_); }

 private:
  Value previous_;
};

int Inner(std::string& names) {
  RT_PROC("Inner");
  RT_LINE;
  const int line = __LINE__;
  names = ProcName(0) + "," + ProcName(1) + "," + ProcName(2) + "," + ProcName(3);
  EXPECT_EQ(ProcLine(0), line - 1);
  return line;
}

int Outer(std::string& names) {
  RT_PROC("Outer");
  RT_LINE;
  return Inner(names);
}

void BreakDeep() {
  RT_PROC("BreakDeep");
  RT_LINE;
  Break(Value("deep"));
}

}  // namespace

TEST(ErrorObject, StartsWithNaturalValuesAndAnswersGetCallstackOnlyWhenOneIsAttached) {
  const ErrorRef e = NewError();
  EXPECT_EQ(e->className(), "Error");
  EXPECT_TRUE(e->args.isNil());
  EXPECT_TRUE(e->cargo.isNil());
  EXPECT_EQ(e->canDefault, Value(false));
  EXPECT_EQ(e->canRetry, Value(false));
  EXPECT_EQ(e->canSubstitute, Value(false));
  EXPECT_EQ(e->osCode, Value(0));
  EXPECT_EQ(e->tries, Value(0));
  EXPECT_EQ(e->genCode, Value(0));
  EXPECT_EQ(e->description, Value(""));
  EXPECT_FALSE(e->isMethod("getCallstack"));

  e->attachCallstack({{"Inner", 12}, {"Main", 3}});
  EXPECT_TRUE(e->isMethod("GETCALLSTACK"));
  EXPECT_EQ(e->getCallstack(";"), ";Aufgerufen von Inner(12);Aufgerufen von Main(3)");
}

TEST(ErrorHandler, IsInstalledProcessWideAndRaisingHandsItTheFilledErrorObject) {
  ErrorRef seen;
  const Value handler = [&seen](const Args& a) -> Value {
    seen = Arg(a, 1).as<Error>();
    return true;
  };
  const Value before = ErrorBlock();
  {
    HandlerScope scope(handler);
    EXPECT_EQ(ErrorBlock(), handler);

    ErrorSpec spec;
    spec.genCode = kGenCreate;
    spec.osCode = 5;
    spec.fileName = "X.TXT";
    spec.canRetry = true;
    EXPECT_EQ(RaiseError(spec), Value(true));  // the handler's result
  }
  EXPECT_EQ(ErrorBlock(), before);
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->genCode, Value(20));
  EXPECT_EQ(seen->osCode, Value(5));
  EXPECT_EQ(seen->subSystem, Value("BASE"));
  EXPECT_EQ(seen->fileName, Value("X.TXT"));
  EXPECT_EQ(seen->description, LoadResource(20));
  EXPECT_EQ(seen->canRetry, Value(true));
  EXPECT_EQ(seen->severity, Value(2));
  EXPECT_EQ(seen->thread, Value(ThreadId()));
}

TEST(ErrorHandler, WithoutOneAnErrorBreaksOutInsteadOfVanishing) {
  HandlerScope none{Value()};
  bool bodyFinished = false;
  const Value result = Sequence(
      [&] {
        RaiseError(ErrorSpec{});
        bodyFinished = true;
        return Value("body");
      },
      [](const Value& broken) { return Value(broken.as<Error>() != nullptr); });
  EXPECT_FALSE(bodyFinished);
  EXPECT_EQ(result, Value(true));
}

TEST(Break, ReachesTheInnermostRecoveryBlockAndCarriesTheStackAtTheBreak) {
  std::string trace;
  const Value outer = Sequence(
      [&]() -> Value {
        const Value inner = Sequence([] { return Value("untouched"); }, [](const Value&) { return Value("wrong"); });
        trace += inner.text() + ";";
        Sequence([] { BreakDeep(); return Value(); },
                 [&](const Value& v) { trace += "inner got " + v.text() + ";"; return Value(); });
        trace += "outer goes on;";
        Break(Value(42));
      },
      [&](const Value& v) { return v; });
  EXPECT_EQ(trace, "untouched;inner got deep;outer goes on;");
  EXPECT_EQ(outer, Value(42));

  try {
    RT_PROC("Caller");
    BreakDeep();
    FAIL() << "Break returned";
  } catch (const BreakSignal& b) {
    ASSERT_GE(b.stack().size(), 2u);
    EXPECT_EQ(b.stack()[0].name, "BreakDeep");
    EXPECT_EQ(b.stack()[1].name, "Caller");
  }
  EXPECT_EQ(ProcName(0), "");  // unwinding removed the frames
}

TEST(CallStack, NamesAndLinesByLevelPerThread) {
  std::string names;
  {
    RT_PROC("TestBody");
    Outer(names);
  }
  EXPECT_EQ(names, "Inner,Outer,TestBody,");
  EXPECT_EQ(ProcName(0), "");
  EXPECT_EQ(ProcLine(0), 0);
  EXPECT_EQ(ProcName(-1), "");

  RT_PROC(std::string("Dyn") + "amic");
  std::string otherThread = "unset";
  std::thread([&] { otherThread = ProcName(0); }).join();
  EXPECT_EQ(otherThread, "");
  EXPECT_EQ(ProcName(0), "Dynamic");
}

TEST(Messages, GermanTextsInCodePage858ForTheRuntimeModuleOnly) {
  EXPECT_EQ(LoadResource(1, kRuntimeMessages), Value("Parameterwert ung\x81ltig"));
  EXPECT_EQ(LoadResource(21), Value("Datei kann nicht ge\x94" "ffnet werden"));
  for (long n : {1, 2, 3, 28, 41, 96, 104}) {
    const Value text = LoadResource(n, 4294967295.0);
    ASSERT_TRUE(text.isText()) << n;
    EXPECT_GT(text.size(), 10u) << n;
  }
  EXPECT_TRUE(LoadResource(9999).isNil());
  EXPECT_TRUE(LoadResource(1, 0).isNil());
}

TEST(Functions, LookedUpByNameAndKindAndCalledFromText) {
  int calls = 0;
  RegisterFunction("TestSession", Value([&calls](const Args&) -> Value { return ++calls; }), kFuncClass);
  EXPECT_TRUE(IsFunction("testsession", kFuncClass));
  EXPECT_TRUE(IsFunction("TESTSESSION"));
  EXPECT_FALSE(IsFunction("TestSession", 1));
  EXPECT_FALSE(IsFunction("NoSuchThing"));
  EXPECT_EQ(EvalText("TestSession()"), Value(1));
  EXPECT_EQ(EvalText("  TestSession ( ) "), Value(2));

  std::vector<long> codes;
  {
    HandlerScope scope([&codes](const Args& a) -> Value {
      codes.push_back(Arg(a, 1).as<Error>()->genCode.integer());
      return Value("handled");
    });
    EXPECT_EQ(EvalText("TestSession(1)"), Value("handled"));
    EXPECT_EQ(EvalText("TestSession"), Value("handled"));
    EXPECT_EQ(EvalText("NoSuchThing()"), Value("handled"));
  }
  EXPECT_EQ(codes, (std::vector<long>{kGenSyntax, kGenSyntax, kGenNoFunction}));
  EXPECT_EQ(calls, 2);

  RegisterFunction("TestSession", Value());
  EXPECT_FALSE(IsFunction("TestSession"));
  EXPECT_TRUE(DbSession().isNil());
}

TEST(SystemInfo, TypeVersionClockThreadAndOsError) {
  EXPECT_EQ(AppType(), kAppTypeGui);
  EXPECT_EQ(AppType(1), kAppTypeGui);
  EXPECT_EQ(AppType(kAppTypeGui), 1);

  EXPECT_EQ(Version(), Version(1) + "." + Version(2));
  EXPECT_FALSE(Version(3).empty());
  EXPECT_FALSE(OS().empty());
  EXPECT_FALSE(AppName(true).empty());
  EXPECT_LE(AppName(false).size(), AppName(true).size());

  const std::string t = Time();
  ASSERT_EQ(t.size(), 8u);
  EXPECT_EQ(t[2], ':');
  EXPECT_EQ(t[5], ':');

  const long mine = ThreadId();
  long other = 0;
  std::thread([&] { other = ThreadId(); }).join();
  EXPECT_EQ(ThreadId(), mine);
  EXPECT_NE(other, mine);

  DosError(5);
  long otherDos = -1;
  std::thread([&] { otherDos = DosError(); }).join();
  EXPECT_EQ(otherDos, 0);
  EXPECT_EQ(DosError(0), 5);
  EXPECT_FALSE(DosErrorMessage(2).empty());
}
