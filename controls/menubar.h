// Menu bars as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/menubar.h"

namespace valumat {

class XbpMenuBar : public rt::XbpBaseMenubar {
  RT_CLASS("XbpMenuBar", XbpMenuBar, rt::XbpBaseMenubar)
  VALUMAT_FORWARDS_TO(XbpBaseMenubar)
};

}  // namespace valumat
