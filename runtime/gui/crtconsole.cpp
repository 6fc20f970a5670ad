// The text-mode window as the console: line output finds it while it is the
// application window, and writes bytes into its cells at the cursor.
#include <algorithm>

#include "../output.h"
#include "crt.h"
#include "native.h"

namespace rt {

namespace {

// Any thread writes; only the channel leaves here. The window object stays
// with the GUI thread: were this thread's reference the last, the window and
// its callbacks would end here, under the output lock.
std::shared_ptr<ConsoleWindow> FindConsole() {
  WindowRef app = SetAppWindow();
  const auto* crt = dynamic_cast<const XbpBaseCrt*>(app.get());
  auto console = crt ? crt->console() : nullptr;
  ReleaseOnGuiThread(std::move(app));
  return console && console->live() ? console : nullptr;
}

}  // namespace

void XbpBaseCrt::OfferConsoles() {
  static const bool finderSet = (SetConsoleWindowFinder(FindConsole), true);
  (void)finderSet;
}

// --- cells and cursor ------------------------------------------------------------

void XbpBaseCrt::clear() {
  cells_.assign(static_cast<size_t>(rows_ * cols_), ' ');
  inverse_.assign(cells_.size(), 0);
  row_ = col_ = 0;
  invalidateRows(0, rows_ - 1);
  placeCaret();
}

std::string XbpBaseCrt::rowText(long row) const {
  if (row < 0 || row >= rows_) return {};
  const auto begin = cells_.begin() + row * cols_;
  return std::string(begin, begin + cols_);
}

void XbpBaseCrt::putAt(long row, long col, std::string_view bytes, bool inverse) {
  if (row < 0 || row >= rows_) return;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const long c = col + static_cast<long>(i);
    if (c < 0) continue;
    if (c >= cols_) break;
    cells_[row * cols_ + c] = bytes[i];
    inverse_[row * cols_ + c] = inverse ? 1 : 0;
  }
  invalidateRows(row, row);
}

void XbpBaseCrt::setCursor(long row, long col) {
  row_ = std::clamp(row, 0L, rows_ - 1);
  col_ = std::clamp(col, 0L, cols_ - 1);
  placeCaret();
}

void XbpBaseCrt::lineFeed() {
  if (row_ < rows_ - 1) {
    ++row_;
    return;
  }
  // Below the last row: everything moves up one row.
  std::move(cells_.begin() + cols_, cells_.end(), cells_.begin());
  std::move(inverse_.begin() + cols_, inverse_.end(), inverse_.begin());
  std::fill(cells_.end() - cols_, cells_.end(), ' ');
  std::fill(inverse_.end() - cols_, inverse_.end(), 0);
  invalidateRows(0, rows_ - 1);
}

void XbpBaseCrt::write(std::string_view bytes) {
  const long firstRow = row_;
  for (const char b : bytes) {
    if (b == '\r') {
      col_ = 0;
    } else if (b == '\n') {
      lineFeed();
    } else {
      cells_[row_ * cols_ + col_] = b;
      inverse_[row_ * cols_ + col_] = 0;
      if (++col_ == cols_) {
        col_ = 0;
        lineFeed();
      }
    }
  }
  invalidateRows(firstRow, row_);
  placeCaret();
}

}  // namespace rt
