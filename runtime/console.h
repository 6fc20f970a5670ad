// The console of a text-mode window: line output from any thread into cells
// that belong to the window's thread. Writes made on that thread go straight
// in, after whatever other threads queued; other threads queue theirs and
// wake the window, which applies them in order on its own thread. Before the
// window attaches and once it has detached, nothing reaches its cells from
// any thread.
//
// A wake-up that could not be posted is posted again with the next queued
// write. What waits for a window that does not take it stays bounded: past
// the limit the oldest queued output goes, so that the newest, which the
// window shows once it takes its queue, is kept whole.
#pragma once

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "output.h"

namespace rt {

// What the window offers the console; called on the window's thread only.
class ConsoleCells {
 public:
  virtual ~ConsoleCells() = default;
  virtual void write(std::string_view bytes) = 0;
  virtual void setCursor(long row, long col) = 0;
  virtual long row() const = 0;
  virtual long col() const = 0;
};

class ConsoleChannel : public ConsoleWindow {
 public:
  // Bytes of output (and per cursor move or write, kOpCost more) that may
  // wait for the window: several screens of the largest grid.
  static constexpr size_t kOpCost = 16;
  static constexpr size_t kDefaultLimit = size_t{4} << 20;

  // Called on the window's thread once its native window exists: that thread
  // owns the cells from now on. `wake` asks the window to call flush() on
  // its thread soon and answers whether that request is on its way; it is
  // called with the channel's lock held, so it must only post.
  void attach(std::weak_ptr<ConsoleCells> cells, std::function<bool()> wake, size_t limit = kDefaultLimit);
  // The window is going: queued output is dropped, and nothing reaches the
  // cells any more.
  void detach();
  bool live() const;
  // On the window's thread: applies what other threads queued.
  void flush();
  // The cursor as other threads see it; the window notes every move.
  void noteCursor(long row, long col);

  void write(std::string_view bytes) override;
  long row() const override;
  long col() const override;
  void setPos(long row, long col) override;

 private:
  struct Op {
    bool setPos;
    long row, col;
    std::string bytes;
  };
  // The cells, held for the call, when the caller is the window's thread and
  // the window is attached; nullptr otherwise.
  std::shared_ptr<ConsoleCells> ownCells() const;
  static size_t cost(const Op& op) { return op.bytes.size() + kOpCost; }
  void queue(Op op);
  void trimLocked();
  void apply(ConsoleCells& cells, std::deque<Op>& ops);

  mutable std::mutex mutex_;
  std::weak_ptr<ConsoleCells> cells_;
  std::function<bool()> wake_;
  std::thread::id owner_;
  bool attached_ = false;
  // A wake-up was posted and the window has not taken the queue since.
  bool wakePosted_ = false;
  std::deque<Op> pending_;
  size_t pendingCost_ = 0;
  size_t limit_ = kDefaultLimit;
  std::atomic<long> row_{0};
  std::atomic<long> col_{0};
};

}  // namespace rt
