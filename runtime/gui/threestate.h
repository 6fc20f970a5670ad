// 3-state boxes: a check box whose box can also stand undetermined.
#pragma once

#include "checkbutton.h"

namespace rt {

// A click moves the box on from unchecked to checked to undetermined and
// back to unchecked; `selected` reports the new state as a number.
class XbpBase3State : public CheckButton {
  RT_CLASS("XbpBase3State", XbpBase3State, XbpWindow)

 public:
  static constexpr long kUnchecked = 0;
  static constexpr long kChecked = 1;
  static constexpr long kUndetermined = 2;

  long selection = kUnchecked;  // the state at creation, kept current afterwards

  // Without argument: the data link's value becomes the state; with a number
  // 0, 1 or 2: that one. Anything else leaves the box as it is and answers
  // false. Never fires `selected`.
  bool setData(const Args& args = {});
  bool setData(long state) { return setData(Args{Value(state)}); }
  // The state 0, 1 or 2; the data link (if any) is evaluated with it.
  long getData();

  bool onCommand(unsigned code) override;

 protected:
  unsigned long buttonStyle() const override;
  void afterCreate() override;
  void eventParams(long event, Value& mp1, Value& mp2) override;
};

}  // namespace rt
