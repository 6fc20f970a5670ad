// Scroll bars as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/scrollbar.h"

namespace valumat {

class XbpScrollBar : public rt::XbpBaseScrollBar {
  RT_CLASS("XbpScrollBar", XbpScrollBar, rt::XbpBaseScrollBar)
  VALUMAT_FORWARDS_TO(XbpBaseScrollBar)
};

}  // namespace valumat
