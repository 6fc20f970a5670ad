// Check boxes: a caption beside a box that the user checks and clears.
#pragma once

#include "checkbutton.h"

namespace rt {

// `selected` reports the new state as a logical.
class XbpBaseCheckBox : public CheckButton {
  RT_CLASS("XbpBaseCheckBox", XbpBaseCheckBox, XbpWindow)

 public:
  bool selection = false;  // checked: the state at creation, kept current afterwards

  // Without argument: the data link's value becomes the state; with a logical:
  // that one. Anything but a logical leaves the box as it is and answers
  // false. Never fires `selected`.
  bool setData(const Args& args = {});
  bool setData(bool checked) { return setData(Args{Value(checked)}); }
  // Whether the box is checked; the data link (if any) is evaluated with it.
  bool getData();

  bool onCommand(unsigned code) override;

 protected:
  unsigned long buttonStyle() const override;
  void afterCreate() override;
  void eventParams(long event, Value& mp1, Value& mp2) override;
};

}  // namespace rt
