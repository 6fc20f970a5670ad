// 3-state boxes on the standard BUTTON control, which moves itself on from
// one state to the next on a click or the space bar and then tells its parent.
#include "../events.h"
#include "../xbp/threestate.h"
#include "checkbutton.h"

namespace rt {

static_assert(XbpBase3State::kUnchecked == BST_UNCHECKED && XbpBase3State::kChecked == BST_CHECKED &&
              XbpBase3State::kUndetermined == BST_INDETERMINATE);

XbpBase3State::XbpBase3State() { tabStop = true; }

XbpWindow::NativeSpec XbpBase3State::nativeSpec() const {
  return checkbutton::SpecOf<NativeSpec>(BS_AUTO3STATE, caption);
}

void XbpBase3State::afterCreate() { checkbutton::SetState(handle_, selection); }

bool XbpBase3State::setCaption(const std::string& newCaption) {
  return checkbutton::SetCaption(handle_, caption, newCaption);
}

bool XbpBase3State::setData(const Args& args) {
  const Value state = checkbutton::DataGiven(args, dataLink);
  // The control would take any number and show who knows what.
  if (!state.isNumber() || state.number() != state.integer() || state.integer() < kUnchecked ||
      state.integer() > kUndetermined)
    return false;
  selection = state.integer();
  if (handle_) checkbutton::SetState(handle_, selection);
  return true;
}

long XbpBase3State::getData() {
  if (handle_) selection = checkbutton::StateOf(handle_);
  checkbutton::HandToLink(dataLink, selection);
  return selection;
}

const EventRoutes& XbpBase3State::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, BN_CLICKED, kEvSelected, CallbackOf(&XbpBase3State::selected)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBase3State::onCommand(unsigned code) {
  // The control has moved on already: the event carries the new state.
  if (code == BN_CLICKED) selection = checkbutton::StateOf(handle_);
  return XbpWindow::onCommand(code);
}

void XbpBase3State::eventParams(long event, Value& mp1, Value&) {
  if (event == kEvSelected) mp1 = selection;
}

void XbpBase3State::onMnemonic() { checkbutton::Press(handle_); }

NativeBrush XbpBase3State::onColor(NativeDC dc) { return checkbutton::CaptionColors(*this, dc); }

void XbpBase3State::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  dataLink = Value();  // not an event's callback, but a closure all the same
}

}  // namespace rt
