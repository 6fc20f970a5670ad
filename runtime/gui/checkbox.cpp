// Check boxes on the standard BUTTON control, which toggles itself on a click
// or the space bar and then tells its parent.
#include "../events.h"
#include "checkbox.h"
#include "native.h"

namespace rt {

unsigned long XbpBaseCheckBox::buttonStyle() const { return BS_AUTOCHECKBOX; }

void XbpBaseCheckBox::afterCreate() { showState(selection ? BST_CHECKED : BST_UNCHECKED); }

bool XbpBaseCheckBox::setData(const Args& args) {
  const Value state = dataGiven(args);
  if (!state.isLogical()) return false;
  selection = state.logical();
  showState(selection ? BST_CHECKED : BST_UNCHECKED);
  return true;
}

bool XbpBaseCheckBox::getData() {
  if (handle_) selection = shownState() == BST_CHECKED;
  handToLink(selection);
  return selection;
}

bool XbpBaseCheckBox::onCommand(unsigned code) {
  // The control has toggled already: the event carries the new state.
  if (code == BN_CLICKED) selection = shownState() == BST_CHECKED;
  return CheckButton::onCommand(code);
}

void XbpBaseCheckBox::eventParams(long event, Value& mp1, Value&) {
  if (event == kEvSelected) mp1 = selection;
}

}  // namespace rt
