// Radio buttons on the standard BUTTON control in its plain form: it reports
// clicks and leaves the selection to us, as the runtime keeps its groups in
// order itself (there is no dialog manager to do it).
#include <algorithm>

#include "../events.h"
#include "radiobutton.h"
#include "native.h"

namespace rt {

unsigned long XbpBaseRadioButton::buttonStyle() const { return BS_RADIOBUTTON; }

void XbpBaseRadioButton::afterCreate() {
  // Of buttons created selected, the program's last choice stands.
  if (selection) {
    select();
  } else {
    placeTabStop(groupMembers());
  }
}

bool XbpBaseRadioButton::setData(const Args& args) {
  const Value state = dataGiven(args);
  if (!state.isLogical()) return false;
  if (!handle_) {
    selection = state.logical();
  } else if (state.logical()) {
    select();
  } else {
    mark(false);
    placeTabStop(groupMembers());
  }
  return true;
}

bool XbpBaseRadioButton::getData() {
  if (handle_) selection = shownState() == BST_CHECKED;
  handToLink(selection);
  return selection;
}

std::vector<XbpBaseRadioButton*> XbpBaseRadioButton::groupMembers(const XbpBaseRadioButton* leaving) const {
  std::vector<XbpBaseRadioButton*> members;
  if (!handle_) return members;
  bool mine = false;
  const XbpBaseRadioButton* previous = nullptr;
  bool followsLeaving = false;
  // Siblings come in creation order. A leaving button counts as never
  // created: its followers may join the group before it.
  for (HWND w = GetWindow(GetParent(Hwnd(handle_)), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    auto* button = dynamic_cast<XbpBaseRadioButton*>(WindowFromHandle(w));
    if (!button) continue;
    if (button != leaving) {
      const bool begins = !previous || button->group == kGroupBegin || previous->group == kGroupEnd;
      // A follower of the leaving button's group that now begins one (the
      // leaving button began it after an end): the followers are the group.
      const bool leavingsOwn = followsLeaving && button->group != kGroupBegin && leaving->group != kGroupEnd;
      if (begins) {
        if (mine && !members.empty() && !leavingsOwn) break;
        members.clear();
      }
      members.push_back(button);
      previous = button;
    }
    followsLeaving = button == leaving;
    mine = mine || button == this;
  }
  if (!mine) members.clear();
  return members;
}

void XbpBaseRadioButton::mark(bool on) {
  selection = on;
  showState(on ? BST_CHECKED : BST_UNCHECKED);
}

void XbpBaseRadioButton::select() {
  const std::vector<XbpBaseRadioButton*> members = groupMembers();
  for (XbpBaseRadioButton* button : members) {
    if (button != this) button->mark(false);
  }
  mark(true);
  placeTabStop(members);
}

void XbpBaseRadioButton::choose() {
  if (!handle_ || shownState() == BST_CHECKED) return;
  select();
  post(kEvSelected, true);
}

void XbpBaseRadioButton::placeTabStop(const std::vector<XbpBaseRadioButton*>& members) {
  if (members.empty()) return;
  auto stop = std::find_if(members.begin(), members.end(), [](const XbpBaseRadioButton* button) {
    return button->shownState() == BST_CHECKED;
  });
  if (stop == members.end()) stop = members.begin();
  for (const XbpBaseRadioButton* button : members) {
    const HWND hwnd = Hwnd(button->handle_);
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    const bool wanted = button == *stop && button->tabStop;
    SetWindowLongPtrW(hwnd, GWL_STYLE, wanted ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  }
}

bool XbpBaseRadioButton::onCommand(unsigned code) {
  if (code != BN_CLICKED) return CheckButton::onCommand(code);
  // A plain radio button that takes the focus unselected reports a click
  // (dialogs select with the arrow keys so); here only the user's click,
  // space bar, mnemonic or arrow key selects, never a focus the program gives.
  if (!focusing_) choose();
  return true;
}

bool XbpBaseRadioButton::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  if (msg == WM_SETFOCUS) {
    CheckButton::onMessage(msg, wparam, lparam, result);
    focusing_ = true;
    result = callNative(msg, wparam, lparam);
    focusing_ = false;
    return true;
  }
  // The group keeps a tab stop when its selected button goes.
  if (msg == WM_DESTROY) placeTabStop(groupMembers(this));
  return CheckButton::onMessage(msg, wparam, lparam, result);
}

void XbpBaseRadioButton::afterEvent(long event, const Value& mp1, const Value& mp2) {
  CheckButton::afterEvent(event, mp1, mp2);
  if (event != kEvKeyboard || !handle_) return;
  const long key = mp1.integer();
  const int step = key == kKeyDown || key == kKeyRight ? 1 : key == kKeyUp || key == kKeyLeft ? -1 : 0;
  if (step == 0) return;
  // As in dialogs: to the next button of the group that can take the focus,
  // round from the last to the first.
  const std::vector<XbpBaseRadioButton*> members = groupMembers();
  const auto self = std::find(members.begin(), members.end(), this);
  if (self == members.end()) return;
  const long n = static_cast<long>(members.size());
  const long at = static_cast<long>(self - members.begin());
  for (long i = 1; i < n; ++i) {
    XbpBaseRadioButton* next = members[static_cast<size_t>(((at + step * i) % n + n) % n)];
    const HWND hwnd = Hwnd(next->handle_);
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
    // Keep the button alive through what its focus and callbacks may do.
    const ObjectRef keep = next->shared_from_this();
    SetFocus(hwnd);
    next->choose();
    return;
  }
}

}  // namespace rt
