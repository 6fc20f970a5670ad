// Radio buttons as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/radiobutton.h"

namespace valumat {

class XbpRadioButton : public rt::XbpBaseRadioButton {
  RT_CLASS("XbpRadioButton", XbpRadioButton, rt::XbpBaseRadioButton)
  VALUMAT_FORWARDS_TO(XbpBaseRadioButton)
};

}  // namespace valumat
