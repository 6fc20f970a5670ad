#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "../threads/console_stress.h"

namespace {

// Calls `body` on a thread other than the window's, as a worker would.
template <class F>
void OnWorker(F body) {
  std::thread(body).join();
}

std::string Written(const consolestress::Journal& cells) {
  std::string all;
  for (const std::string& call : cells.calls) all += call.substr(1);
  return all;
}

}  // namespace

TEST(Console, OutputFromManyThreadsTouchesCellsOnlyOnTheirThread) {
  const consolestress::Result r = consolestress::Run(10, 3);
  EXPECT_EQ(r.strays, 0);
  EXPECT_GT(r.arrived, 0u);
}

TEST(Console, EveryCallOfEveryThreadArrivesInThatThreadsOrder) {
  const consolestress::Ordered r = consolestress::RunOrdered(3, 2000);
  EXPECT_EQ(r.strays, 0);
  for (const std::string& fault : r.faults) ADD_FAILURE() << fault;
}

// A wake-up that could not be posted is asked for again with the next write,
// and only until one is on its way; the window then gets everything.
TEST(Console, AFailedWakeUpIsPostedAgainWithTheNextWrite) {
  struct Case {
    int failures;  // posts that fail before one gets through
    int writes;    // from a worker, before the window takes its queue
    int asked;     // wake-ups asked for meanwhile
  };
  for (const Case c : {Case{0, 5, 1}, Case{1, 5, 2}, Case{3, 5, 4}, Case{7, 5, 5}}) {
    SCOPED_TRACE("failures " + std::to_string(c.failures));
    std::atomic<long> strays{0};
    auto cells = std::make_shared<consolestress::Journal>(strays);
    rt::ConsoleChannel channel;
    int asked = 0;
    channel.attach(cells, [&] { return ++asked > c.failures; });
    OnWorker([&] {
      for (int i = 0; i < c.writes; ++i) channel.write(std::to_string(i));
    });
    EXPECT_EQ(asked, c.asked);
    channel.flush();
    EXPECT_EQ(Written(*cells), std::string("01234").substr(0, c.writes));
    // Taken: the next write asks again.
    OnWorker([&] { channel.write("x"); });
    EXPECT_EQ(asked, c.asked + 1);
    EXPECT_EQ(strays, 0);
  }
}

// Output for a window that does not take it keeps to the limit, and what
// stays is the newest, whole and in order.
TEST(Console, QueuedOutputKeepsToItsLimitAndKeepsTheNewest) {
  constexpr size_t kOp = rt::ConsoleChannel::kOpCost;
  struct Case {
    const char* what;
    std::vector<std::string> writes;
    size_t limit;
    std::string arrives;
  };
  const std::string big(100, 'b');
  const Case cases[] = {
      {"within the limit", {"abc", "def"}, 2 * kOp + 6, "abcdef"},
      {"oldest write goes", {"abc", "def", "ghi"}, 2 * kOp + 6, "defghi"},
      {"several go", {"a", "b", "c", "d", "e"}, 2 * kOp + 2, "de"},
      {"one large write keeps its end", {"abc", big + "xyz"}, kOp + 10, std::string(7, 'b') + "xyz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::atomic<long> strays{0};
    auto cells = std::make_shared<consolestress::Journal>(strays);
    rt::ConsoleChannel channel;
    channel.attach(cells, [] { return true; }, c.limit);
    OnWorker([&] {
      for (const std::string& w : c.writes) channel.write(w);
    });
    channel.flush();
    EXPECT_EQ(Written(*cells), c.arrives);
  }
}
