// Spin buttons: the entry field's edit control with an up-down control as its
// buddy. The value lives in the field's text; the arrows keep no position of
// their own and only ask the field to step.
#include "native.h"
#include "../win32/dyncalls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "../format.h"
#include "spinbutton.h"

namespace rt {

// The up-down control, a window of the runtime so that its notifications are
// reflected to it; it passes them on to its field.
class XbpBaseSpinbutton::Arrows : public XbpWindow {
  RT_CLASS("XbpSpinArrows", Arrows, XbpWindow)

 public:
  explicit Arrows(XbpBaseSpinbutton& field) : field_(field) {}

  bool onNotify(const NMHDR& header, intptr_t& result) override {
    if (header.code != static_cast<UINT>(UDN_DELTAPOS)) return false;
    const auto& delta = reinterpret_cast<const NMUPDOWN&>(header);
    if (delta.iDelta != 0) field_.stepBy((delta.iDelta > 0 ? 1 : -1) * speed());
    result = 1;  // the control's own position stays put
    return true;
  }
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override {
    if (msg == WM_LBUTTONDOWN) pressedAt_ = GetTickCount();
    return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
  bool onScroll(int, long) override { return true; }
  // Its place is the field's right end, which the field's layout gives it.
  void onDpiChanged() override {}

 protected:
  NativeSpec nativeSpec() const override {
    NativeSpec spec;
    spec.windowClass = UPDOWN_CLASSW;
    spec.style = UDS_NOTHOUSANDS;
    spec.subclass = true;
    return spec;
  }

 private:
  // Steps per repeat of an arrow held down: one at first, five after two
  // seconds, twenty after five, as the standard control's default speeds.
  // Taken from the time held rather than from the control, whose speeds
  // differ between systems (Wine's has none).
  long speed() const {
    if (GetCapture() != Hwnd(handle_)) return 1;
    const DWORD held = GetTickCount() - pressedAt_;
    return held >= 5000 ? 20 : held >= 2000 ? 5 : 1;
  }

  XbpBaseSpinbutton& field_;
  DWORD pressedAt_ = 0;
};

XbpBaseSpinbutton::XbpBaseSpinbutton() { display(value_); }

const EventRoutes& XbpBaseSpinbutton::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvSpinUp, CallbackOf(&XbpBaseSpinbutton::up)},
      {EventRoute::From::Posted, 0, kEvSpinDown, CallbackOf(&XbpBaseSpinbutton::down)},
      {EventRoute::From::Posted, 0, kEvChange, CallbackOf(&XbpBaseSpinbutton::change)},
  };
  static const EventRoutes table{&XbpBaseSLE::routes(), rows};
  return table;
}

long XbpBaseSpinbutton::clamped(double value) const {
  if (std::isnan(value)) return min_;
  return std::lround(std::clamp(value, static_cast<double>(min_), static_cast<double>(max_)));
}

long XbpBaseSpinbutton::valueOf(const std::string& text) const { return clamped(ParseNumber(text)); }

std::string XbpBaseSpinbutton::textOf(long value) const {
  std::string digits = std::to_string(std::llabs(value));
  if (PadWithZeros) {
    const size_t width = std::to_string(std::llabs(max_)).size();
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

void XbpBaseSpinbutton::display(long value) {
  value_ = value;
  // The field takes as many characters as the widest value within the limits.
  bufferLength = static_cast<long>(std::max(textOf(min_).size(), textOf(max_).size()));
  if (handle_) SendMessageW(Hwnd(handle_), EM_LIMITTEXT, static_cast<WPARAM>(bufferLength), 0);
  XbpBaseSLE::setData(textOf(value));
}

bool XbpBaseSpinbutton::setNumLimits(long minimum, long maximum) {
  min_ = std::min(minimum, maximum);
  max_ = std::max(minimum, maximum);
  display(valueOf(XbpBaseSLE::editBuffer()));
  return true;
}

bool XbpBaseSpinbutton::setData(const Args& args) {
  const Value given = dataGiven(args);
  if (given.isText()) {
    display(valueOf(given.text()));
  } else if (given.isNumber()) {
    display(clamped(given.number()));
  } else {
    return false;
  }
  return true;
}

long XbpBaseSpinbutton::getData() {
  const long value = valueOf(XbpBaseSLE::editBuffer());
  handToLink(value);
  return value;
}

std::string XbpBaseSpinbutton::editBuffer() const { return textOf(valueOf(XbpBaseSLE::editBuffer())); }

void XbpBaseSpinbutton::stepBy(long steps) {
  // A step below 1 would leave the arrows dead or turn them round.
  const long long next = valueOf(XbpBaseSLE::editBuffer()) + static_cast<long long>(steps) * std::max(step, 1L);
  long value = static_cast<long>(std::clamp<long long>(next, min_, max_));
  if (wrap && next > max_) value = min_;
  if (wrap && next < min_) value = max_;
  const bool changed = value != value_;
  display(value);
  post(steps > 0 ? kEvSpinUp : kEvSpinDown, value);
  if (changed) post(kEvChange, value);
}

Value XbpBaseSpinbutton::KillInputFocus() {
  const long before = shownAtLoss_.value_or(value_);
  shownAtLoss_.reset();
  const long value = valueOf(XbpBaseSLE::editBuffer());
  display(value);
  if (value != before) post(kEvChange, value);
  callBlock(killInputFocus, Value(), Value());
  return value;
}

Value XbpBaseSpinbutton::handleEvent(long code, const Value& mp1, const Value& mp2) {
  // Focus loss runs the method, which a derived class may take over, and the
  // method runs the callback.
  if (code != kEvKillInputFocus || !handle_) return XbpBaseSLE::handleEvent(code, mp1, mp2);
  const ObjectRef self = shared_from_this();
  shownAtLoss_ = value_;
  KillInputFocus();
  shownAtLoss_.reset();  // also when an override did not call the runtime's
  if (handle_) afterEvent(code, mp1, mp2);
  return Value(self);
}

bool XbpBaseSpinbutton::onCommand(unsigned code) { return code == EN_CHANGE || XbpBaseSLE::onCommand(code); }

bool XbpBaseSpinbutton::keepsKey(long key) const {
  const bool character = key >= ' ' && key <= 255;
  if (!character) return XbpBaseSLE::keepsKey(key);
  // Only digits, and a minus in front when the limits go below zero.
  const bool digit = key >= '0' && key <= '9';
  if (!digit && !(key == '-' && min_ < 0)) return false;
  const Value marked = queryMarked();  // {before, 1-based after}
  const long start = marked.at(1).integer(), end = marked.at(2).integer() - 1;
  const bool minusKept = XbpBaseSLE::editBuffer().starts_with('-') && start == 0 && end == 0;
  if (minusKept) return false;  // nothing goes before the sign
  return digit || start == 0;
}

bool XbpBaseSpinbutton::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_KEYDOWN:
      if (wparam != VK_UP && wparam != VK_DOWN) break;
      // They step the value; the single-line edit would move its caret.
      stepBy(wparam == VK_UP ? 1 : -1);
      post(kEvKeyboard, wparam == VK_UP ? kKeyUp : kKeyDown);
      result = 0;
      return true;
    case WM_WINDOWPOSCHANGED: {
      if (!arrows_ || !arrows_->isCreated()) break;
      const auto& change = *reinterpret_cast<const WINDOWPOS*>(lparam);
      if (change.flags & SWP_SHOWWINDOW) ShowWindow(Hwnd(arrows_->nativeHandle()), SW_SHOWNA);
      if (change.flags & SWP_HIDEWINDOW) ShowWindow(Hwnd(arrows_->nativeHandle()), SW_HIDE);
      const bool moved = !(change.flags & SWP_NOMOVE), resized = !(change.flags & SWP_NOSIZE);
      if (!layingOut_ && (moved || resized)) layout(resized);
      break;
    }
    case WM_ENABLE:
      if (arrows_ && arrows_->isCreated()) EnableWindow(Hwnd(arrows_->nativeHandle()), static_cast<BOOL>(wparam));
      break;
    default: break;
  }
  return XbpBaseSLE::onMessage(msg, wparam, lparam, result);
}

void XbpBaseSpinbutton::afterCreate() {
  XbpBaseSLE::afterCreate();
  // In the form of the members as they are now; a value typed into a field
  // that was destroyed before it was taken stays what getData answers.
  display(valueOf(XbpBaseSLE::editBuffer()));
  if (!dyn::UseCommonControls(ICC_UPDOWN_CLASS)) return;  // keys still step
  arrows_ = std::make_shared<Arrows>(*this);
  arrows_->init({Value(parent_), Value(owner_), Value{0, 0}, Value{0, 0}, Value(), visible});
  arrows_->create();
  if (!arrows_->isCreated()) {
    arrows_.reset();
    return;
  }
  HWND arrows = Hwnd(arrows_->nativeHandle());
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Hwnd(handle_)), 0);
  // A range that rises upwards makes the up arrow report a positive step.
  SendMessageW(arrows, UDM_SETRANGE32, 0, 2);
  SendMessageW(arrows, UDM_SETPOS32, 0, 1);
  layout(true);
}

// The field is created over the whole area; the arrows take its right end.
// Moved alone, the field keeps its width and the arrows follow it.
void XbpBaseSpinbutton::layout(bool resized) {
  if (!arrows_ || !arrows_->isCreated()) return;
  HWND field = Hwnd(handle_), arrows = Hwnd(arrows_->nativeHandle());
  RECT r{}, a{};
  GetWindowRect(field, &r);
  GetWindowRect(arrows, &a);
  MapWindowPoints(HWND_DESKTOP, GetParent(field), reinterpret_cast<POINT*>(&r), 2);
  const int height = r.bottom - r.top;
  const int whole = resized ? r.right - r.left : r.right - r.left + (a.right - a.left);
  const int arrowsWidth = std::min(MetricForDpi(SM_CXVSCROLL, dpi()), whole / 2);
  layingOut_ = true;
  SetWindowPos(field, nullptr, 0, 0, whole - arrowsWidth, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(arrows, nullptr, r.left + whole - arrowsWidth, r.top, arrowsWidth, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  layingOut_ = false;
}

Value XbpBaseSpinbutton::currentSize() const {
  const Value size = XbpBaseSLE::currentSize();
  if (!handle_ || !arrows_ || !arrows_->isCreated()) return size;
  return Value{size.at(1).number() + arrows_->currentSize().at(1).number(), size.at(2)};
}

void XbpBaseSpinbutton::onNativeDestroyed() {
  // The arrows are the field's sibling: they do not go with it by themselves.
  if (const std::shared_ptr<Arrows> arrows = std::move(arrows_)) arrows->destroy();
  XbpBaseSLE::onNativeDestroyed();
}

}  // namespace rt
