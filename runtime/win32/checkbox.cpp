// Check boxes on the standard BUTTON control, which toggles itself on a click
// or the space bar and then tells its parent.
#include "../events.h"
#include "../xbp/checkbox.h"
#include "checkbutton.h"

namespace rt {

XbpBaseCheckBox::XbpBaseCheckBox() { tabStop = true; }

XbpWindow::NativeSpec XbpBaseCheckBox::nativeSpec() const {
  return checkbutton::SpecOf<NativeSpec>(BS_AUTOCHECKBOX, caption);
}

void XbpBaseCheckBox::afterCreate() { checkbutton::SetState(handle_, selection ? BST_CHECKED : BST_UNCHECKED); }

bool XbpBaseCheckBox::setCaption(const std::string& newCaption) {
  return checkbutton::SetCaption(handle_, caption, newCaption);
}

bool XbpBaseCheckBox::setData(const Args& args) {
  const Value state = checkbutton::DataGiven(args, dataLink);
  if (!state.isLogical()) return false;
  selection = state.logical();
  if (handle_) checkbutton::SetState(handle_, selection ? BST_CHECKED : BST_UNCHECKED);
  return true;
}

bool XbpBaseCheckBox::getData() {
  if (handle_) selection = checkbutton::StateOf(handle_) == BST_CHECKED;
  checkbutton::HandToLink(dataLink, selection);
  return selection;
}

const EventRoutes& XbpBaseCheckBox::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, BN_CLICKED, kEvSelected, CallbackOf(&XbpBaseCheckBox::selected)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseCheckBox::onCommand(unsigned code) {
  // The control has toggled already: the event carries the new state.
  if (code == BN_CLICKED) selection = checkbutton::StateOf(handle_) == BST_CHECKED;
  return XbpWindow::onCommand(code);
}

void XbpBaseCheckBox::eventParams(long event, Value& mp1, Value&) {
  if (event == kEvSelected) mp1 = selection;
}

void XbpBaseCheckBox::onMnemonic() { checkbutton::Press(handle_); }

NativeBrush XbpBaseCheckBox::onColor(NativeDC dc) { return checkbutton::CaptionColors(*this, dc); }

void XbpBaseCheckBox::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  dataLink = Value();  // not an event's callback, but a closure all the same
}

}  // namespace rt
