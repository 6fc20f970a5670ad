#include <gtest/gtest.h>

#include "test_engine.h"
#include "dbe/workarea.h"

using testing_engine::TestEngine;
using Entries = std::vector<std::string>;

namespace {

std::vector<long> List() {
  std::vector<long> numbers;
  const rt::Value list = rt::WorkSpaceList();
  for (size_t i = 1; i <= list.size(); ++i) numbers.push_back(list.at(i).integer());
  return numbers;
}

class WorkAreas : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = rt::ErrorBlock(); }
  void TearDown() override {
    rt::CloseAllWorkAreas();
    rt::ErrorBlock(saved_);
    rt::DbSelectArea(1);
  }
  // Installs a handler that keeps each error and gives `answer`.
  void answer(rt::Value value) {
    rt::ErrorBlock([this, value](const rt::Args& a) -> rt::Value {
      errors.push_back(rt::Arg(a, 1).as<rt::Error>());
      return value;
    });
  }
  std::vector<rt::ErrorRef> errors;

 private:
  rt::Value saved_;
};

TEST_F(WorkAreas, OpenInTheLowestFreeSlotAndListInAscendingOrder) {
  TestEngine engine;
  long a = 0, b = 0, c = 0, d = 0;
  engine.open("A", &a);
  engine.open("B", &b);
  engine.open("C", &c);
  EXPECT_EQ(std::vector<long>({a, b, c}), std::vector<long>({1, 2, 3}));
  EXPECT_EQ(rt::Select(), 3);
  EXPECT_EQ(rt::Alias(), "C");

  rt::DbSelectArea(2);
  ASSERT_TRUE(rt::DbCloseArea());
  EXPECT_FALSE(rt::Used());
  EXPECT_EQ(rt::Alias(), "");
  EXPECT_EQ(List(), std::vector<long>({1, 3}));
  engine.open("D", &d);
  EXPECT_EQ(d, 2);
  EXPECT_EQ(List(), std::vector<long>({1, 2, 3}));
  EXPECT_EQ(engine.entries(), Entries{"B:close@2"});
}

TEST_F(WorkAreas, AreaSelectedForOneCallOnly) {
  answer(false);
  TestEngine engine;
  engine.open("A");
  auto b = engine.open("B");
  rt::DbSelectArea(5);
  EXPECT_TRUE(rt::InArea(1, rt::DbCommit));
  EXPECT_EQ(rt::Select(), 5);
  EXPECT_TRUE(rt::InArea(2, rt::DbRRollback));
  EXPECT_EQ(rt::Select(), 5);

  // Also when the call breaks out.
  b->commitFailures = 1;
  rt::ErrorBlock([](const rt::Args& a) -> rt::Value { rt::Break(rt::Arg(a, 1)); });
  EXPECT_THROW(rt::InArea(2, rt::DbCommit), rt::BreakSignal);
  EXPECT_EQ(rt::Select(), 5);
  EXPECT_EQ(engine.entries(), (Entries{"A:commit@1", "B:rollback@2", "B:commit!@2"}));
  EXPECT_EQ(rt::DbSelectArea(0), 5);  // below 1: nothing changes
  EXPECT_EQ(rt::Select(), 5);
}

TEST_F(WorkAreas, FailureReachesTheHandlerAndItsAnswerDecides) {
  answer(false);
  TestEngine engine;
  auto a = engine.open("A");
  a->commitFailures = 1;
  EXPECT_FALSE(rt::DbCommit());
  ASSERT_EQ(errors.size(), 1u);
  const rt::Error& e = *errors[0];
  EXPECT_EQ(e.genCode.integer(), rt::kGenWrite);
  EXPECT_EQ(e.osCode.integer(), 112);
  EXPECT_EQ(e.subSystem.text(), "TESTDBE");
  EXPECT_EQ(e.operation.text(), "DbCommit");
  EXPECT_EQ(e.description.text(), "commit failed");
  EXPECT_TRUE(e.canRetry.logical());
  EXPECT_EQ(e.tries.integer(), 1);

  // Retry until the engine succeeds; each try counts.
  errors.clear();
  answer(true);
  a->rollbackFailures = 2;
  EXPECT_TRUE(rt::DbRRollback());
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0]->tries.integer(), 1);
  EXPECT_EQ(errors[1]->tries.integer(), 2);
  EXPECT_EQ(errors[1]->operation.text(), "DbRRollback");
  EXPECT_EQ(engine.entries(),
            (Entries{"A:commit!@1", "A:rollback!@1", "A:rollback!@1", "A:rollback@1"}));
}

TEST_F(WorkAreas, FailedCloseLeavesTheAreaOpen) {
  answer(false);
  TestEngine engine;
  auto a = engine.open("A");
  a->closeFailures = 1;
  EXPECT_FALSE(rt::DbCloseArea());
  EXPECT_TRUE(rt::Used());
  EXPECT_EQ(List(), std::vector<long>({1}));
  EXPECT_TRUE(rt::DbCloseArea());
  EXPECT_EQ(List(), std::vector<long>());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0]->operation.text(), "DbCloseArea");
}

TEST_F(WorkAreas, AreaNotInUse) {
  answer(false);
  rt::DbSelectArea(4);
  EXPECT_FALSE(rt::DbCommit());
  EXPECT_FALSE(rt::DbRRollback());
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0]->genCode.integer(), rt::kGenNoTable);
  EXPECT_EQ(errors[0]->operation.text(), "DbCommit");
  EXPECT_EQ(errors[1]->operation.text(), "DbRRollback");
  // Closing what is closed is done.
  EXPECT_TRUE(rt::DbCloseArea());
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(WorkAreas, ClosingAllAtTheEndRaisesNothing) {
  answer(false);
  TestEngine engine;
  engine.open("A")->closeFailures = 1;
  engine.open("B");
  rt::DbSelectArea(9);
  rt::CloseAllWorkAreas();
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(List(), std::vector<long>());
  EXPECT_EQ(engine.entries(), (Entries{"A:close!@1", "B:close@2"}));
  EXPECT_EQ(rt::Select(), 9);
}

}  // namespace
