// Menus as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/menu.h"

namespace valumat {

class XbpMenu : public rt::XbpBaseMenu {
  RT_CLASS("XbpMenu", XbpMenu, rt::XbpBaseMenu)
  VALUMAT_FORWARDS_TO(XbpBaseMenu)
};

}  // namespace valumat
