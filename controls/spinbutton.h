// Spin buttons as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/spinbutton.h"

namespace valumat {

class XbpSpinButton : public rt::XbpBaseSpinbutton {
  RT_CLASS("XbpSpinButton", XbpSpinButton, rt::XbpBaseSpinbutton)

 public:
  // With PadWithZeros on, a text that is empty or does not start with "0"
  // is set again as the value first, so that it shows with its zeros; then
  // the runtime's processing runs, whose result this answers.
  rt::Value KillInputFocus() override;

  VALUMAT_FORWARDS_TO(XbpBaseSpinbutton)
};

}  // namespace valumat
