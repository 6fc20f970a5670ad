// Line output into the alternate-output file, display forms, and the errors
// the file raises.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "error.h"
#include "output.h"
#include "settings.h"
#include "sysinfo.h"

using namespace rt;
namespace fs = std::filesystem;

namespace {

class Thing : public Object {
  RT_CLASS("Thing", Thing, void)
};

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A private directory; console output off and the output settings put back.
class OutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("valumat-out-" + std::to_string(ThreadId()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    console_ = Set(kSetConsole, false);
    alternate_ = Set(kSetAlternate);
    dateFormat_ = Set(kSetDateFormat);
  }
  void TearDown() override {
    Set(kSetAltFile, "");
    Set(kSetAlternate, alternate_);
    Set(kSetConsole, console_);
    Set(kSetDateFormat, dateFormat_);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string path(const char* name) const { return (dir_ / name).string(); }

  fs::path dir_;
  Value console_, alternate_, dateFormat_;
};

}  // namespace

TEST(DisplayForms, EveryTypeHasOneTextAndArraysThatContainThemselvesEnd) {
  Set(kSetDateFormat, "dd.mm.yyyy");
  EXPECT_EQ(DisplayText(true), ".T.");
  EXPECT_EQ(DisplayText(false), ".F.");
  EXPECT_EQ(DisplayText(2), "2");
  EXPECT_EQ(DisplayText(-0.25), "-0.25");
  EXPECT_EQ(DisplayText(-0.0), "0");
  EXPECT_EQ(DisplayText(4294967295.0), "4294967295");
  EXPECT_EQ(DisplayText(Date::FromYmd(2001, 12, 31)), "31.12.2001");
  EXPECT_EQ(DisplayText(NIL), "NIL");
  EXPECT_EQ(DisplayText(Value{1, 2}), "{...}");
  EXPECT_EQ(DisplayText(std::make_shared<Thing>()), "{Thing}");
  Set(kSetDateFormat, "dd.mm.yy");

  Value a{1, "abc", Value{true, NIL}};
  EXPECT_EQ(Var2Char(a), "{1, abc, {.T., NIL}}");
  a[4] = a;  // contains itself
  EXPECT_EQ(Var2Char(a), "{1, abc, {.T., NIL}, {...}}");
  a[4] = NIL;  // no cycle left behind
  EXPECT_EQ(Var2Char("x"), "x");
}

TEST_F(OutputTest, QOutAndQQOutReachTheAlternateFileOnlyWhileItIsOn) {
  const std::string file = path("ALT.TXT");
  EXPECT_EQ(Set(kSetAltFile, file, false), Value(""));
  EXPECT_EQ(Set(kSetAltFile), Value(file));
  QOut("not yet");  // alternate output is off
  Set(kSetAlternate, "ON");
  QOut("a", 1, true, NIL);
  QQOut("+", "b");
  QOut();
  Set(kSetAlternate, false);
  QOut("off again");
  Set(kSetAlternate, true);
  QQOut("c");
  EXPECT_EQ(Set(kSetAltFile, ""), Value(file));
  QOut("closed");
  EXPECT_EQ(Slurp(file), "\r\na 1 .T. NIL+ b\r\nc");
  EXPECT_EQ(AlternateFileError(), 0);
}

TEST_F(OutputTest, NotAdditiveStartsTheFileAnewAdditiveContinuesIt) {
  const std::string file = path("LOG.TXT");
  { std::ofstream(file, std::ios::binary) << "old content"; }
  Set(kSetAlternate, "ON");
  Set(kSetAltFile, file, true);
  QQOut(" more");
  Set(kSetAltFile, "");
  EXPECT_EQ(Slurp(file), "old content more");
  Set(kSetAltFile, file, false);
  QQOut("new");
  Set(kSetAltFile, "");
  EXPECT_EQ(Slurp(file), "new");
  Set(kSetAltFile, file);  // without the third argument: not additive
  Set(kSetAltFile, "");
  EXPECT_EQ(Slurp(file), "");
}

TEST_F(OutputTest, AFileThatCannotBeOpenedRaisesAnErrorWithTheOsCode) {
  const std::string file = path("missing/ALT.TXT");
  std::vector<ErrorRef> seen;
  const Value previous = ErrorBlock([&](const Args& a) -> Value {
    seen.push_back(Arg(a, 1).as<Error>());
    return false;
  });
  DosError(0);
  Set(kSetAltFile, file, false);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0]->genCode, Value(kGenCreate));
  EXPECT_NE(seen[0]->osCode, Value(0));
  EXPECT_EQ(seen[0]->osCode, Value(DosError()));
  EXPECT_EQ(seen[0]->fileName, Value(file));
  EXPECT_EQ(seen[0]->canRetry, Value(true));
  EXPECT_EQ(seen[0]->tries, Value(1));
  EXPECT_EQ(Set(kSetAltFile), Value(""));  // nothing open, nothing claimed

  // A handler that mends the cause and asks for a retry gets the file.
  seen.clear();
  ErrorBlock([&](const Args& a) -> Value {
    seen.push_back(Arg(a, 1).as<Error>());
    fs::create_directories(dir_ / "missing");
    return true;
  });
  Set(kSetAltFile, file, false);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(Set(kSetAltFile), Value(file));
  EXPECT_TRUE(fs::exists(file));

  // With no handler the error breaks out, and the old file is closed.
  ErrorBlock(Value());
  const Value broken = Sequence([&] { return Set(kSetAltFile, path("missing2/X.TXT")); },
                                [](const Value& v) { return v; });
  ASSERT_TRUE(broken.as<Error>());
  EXPECT_EQ(Set(kSetAltFile), Value(""));
  ErrorBlock(previous);
}

#ifdef __linux__
TEST_F(OutputTest, AFailedWriteIsRecordedUntilTheNextFileOpens) {
  Set(kSetAlternate, "ON");
  Set(kSetAltFile, "/dev/full", false);
  QOut("this cannot be written");
  Set(kSetAltFile, "");
  EXPECT_NE(AlternateFileError(), 0);
  Set(kSetAltFile, path("OK.TXT"), false);
  QOut("fine");
  Set(kSetAltFile, "");
  EXPECT_EQ(AlternateFileError(), 0);
}
#endif
