// Tree views as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/treeview.h"

namespace valumat {

class XbpTreeView : public rt::XbpBaseTreeView {
  RT_CLASS("XbpTreeView", XbpTreeView, rt::XbpBaseTreeView)
  VALUMAT_FORWARDS_TO(XbpBaseTreeView)
};

}  // namespace valumat
