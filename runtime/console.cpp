#include "console.h"

namespace rt {

void ConsoleChannel::attach(std::weak_ptr<ConsoleCells> cells, std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  cells_ = std::move(cells);
  wake_ = std::move(wake);
  owner_ = std::this_thread::get_id();
  attached_ = true;
}

void ConsoleChannel::detach() {
  std::function<void()> wake;
  {
    std::lock_guard lock(mutex_);
    attached_ = false;
    cells_.reset();
    pending_.clear();
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

void ConsoleChannel::apply(ConsoleCells& cells, std::vector<Op>& ops) {
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
  std::vector<Op> ops;
  {
    std::lock_guard lock(mutex_);
    ops.swap(pending_);
  }
  apply(*cells, ops);
}

void ConsoleChannel::queue(Op op) {
  std::lock_guard lock(mutex_);
  if (!attached_) return;
  pending_.push_back(std::move(op));
  if (pending_.size() == 1 && wake_) wake_();
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
