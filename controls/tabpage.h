// Tab pages as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/tabpage.h"

namespace valumat {

class XbpTabPage : public rt::XbpBaseTabPage {
  RT_CLASS("XbpTabPage", XbpTabPage, rt::XbpBaseTabPage)
  VALUMAT_FORWARDS_TO(XbpBaseTabPage)
};

}  // namespace valumat
