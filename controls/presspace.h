// Presentation spaces as application code creates them.
#pragma once

#include "forwarding.h"
#include "xbp/prespace.h"

namespace valumat {

class XbpPresSpace : public rt::XbpBasePresSpace {
  RT_CLASS("XbpPresSpace", XbpPresSpace, rt::XbpBasePresSpace)
  VALUMAT_FORWARDS_TO(XbpBasePresSpace)
};

}  // namespace valumat
