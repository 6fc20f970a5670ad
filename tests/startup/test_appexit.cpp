#include <gtest/gtest.h>

#include "startup.h"
#include "test_engine.h"
#include "dbe/workarea.h"

using testing_engine::TestEngine;
using Entries = std::vector<std::string>;

namespace {

// Stands for the standard handler: AppExit must keep every error from it.
class AppExitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = rt::ErrorBlock(standard);
    rt::DbSelectArea(7);
  }
  void TearDown() override {
    rt::CloseAllWorkAreas();
    rt::ErrorBlock(saved_);
    rt::DbSelectArea(1);
  }
  int reached = 0;
  const rt::Value standard = rt::Value([this](const rt::Args&) -> rt::Value {
    ++reached;
    return false;
  });

 private:
  rt::Value saved_;
};

TEST_F(AppExitTest, WithoutWorkAreasOnlyTheHandlerIsSwappedAndBack) {
  valumat::AppExit();
  EXPECT_EQ(rt::ErrorBlock(), standard);
  EXPECT_EQ(rt::Select(), 7);
  EXPECT_EQ(reached, 0);
}

TEST_F(AppExitTest, EveryAreaCommittedAndClosedInListOrder) {
  TestEngine engine;
  engine.open("A");
  engine.open("B");
  engine.open("C");
  rt::DbSelectArea(2);
  ASSERT_TRUE(rt::DbCloseArea());  // the list is 1, 3
  rt::DbSelectArea(7);

  valumat::AppExit();
  EXPECT_EQ(engine.entries(), (Entries{"B:close@2", "A:commit@1", "A:close@1", "C:commit@3", "C:close@3"}));
  EXPECT_EQ(rt::WorkSpaceList().size(), 0u);
  EXPECT_EQ(rt::Select(), 7);
  EXPECT_EQ(reached, 0);
  EXPECT_EQ(rt::ErrorBlock(), standard);
}

TEST_F(AppExitTest, FailingCommitRolledBackAndClosedTheNextStillCommitted) {
  TestEngine engine;
  engine.open("A")->commitFailures = 1;
  engine.open("B");
  rt::DbSelectArea(7);

  valumat::AppExit();
  EXPECT_EQ(engine.entries(),
            (Entries{"A:commit!@1", "A:rollback@1", "A:close@1", "B:commit@2", "B:close@2"}));
  EXPECT_EQ(rt::WorkSpaceList().size(), 0u);
  EXPECT_EQ(rt::Select(), 7);
  EXPECT_EQ(reached, 0);  // not shown, not reported
  EXPECT_EQ(rt::ErrorBlock(), standard);
}

TEST_F(AppExitTest, FailingCloseRolledBackAndClosedAgain) {
  TestEngine engine;
  engine.open("A")->closeFailures = 1;
  engine.open("B");

  valumat::AppExit();
  EXPECT_EQ(engine.entries(), (Entries{"A:commit@1", "A:close!@1", "A:rollback@1", "A:close@1", "B:commit@2",
                                       "B:close@2"}));
  EXPECT_EQ(rt::WorkSpaceList().size(), 0u);
  EXPECT_EQ(reached, 0);
  EXPECT_EQ(rt::ErrorBlock(), standard);
}

TEST_F(AppExitTest, FailureInTheRecoveryLeavesAppExitWithTheHandlerPutBack) {
  TestEngine engine;
  auto a = engine.open("A");
  a->commitFailures = 1;
  a->rollbackFailures = 1;
  engine.open("B");
  rt::DbSelectArea(7);

  try {
    valumat::AppExit();
    ADD_FAILURE() << "the error in the recovery part must leave AppExit";
  } catch (const rt::BreakSignal& broken) {
    auto error = broken.value().as<rt::Error>();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->operation.text(), "DbRRollback");
  }
  EXPECT_EQ(engine.entries(), (Entries{"A:commit!@1", "A:rollback!@1"}));
  EXPECT_EQ(rt::WorkSpaceList().size(), 2u);  // the runtime closes them at its end
  EXPECT_EQ(rt::Select(), 7);
  EXPECT_EQ(reached, 0);
  EXPECT_EQ(rt::ErrorBlock(), standard);
}

}  // namespace
