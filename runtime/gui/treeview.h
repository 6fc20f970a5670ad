// Tree views.
#pragma once

#include "treeviewitem.h"
#include "window.h"

namespace rt {

// A tree view on the system's tree-view control. Its items hang below the
// invisible rootItem(); the callbacks report only what the user did (mouse
// and keys), never what the program did through the items.
//
// Keys: arrows move the mark and open or close items, "+" and "-" open and
// close the marked item, Enter chooses it (itemSelected), as a double click
// does.
class XbpBaseTreeView : public XbpWindow {
  RT_CLASS("XbpBaseTreeView", XbpBaseTreeView, XbpWindow)

 public:
  XbpBaseTreeView();

  bool hasLines = true;     // lines between items
  bool hasButtons = true;   // "+"/"-" buttons before items with children
  bool linesAtRoot = true;  // lines and buttons also before top-level items

  // Callbacks, mp1 the item concerned, mp2 NIL.
  Value itemMarked;     // the user moved the mark (kEvItemMarked)
  Value itemSelected;   // double click or Enter on an item (kEvItemSelected)
  Value itemExpanded;   // the user opened an item (kEvItemExpanded)
  Value itemCollapsed;  // the user closed an item (kEvItemCollapsed)

  // The invisible item whose children are the top-level items.
  TreeItemRef rootItem();
  // The marked item; nullptr when none is.
  TreeItemRef markedItem() const;

  // Loads the common controls before the native window is made.
  void create(const Args& args = {}) override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  bool onNotify(const tagNMHDR& header, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  bool hasFieldColours() const override { return true; }
  NativeSpec nativeSpec() const override;
  void afterCreate() override;
  const EventRoutes& routes() const override;
  void eventParams(long event, Value& mp1, Value& mp2) override;

 private:
  friend class XbpBaseTreeViewItem;
  // The native side of the items; each does nothing without the native window.
  // A change made here is the program's: the notifications it causes post nothing.
  void nativeInsert(XbpBaseTreeViewItem& item);  // with its children
  void nativeDelete(XbpBaseTreeViewItem& item);
  void nativeExpand(XbpBaseTreeViewItem& item);  // to the item's wish
  void nativeSetText(const XbpBaseTreeViewItem& item);
  bool nativeSelect(const XbpBaseTreeViewItem& item);
  bool nativeExpanded(const XbpBaseTreeViewItem& item) const;
  XbpBaseTreeViewItem* itemOf(NativeTreeItem native) const;
  static void forgetNative(XbpBaseTreeViewItem& item);
  void applyColors();
  void chooseMarked();

  TreeItemRef root_;
  TreeItemRef notified_;  // the item of the notification being routed
  int ownChange_ = 0;  // depth of changes that are not the user's
  bool dying_ = false;
  unsigned long appliedBack_ = 0xFFFFFFFF;  // colours sent to the control (CLR_NONE: system's)
  unsigned long appliedText_ = 0xFFFFFFFF;
  intptr_t doubleClickAt_ = 0;  // client point of the last double click
};

}  // namespace rt
