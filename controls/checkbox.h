// Check boxes as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/checkbox.h"

namespace valumat {

class XbpCheckBox : public rt::XbpBaseCheckBox {
  RT_CLASS("XbpCheckBox", XbpCheckBox, rt::XbpBaseCheckBox)
  VALUMAT_FORWARDS_TO(XbpBaseCheckBox)
};

}  // namespace valumat
