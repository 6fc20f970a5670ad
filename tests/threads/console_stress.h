// Line output from several threads while consoles come and go: the cells of
// a console are only ever touched on the thread that owns them, and output
// goes nowhere once its console has detached. The same check runs in the
// unit tests and, built with ThreadSanitizer, as its own program.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console.h"
#include "output.h"
#include "settings.h"

namespace consolestress {

// Cells that note every call made off their owner's thread.
class Cells : public rt::ConsoleCells {
 public:
  explicit Cells(std::atomic<long>& strays) : strays_(strays) {}
  void write(std::string_view bytes) override {
    check();
    written_ += bytes.size();
  }
  void setCursor(long row, long col) override {
    check();
    row_ = row;
    col_ = col;
  }
  long row() const override { return check(), row_; }
  long col() const override { return check(), col_; }
  size_t written() const { return written_; }

 private:
  void check() const {
    if (std::this_thread::get_id() != owner_) ++strays_;
  }
  std::atomic<long>& strays_;
  std::thread::id owner_ = std::this_thread::get_id();
  size_t written_ = 0;
  long row_ = 0, col_ = 0;
};

// Output with no console in force goes nowhere rather than to stdout.
class Discard : public rt::ConsoleWindow {
 public:
  void write(std::string_view) override {}
  long row() const override { return 0; }
  long col() const override { return 0; }
  void setPos(long, long) override {}
};

struct InForce {
  std::mutex lock;
  std::shared_ptr<rt::ConsoleWindow> console;
};
inline InForce& Current() {
  static InForce current;
  return current;
}
inline std::shared_ptr<rt::ConsoleWindow> Find() {
  static const auto discard = std::make_shared<Discard>();
  std::lock_guard guard(Current().lock);
  return Current().console ? Current().console : discard;
}

// Runs `rounds` consoles, one after the other, on a thread of their own
// while `writers` threads write; returns the count of calls that reached
// cells off their thread, and the bytes that arrived in all.
struct Result {
  long strays = 0;
  size_t arrived = 0;
};
inline Result Run(int rounds, int writers) {
  rt::SetConsoleWindowFinder(Find);
  const rt::Value consoleWas = rt::Set(rt::kSetConsole, true);
  std::atomic<long> strays{0};
  std::atomic<bool> stop{false};
  size_t arrived = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < writers; ++i)
    threads.emplace_back([&stop] {
      for (long n = 0; !stop; ++n) {
        rt::QQOut("x");
        if (n % 8 == 0) rt::SetPos(rt::Row(), rt::Col());
      }
    });
  std::thread window([&] {
    for (int round = 0; round < rounds; ++round) {
      auto cells = std::make_shared<Cells>(strays);
      auto channel = std::make_shared<rt::ConsoleChannel>();
      std::atomic<bool> woken{false};
      channel->attach(cells, [&woken] { woken = true; });
      {
        std::lock_guard guard(Current().lock);
        Current().console = channel;
      }
      for (int pass = 0; pass < 50; ++pass) {
        if (woken.exchange(false)) channel->flush();
        channel->write("w");
        std::this_thread::yield();
      }
      {
        std::lock_guard guard(Current().lock);
        Current().console = nullptr;
      }
      channel->detach();
      arrived += cells->written();
      // Writers may still hold the channel: it outlives the cells.
    }
  });
  window.join();
  stop = true;
  for (auto& t : threads) t.join();
  rt::Set(rt::kSetConsole, consoleWas);
  rt::SetConsoleWindowFinder(nullptr);
  return {strays.load(), arrived};
}

}  // namespace consolestress
