// Push buttons as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/pushbutton.h"

namespace valumat {

class XbpPushButton : public rt::XbpBasePushButton {
  RT_CLASS("XbpPushButton", XbpPushButton, rt::XbpBasePushButton)
  VALUMAT_FORWARDS_TO(XbpBasePushButton)
};

}  // namespace valumat
