// 3-state boxes on the standard BUTTON control, which moves itself on from
// one state to the next on a click or the space bar and then tells its parent.
#include "../events.h"
#include "threestate.h"
#include "native.h"

namespace rt {

static_assert(XbpBase3State::kUnchecked == BST_UNCHECKED && XbpBase3State::kChecked == BST_CHECKED &&
              XbpBase3State::kUndetermined == BST_INDETERMINATE);

unsigned long XbpBase3State::buttonStyle() const { return BS_AUTO3STATE; }

void XbpBase3State::afterCreate() { showState(selection); }

bool XbpBase3State::setData(const Args& args) {
  const Value state = dataGiven(args);
  // The control would take any number and show who knows what.
  if (!state.isNumber() || state.number() != state.integer() || state.integer() < kUnchecked ||
      state.integer() > kUndetermined)
    return false;
  selection = state.integer();
  showState(selection);
  return true;
}

long XbpBase3State::getData() {
  if (handle_) selection = shownState();
  handToLink(selection);
  return selection;
}

bool XbpBase3State::onCommand(unsigned code) {
  // The control has moved on already: the event carries the new state.
  if (code == BN_CLICKED) selection = shownState();
  return CheckButton::onCommand(code);
}

void XbpBase3State::eventParams(long event, Value& mp1, Value&) {
  if (event == kEvSelected) mp1 = selection;
}

}  // namespace rt
