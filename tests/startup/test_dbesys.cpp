#include <gtest/gtest.h>

#include "dbe/dbe.h"
#include "settings.h"
#include "startup.h"
#include "transform.h"

namespace {

// DbeSys in this process, beside all four engines: no box comes up.
class DbeSysSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::DbeShutdown();
    savedFormat_ = rt::Set(rt::kSetDateFormat);
    savedCentury_ = rt::Set(rt::kSetCentury);
    savedOptimize_ = rt::Set(rt::kSetOptimize);
  }
  void TearDown() override {
    rt::DbeShutdown();
    rt::Set(rt::kSetDateFormat, savedFormat_);
    rt::Set(rt::kSetCentury, savedCentury_);
    rt::Set(rt::kSetOptimize, savedOptimize_);
  }

 private:
  rt::Value savedFormat_, savedCentury_, savedOptimize_;
};

const rt::Date kFifthOfJune2003 = rt::Date::FromYmd(2003, 6, 5);

TEST_F(DbeSysSettings, TwoDigitYearsByDefaultAndTheFormatKeptWhenCenturyComesLater) {
  rt::Set(rt::kSetCentury, false);
  rt::Set(rt::kSetDateFormat, "yyyy-mm-dd");
  valumat::DbeSys();
  EXPECT_EQ(rt::Set(rt::kSetDateFormat).text(), "dd.mm.yy");
  EXPECT_EQ(rt::Set(rt::kSetOptimize).integer(), 1);
  EXPECT_EQ(rt::DateToText(kFifthOfJune2003), "05.06.03");
  rt::Set(rt::kSetCentury, true);
  EXPECT_EQ(rt::DateToText(kFifthOfJune2003), "05.06.03");
  EXPECT_EQ(rt::DbeLoaded().size(), 5u);  // four engines and the composite
}

TEST_F(DbeSysSettings, FourDigitYearsWhenOnBeforehand) {
  for (const rt::Value& on : {rt::Value(true), rt::Value("on")}) {
    rt::Set(rt::kSetCentury, on);
    valumat::DbeSys();
    EXPECT_EQ(rt::DateToText(kFifthOfJune2003), "05.06.2003");
  }
}

}  // namespace
