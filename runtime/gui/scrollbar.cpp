// Scroll bars on the standard scroll bar control.
#include <algorithm>
#include <climits>
#include <cmath>

#include "../events.h"
#include "scrollbar.h"
#include "native.h"

#include <windowsx.h>

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

// --- the box dragged ---------------------------------------------------------------

bool XbpBaseScrollBar::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  HWND hwnd = Hwnd(handle_);
  const bool vertical = type == kTypeVertical;
  const long along = vertical ? GET_Y_LPARAM(lparam) : GET_X_LPARAM(lparam);
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // The control drags its box in a loop of its own, during which the
      // program's loop, and with it every kEvScroll, waits for the release.
      // Dragged here, each move reaches the program while the user drags.
      SCROLLBARINFO info{};
      info.cbSize = sizeof info;
      if (!GetScrollBarInfo(hwnd, OBJID_CLIENT, &info) || !IsWindowEnabled(hwnd)) break;
      if (along < info.xyThumbTop || along >= info.xyThumbBottom) break;
      RECT client{};
      GetClientRect(hwnd, &client);
      const long length = vertical ? client.bottom : client.right;
      const long box = info.xyThumbBottom - info.xyThumbTop;
      const long travel = length - 2 * info.dxyLineButton - box;
      if (travel <= 0 || max_ <= min_) break;
      if (GetFocus() != hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP)) SetFocus(hwnd);
      drag_ = Drag{along - info.xyThumbTop, info.dxyLineButton, travel};
      SetCapture(hwnd);
      result = 0;
      return true;
    }
    case WM_MOUSEMOVE:
      if (!drag_) break;
      dragTo(along);
      result = 0;
      return true;
    case WM_LBUTTONUP:
      if (!drag_) break;
      dragTo(along);
      ReleaseCapture();  // ends the drag through WM_CAPTURECHANGED
      result = 0;
      return true;
    case WM_CAPTURECHANGED:
      if (drag_) endDrag();
      break;
    default: break;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

void XbpBaseScrollBar::dragTo(long along) {
  const double share = static_cast<double>(along - drag_->grab - drag_->trackStart) / drag_->travel;
  const long position = clamped(min_ + share * (static_cast<double>(max_) - min_));
  if (position == position_) return;
  position_ = position;
  SetScrollPos(Hwnd(handle_), SB_CTL, position_, TRUE);
  post(kEvScroll, Value{position_, kScrollTrack});
}

void XbpBaseScrollBar::endDrag() {
  drag_.reset();
  post(kEvScroll, Value{position_, kScrollEndTrack});
}

}  // namespace rt
