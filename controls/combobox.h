// Combination boxes as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/combobox.h"

namespace valumat {

class XbpCombobox : public rt::XbpBaseCombobox {
  RT_CLASS("XbpCombobox", XbpCombobox, rt::XbpBaseCombobox)
  VALUMAT_FORWARDS_TO(XbpBaseCombobox)
};

}  // namespace valumat
