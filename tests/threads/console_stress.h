// Line output from several threads while consoles come and go: the cells of
// a console are only ever touched on the thread that owns them, and output
// goes nowhere once its console has detached; while one console stays,
// everything each thread writes arrives, in that thread's order. The same
// checks run in the unit tests and, built with ThreadSanitizer, as their own
// program.
#pragma once

#include <atomic>
#include <cstdio>
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
      channel->attach(cells, [&woken] { return woken = true; });
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

// Cells that keep every call in order: "w<bytes>" for a write, "p<row>,<col>"
// for a cursor move.
class Journal : public rt::ConsoleCells {
 public:
  explicit Journal(std::atomic<long>& strays) : strays_(strays) {}
  void write(std::string_view bytes) override {
    check();
    calls.push_back("w" + std::string(bytes));
  }
  void setCursor(long row, long col) override {
    check();
    calls.push_back("p" + std::to_string(row) + "," + std::to_string(col));
  }
  long row() const override { return check(), 0; }
  long col() const override { return check(), 0; }
  std::vector<std::string> calls;

 private:
  void check() const {
    if (std::this_thread::get_id() != owner_) ++strays_;
  }
  std::atomic<long>& strays_;
  std::thread::id owner_ = std::this_thread::get_id();
};

// What writer `t` does, call by call: numbered writes, every fifth followed
// by a cursor move that names the writer.
inline std::vector<std::string> Script(int t, int writes) {
  std::vector<std::string> calls;
  for (int n = 0; n < writes; ++n) {
    char text[32];
    std::snprintf(text, sizeof text, "w%c%05d;", 'A' + t, n);
    calls.push_back(text);
    if (n % 5 == 0) calls.push_back("p" + std::to_string(1000 + t) + "," + std::to_string(n));
  }
  return calls;
}

// `writers` threads write their script into one console while its window
// thread writes too and takes the queue whenever it is woken. Answers the
// calls that reached the cells off their thread and the writers whose calls
// did not all arrive in their order, with the first difference.
struct Ordered {
  long strays = 0;
  std::vector<std::string> faults;
};
inline Ordered RunOrdered(int writers, int writes) {
  std::atomic<long> strays{0};
  std::atomic<int> running{writers};
  std::vector<std::string> calls;
  std::thread window([&] {
    auto cells = std::make_shared<Journal>(strays);
    auto channel = std::make_shared<rt::ConsoleChannel>();
    std::atomic<bool> woken{false};
    channel->attach(cells, [&woken] { return woken = true; });
    std::vector<std::thread> threads;
    for (int t = 0; t < writers; ++t)
      threads.emplace_back([channel, t, writes, &running] {
        for (const std::string& call : Script(t, writes)) {
          if (call[0] == 'w') {
            channel->write(call.substr(1));
          } else {
            const size_t comma = call.find(',');
            channel->setPos(std::stol(call.substr(1, comma - 1)), std::stol(call.substr(comma + 1)));
          }
        }
        --running;
      });
    // The window's own output, between the others'; a wake-up is taken as a
    // posted message would be, on this thread.
    while (running > 0 || woken) {
      if (woken.exchange(false)) channel->flush();
      channel->write("-");
      std::this_thread::yield();
    }
    for (auto& t : threads) t.join();
    channel->detach();
    calls = cells->calls;
  });
  window.join();

  Ordered result;
  result.strays = strays.load();
  for (int t = 0; t < writers; ++t) {
    const std::vector<std::string> expected = Script(t, writes);
    const char tag = static_cast<char>('A' + t);
    const std::string row = "p" + std::to_string(1000 + t) + ",";
    std::vector<std::string> arrived;
    for (const std::string& call : calls)
      if ((call.size() > 1 && call[0] == 'w' && call[1] == tag) || call.rfind(row, 0) == 0) arrived.push_back(call);
    size_t i = 0;
    while (i < expected.size() && i < arrived.size() && expected[i] == arrived[i]) ++i;
    if (i < expected.size() || i < arrived.size())
      result.faults.push_back(std::string("writer ") + tag + ": call " + std::to_string(i) + " of " +
                              std::to_string(expected.size()) + " expected \"" +
                              (i < expected.size() ? expected[i] : "(none)") + "\", arrived \"" +
                              (i < arrived.size() ? arrived[i] : "(none)") + "\"");
  }
  return result;
}

}  // namespace consolestress
