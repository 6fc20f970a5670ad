// Spin buttons as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/spinbutton.h"

namespace valumat {

class XbpSpinButton : public rt::XbpBaseSpinbutton {
  RT_CLASS("XbpSpinButton", XbpSpinButton, rt::XbpBaseSpinbutton)
  VALUMAT_FORWARDS_TO(XbpBaseSpinbutton)
};

}  // namespace valumat
