// Spin buttons: whole numbers within limits, typed or stepped with arrows.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "../events.h"
#include "sle.h"

namespace rt {

// The user stepped a spin button's value up or down (mp1: the value now).
inline constexpr long kEvSpinUp = kEvBase + 120;
inline constexpr long kEvSpinDown = kEvBase + 121;

// An entry field for a whole number between two limits, with up and down
// arrows beside it. The field's text is what the user types; the value is
// what that text spells, within the limits. Up and Down keys and the arrows
// step the value; losing the focus shows the typed value in its proper form.
class XbpBaseSpinbutton : public XbpBaseSLE {
  RT_CLASS("XbpBaseSpinbutton", XbpBaseSpinbutton, XbpBaseSLE)

 public:
  XbpBaseSpinbutton();
  // Leading zeros to the width of the upper limit (limit 999, value 7: "007").
  bool PadWithZeros = false;
  bool wrap = false;  // a step past one limit goes on at the other
  long step = 1;      // values one arrow moves by; at least 1
  Value up;      // callback of kEvSpinUp
  Value down;    // callback of kEvSpinDown
  Value change;  // callback of kEvChange: the user changed the value (mp1: the value)

  // Limits given in either order; the value is moved within them.
  bool setNumLimits(long minimum, long maximum);
  Value numLimits() const { return Value{min_, max_}; }

  // Without argument: the data link's value. A number is rounded to a whole
  // one, a text is taken as the number it spells; either is moved within the
  // limits. Changes by the program post no event.
  bool setData(const Args& args = {});
  bool setData(const Value& value) { return setData(Args{value}); }
  // The value the field's text spells, within the limits; the data link (if
  // any) is evaluated with it.
  long getData();
  // The text of that value as the spin button shows it; the text as typed
  // is XbpBaseSLE::editBuffer().
  std::string editBuffer() const;
  // The runtime's processing when the focus has left: the typed text becomes
  // the value within the limits and is shown in its form, then the
  // killInputFocus callback runs. Returns the value.
  virtual Value KillInputFocus();

  Value handleEvent(long code, const Value& mp1, const Value& mp2) override;
  // The field and its arrows together.
  Value currentSize() const override;
  bool keepsKey(long key) const override;
  // Typing is reported as the value's change when the focus leaves, not as
  // the entry field's text change.
  bool onCommand(unsigned code) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  const EventRoutes& routes() const override;
  void afterCreate() override;

 private:
  class Arrows;
  long clamped(double value) const;
  long valueOf(const std::string& text) const;
  std::string textOf(long value) const;
  void display(long value);
  void stepBy(long steps);  // the user's step: shows and posts
  void layout(bool resized);
  long min_ = 0;
  long max_ = 100;
  long value_ = 0;  // the value last shown
  // The value shown when the focus left: a derived KillInputFocus may show
  // the typed value before the runtime's processing, which must still see
  // the user's change.
  std::optional<long> shownAtLoss_;
  std::shared_ptr<Arrows> arrows_;
  bool layingOut_ = false;
};

}  // namespace rt
