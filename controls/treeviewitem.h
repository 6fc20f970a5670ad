// Tree-view items as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/treeviewitem.h"

namespace valumat {

class XbpTreeViewItem : public rt::XbpBaseTreeViewItem {
  RT_CLASS("XbpTreeViewItem", XbpTreeViewItem, rt::XbpBaseTreeViewItem)
  VALUMAT_FORWARDS_TO(XbpBaseTreeViewItem)
};

}  // namespace valumat
