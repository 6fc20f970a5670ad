#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "classes.h"

using namespace rt;

namespace {

std::vector<std::string> g_setUp;
std::atomic<int> g_rootRuns{0};

class Root : public Object {
  RT_CLASS("TestRoot", Root, void)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args& args) {
    ++g_rootRuns;
    g_setUp.push_back(cls.name() + "/" + std::to_string(args.size()));
    return cls;
  }
  virtual void init(const Args& args) { received = args; }
  Args received;
};

class Derived : public Root {
  RT_CLASS("TestDerived", Derived, Root)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args& args) { return Root::InitClass(cls, args); }
};

std::atomic<int> g_slowRuns{0};

class Slow : public Object {
  RT_CLASS("TestSlow", Slow, void)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args&) {
    ++g_slowRuns;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return cls;
  }
  void init(const Args&) {}
};

int g_failuresLeft = 1;

class Fragile : public Object {
  RT_CLASS("TestFragile", Fragile, void)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args&) {
    if (g_failuresLeft-- > 0) throw std::runtime_error("not yet");
    return cls;
  }
  void init(const Args&) {}
};

}  // namespace

TEST(ClassSystem, AClassIsSetUpOnceAfterItsBaseAndRetained) {
  const size_t before = ClassCount();
  auto a = New<Derived>({1, "zwei", NIL, NIL, NIL});
  auto b = New<Derived>();
  // The base is set up first, each InitClass runs once, with no arguments.
  EXPECT_EQ(g_setUp, (std::vector<std::string>{"TestRoot/0", "TestDerived/0"}));
  EXPECT_EQ(ClassCount(), before + 2);
  New<Root>();
  EXPECT_EQ(g_rootRuns, 2);  // Root's own run, and Derived's forwarded one

  // Objects get exactly the construction arguments given.
  ASSERT_EQ(a->received.size(), 5u);
  EXPECT_EQ(a->received[1], Value("zwei"));
  EXPECT_TRUE(b->received.empty());

  const ClassObject* cls = FindClass("testderived");
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(cls, &UseClass<Derived>());
  ASSERT_NE(cls->base(), nullptr);
  EXPECT_EQ(cls->base()->name(), "TestRoot");
  EXPECT_TRUE(cls->isDerivedFrom("TestRoot"));
  EXPECT_FALSE(cls->base()->isDerivedFrom("TestDerived"));
  EXPECT_TRUE(a->isDerivedFrom("TestRoot"));
}

TEST(ClassSystem, ThreadsUsingAClassFirstAtTheSameMomentSetItUpOnce) {
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      while (!go) std::this_thread::yield();
      New<Slow>();
    });
  }
  go = true;
  for (auto& t : threads) t.join();
  EXPECT_EQ(g_slowRuns, 1);
}

TEST(ClassSystem, AFailedSetUpIsNotRetainedAndIsTriedAgain) {
  EXPECT_THROW(New<Fragile>(), std::runtime_error);
  EXPECT_EQ(FindClass("TestFragile"), nullptr);
  EXPECT_NO_THROW(New<Fragile>());
  EXPECT_NE(FindClass("TestFragile"), nullptr);
}
