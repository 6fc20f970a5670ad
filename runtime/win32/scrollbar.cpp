// Scroll bars on the standard scroll bar control.
#include <algorithm>
#include <climits>
#include <cmath>

#include "../events.h"
#include "../xbp/scrollbar.h"
#include "native.h"

namespace rt {

XbpBaseScrollBar::XbpBaseScrollBar() { tabStop = true; }

XbpWindow::NativeSpec XbpBaseScrollBar::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"SCROLLBAR";
  spec.style = type == kTypeVertical ? SBS_VERT : SBS_HORZ;
  spec.subclass = true;
  return spec;
}

void XbpBaseScrollBar::afterCreate() { showState(); }

const EventRoutes& XbpBaseScrollBar::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvScroll, CallbackOf(&XbpBaseScrollBar::scroll)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

long XbpBaseScrollBar::clamped(double position) const {
  if (std::isnan(position)) return min_;
  return std::lround(std::clamp(position, static_cast<double>(min_), static_cast<double>(max_)));
}

void XbpBaseScrollBar::showState() {
  if (!handle_) return;
  // The native bar's last position is max - page + 1: its maximum goes beyond
  // ours by a page, so that every position of the range can be reached.
  const long long nativeMax = static_cast<long long>(max_) + std::max(page_ - 1, 0L);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = min_;
  info.nMax = static_cast<int>(std::min<long long>(nativeMax, INT_MAX));
  info.nPage = static_cast<UINT>(page_);
  info.nPos = position_;
  SetScrollInfo(Hwnd(handle_), SB_CTL, &info, TRUE);
}

Value XbpBaseScrollBar::setRange(const Value& newRange) {
  const Value previous = range();
  // NIL or half a range would collapse the range to 0 and lose the position.
  if (!newRange.at(1).isNumber() || !newRange.at(2).isNumber()) return previous;
  const long a = newRange.at(1).integer(), b = newRange.at(2).integer();
  min_ = std::min(a, b);
  max_ = std::max(a, b);
  position_ = clamped(position_);
  showState();
  return previous;
}

long XbpBaseScrollBar::setScrollBoxSize(long size) {
  const long previous = page_;
  page_ = std::max(size, 0L);
  showState();
  return previous;
}

bool XbpBaseScrollBar::setData(const Args& args) {
  const Value given = dataGiven(args);
  if (!given.isNumber()) return false;
  position_ = clamped(given.number());
  showState();
  return true;
}

long XbpBaseScrollBar::getData() {
  handToLink(position_);
  return position_;
}

bool XbpBaseScrollBar::onScroll(int request, long position) {
  const double page = page_ > 0 ? page_ : std::max((static_cast<double>(max_) - min_) / 10, 1.0);
  double target = position_;
  long kind = 0;
  switch (request) {
    case SB_LINEUP: kind = kScrollLineUp; target -= 1; break;
    case SB_LINEDOWN: kind = kScrollLineDown; target += 1; break;
    case SB_PAGEUP: kind = kScrollPageUp; target -= std::floor(page); break;
    case SB_PAGEDOWN: kind = kScrollPageDown; target += std::floor(page); break;
    case SB_TOP: kind = kScrollTop; target = min_; break;
    case SB_BOTTOM: kind = kScrollBottom; target = max_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      kind = request == SB_THUMBTRACK ? kScrollTrack : kScrollEndTrack;
      // The message carries 16 bits of the position; the bar knows all 32.
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      target = GetScrollInfo(Hwnd(handle_), SB_CTL, &info) ? info.nTrackPos : position;
      break;
    }
    default: return true;  // SB_ENDSCROLL: the scrolling before it was reported
  }
  position_ = clamped(target);
  SetScrollPos(Hwnd(handle_), SB_CTL, position_, TRUE);
  post(kEvScroll, Value{position_, kind});
  return true;
}

}  // namespace rt
