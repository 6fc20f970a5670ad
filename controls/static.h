// Static texts and pictures as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/static.h"

namespace valumat {

class XbpStatic : public rt::XbpBaseStatic {
  RT_CLASS("XbpStatic", XbpStatic, rt::XbpBaseStatic)
  VALUMAT_FORWARDS_TO(XbpBaseStatic)
};

}  // namespace valumat
