#include "console.h"

#include <algorithm>

namespace rt {

void ConsoleChannel::attach(std::weak_ptr<ConsoleCells> cells, std::function<bool()> wake, size_t limit) {
  std::lock_guard lock(mutex_);
  cells_ = std::move(cells);
  wake_ = std::move(wake);
  owner_ = std::this_thread::get_id();
  attached_ = true;
  wakePosted_ = false;
  limit_ = limit;
}

void ConsoleChannel::detach() {
  std::function<bool()> wake;
  std::deque<Op> dropped;
  {
    std::lock_guard lock(mutex_);
    attached_ = false;
    cells_.reset();
    dropped.swap(pending_);
    pendingCost_ = 0;
    wakePosted_ = false;
    wake.swap(wake_);
  }
  // Destroyed outside the lock: what the wake captured may be anything.
}

bool ConsoleChannel::live() const {
  std::lock_guard lock(mutex_);
  return attached_;
}

std::shared_ptr<ConsoleCells> ConsoleChannel::ownCells() const {
  std::lock_guard lock(mutex_);
  if (!attached_ || owner_ != std::this_thread::get_id()) return nullptr;
  return cells_.lock();
}

void ConsoleChannel::apply(ConsoleCells& cells, std::deque<Op>& ops) {
  for (const Op& op : ops) {
    if (op.setPos) {
      cells.setCursor(op.row, op.col);
    } else {
      cells.write(op.bytes);
    }
  }
}

void ConsoleChannel::flush() {
  const auto cells = ownCells();
  if (!cells) return;
  std::deque<Op> ops;
  {
    std::lock_guard lock(mutex_);
    ops.swap(pending_);
    pendingCost_ = 0;
    // Taken: the next queued write asks again.
    wakePosted_ = false;
  }
  apply(*cells, ops);
}

void ConsoleChannel::trimLocked() {
  while (pendingCost_ > limit_ && pending_.size() > 1) {
    pendingCost_ -= cost(pending_.front());
    pending_.pop_front();
  }
  // One write larger than the limit on its own keeps its end.
  if (pendingCost_ > limit_ && !pending_.empty()) {
    std::string& bytes = pending_.front().bytes;
    const size_t cut = std::min(bytes.size(), pendingCost_ - limit_);
    bytes.erase(0, cut);
    pendingCost_ -= cut;
  }
}

void ConsoleChannel::queue(Op op) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  pendingCost_ += cost(op);
  pending_.push_back(std::move(op));
  trimLocked();
  // Until a wake-up is known to be on its way, every write asks for one: a
  // post that failed (a full queue) is not the end of the window's output.
  if (!wakePosted_ && wake_) wakePosted_ = wake_();
}

void ConsoleChannel::noteCursor(long row, long col) {
  row_ = row;
  col_ = col;
}

void ConsoleChannel::write(std::string_view bytes) {
  if (const auto cells = ownCells()) {
    flush();
    cells->write(bytes);
    return;
  }
  queue({false, 0, 0, std::string(bytes)});
}

void ConsoleChannel::setPos(long row, long col) {
  if (const auto cells = ownCells()) {
    flush();
    cells->setCursor(row, col);
    return;
  }
  queue({true, row, col, {}});
}

long ConsoleChannel::row() const {
  if (const auto cells = ownCells()) return cells->row();
  return row_.load();
}

long ConsoleChannel::col() const {
  if (const auto cells = ownCells()) return cells->col();
  return col_.load();
}

}  // namespace rt
