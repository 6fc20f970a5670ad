// Radio buttons: of a group of them, the user selects one.
#pragma once

#include <vector>

#include "checkbutton.h"

namespace rt {

// The radio buttons of one parent form groups, in the order they were
// created; the first of a parent always begins one. A click, the space bar or
// the mnemonic selects a button and clears the others of its group; the arrow
// keys move the selection within the group. Only the newly selected button
// reports (`selected`, mp1 true); those it clears do not. Tab reaches a group
// once: at its selected button, or at its first while none is selected.
class XbpBaseRadioButton : public CheckButton {
  RT_CLASS("XbpBaseRadioButton", XbpBaseRadioButton, XbpWindow)

 public:
  // Where a button stands in its group.
  static constexpr long kGroupBegin = 1;   // begins a new group
  static constexpr long kGroupWithin = 2;  // belongs to the group of the button before it
  static constexpr long kGroupEnd = 3;     // ends its group: the next button begins another

  long group = kGroupWithin;
  bool selection = false;  // selected: the state at creation, kept current afterwards

  // Without argument: the data link's value becomes the state; with a logical:
  // that one. true selects this button and clears the others of its group.
  // Anything but a logical leaves the buttons as they are and answers false.
  // Never fires `selected`.
  bool setData(const Args& args = {});
  bool setData(bool on) { return setData(Args{Value(on)}); }
  // Whether this button is selected; the data link (if any) is evaluated with it.
  bool getData();

  bool onCommand(unsigned code) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;

 protected:
  unsigned long buttonStyle() const override;
  void afterCreate() override;
  // After the keyboard callback: the arrow keys move the selection.
  void afterEvent(long event, const Value& mp1, const Value& mp2) override;

 private:
  // The live buttons of this one's group, in creation order; `leaving` (a
  // button whose window is going) is left out.
  std::vector<XbpBaseRadioButton*> groupMembers(const XbpBaseRadioButton* leaving = nullptr) const;
  // The user chose this button: selects it and reports it, unless it was
  // selected already.
  void choose();
  // Selects this button and clears the others of its group.
  void select();
  void mark(bool on);
  // Only one button of a group is a tab stop.
  static void placeTabStop(const std::vector<XbpBaseRadioButton*>& members);
  bool focusing_ = false;  // the control is taking the focus
};

}  // namespace rt
