// 3-state boxes as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/threestate.h"

namespace valumat {

class Xbp3State : public rt::XbpBase3State {
  RT_CLASS("Xbp3State", Xbp3State, rt::XbpBase3State)
  VALUMAT_FORWARDS_TO(XbpBase3State)
};

}  // namespace valumat
