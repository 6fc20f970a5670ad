// Tree views on the system's tree-view control (common controls). Each native
// item carries its item object in lParam; an object outlives its native item,
// since its parent holds it for as long as it hangs in the tree.
#include "native.h"
#include "../win32/dyncalls.h"

#include <commctrl.h>

#include <algorithm>

#include "../events.h"
#include "treeview.h"

namespace rt {

XbpBaseTreeView::XbpBaseTreeView() { tabStop = true; }

TreeItemRef XbpBaseTreeView::rootItem() {
  if (!root_) {
    root_ = NewPublic<XbpBaseTreeViewItem>();
    root_->root_ = true;
    root_->tree_ = std::static_pointer_cast<XbpBaseTreeView>(shared_from_this());
  }
  return root_;
}

void XbpBaseTreeView::create(const Args& args) {
  dyn::UseCommonControls(ICC_TREEVIEW_CLASSES);
  XbpWindow::create(args);
}

XbpWindow::NativeSpec XbpBaseTreeView::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = WC_TREEVIEWW;
  spec.style = TVS_SHOWSELALWAYS;
  if (hasLines) spec.style |= TVS_HASLINES;
  if (hasButtons) spec.style |= TVS_HASBUTTONS;
  if (linesAtRoot) spec.style |= TVS_LINESATROOT;
  spec.exStyle = WS_EX_CLIENTEDGE;
  spec.subclass = true;
  return spec;
}

void XbpBaseTreeView::afterCreate() {
  applyColors();
  for (const TreeItemRef& item : rootItem()->children_) nativeInsert(*item);
}

void XbpBaseTreeView::applyColors() {
  // Without colours of its own the control keeps the system's window colours
  // rather than the dialog's it would inherit.
  const COLORREF back = bg_.isNumber() ? ColorOf(bg_.integer()) : CLR_NONE;
  const COLORREF text = fg_.isNumber() ? ColorOf(fg_.integer()) : CLR_NONE;
  if (back != appliedBack_) SendMessageW(Hwnd(handle_), TVM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
  if (text != appliedText_) SendMessageW(Hwnd(handle_), TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
  appliedBack_ = back;
  appliedText_ = text;
}

// --- items on the control -----------------------------------------------------

void XbpBaseTreeView::nativeInsert(XbpBaseTreeViewItem& item) {
  const TreeItemRef parent = item.parent_.lock();
  if (!handle_ || dying_ || item.native_ || !parent || (!parent->root_ && !parent->native_)) return;
  auto at = std::find_if(parent->children_.begin(), parent->children_.end(),
                         [&](const TreeItemRef& c) { return c.get() == &item; });
  const HTREEITEM after = at == parent->children_.begin() ? TVI_FIRST : at[-1]->native_;
  std::wstring text = Wide(item.caption);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent->root_ ? TVI_ROOT : parent->native_;
  insert.hInsertAfter = after ? after : TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = text.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(&item);
  {
    OwnChange change(ownChange_);
    item.native_ = reinterpret_cast<NativeTreeItem>(
        SendMessageW(Hwnd(handle_), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  if (!item.native_) return;
  for (const TreeItemRef& child : item.children_) nativeInsert(*child);
  if (item.expanded_) nativeExpand(item);
  // A parent asked to open before it had children opens with its first one.
  if (!parent->root_ && parent->expanded_ && !nativeExpanded(*parent)) nativeExpand(*parent);
}

void XbpBaseTreeView::nativeDelete(XbpBaseTreeViewItem& item) {
  if (handle_ && item.native_) {
    OwnChange change(ownChange_);
    SendMessageW(Hwnd(handle_), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item.native_));
  }
  // The control took the children's native items with it.
  forgetNative(item);
}

void XbpBaseTreeView::forgetNative(XbpBaseTreeViewItem& item) {
  item.native_ = nullptr;
  for (const TreeItemRef& child : item.children_) forgetNative(*child);
}

void XbpBaseTreeView::nativeExpand(XbpBaseTreeViewItem& item) {
  if (!handle_ || !item.native_) return;
  OwnChange change(ownChange_);
  SendMessageW(Hwnd(handle_), TVM_EXPAND, item.expanded_ ? TVE_EXPAND : TVE_COLLAPSE,
               reinterpret_cast<LPARAM>(item.native_));
}

bool XbpBaseTreeView::nativeExpanded(const XbpBaseTreeViewItem& item) const {
  if (!handle_ || !item.native_) return false;
  const LRESULT state = SendMessageW(Hwnd(handle_), TVM_GETITEMSTATE,
                                     reinterpret_cast<WPARAM>(item.native_), TVIS_EXPANDED);
  return state & TVIS_EXPANDED;
}

void XbpBaseTreeView::nativeSetText(const XbpBaseTreeViewItem& item) {
  if (!handle_ || !item.native_) return;
  std::wstring text = Wide(item.caption);
  TVITEMW native{};
  native.mask = TVIF_TEXT | TVIF_HANDLE;
  native.hItem = item.native_;
  native.pszText = text.data();
  SendMessageW(Hwnd(handle_), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&native));
}

bool XbpBaseTreeView::nativeSelect(const XbpBaseTreeViewItem& item) {
  if (!handle_ || !item.native_) return false;
  OwnChange change(ownChange_);
  return SendMessageW(Hwnd(handle_), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item.native_));
}

XbpBaseTreeViewItem* XbpBaseTreeView::itemOf(NativeTreeItem native) const {
  if (!handle_ || !native) return nullptr;
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = native;
  if (!SendMessageW(Hwnd(handle_), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<XbpBaseTreeViewItem*>(item.lParam);
}

TreeItemRef XbpBaseTreeView::markedItem() const {
  if (!handle_) return nullptr;
  const auto caret = reinterpret_cast<NativeTreeItem>(SendMessageW(Hwnd(handle_), TVM_GETNEXTITEM, TVGN_CARET, 0));
  XbpBaseTreeViewItem* item = itemOf(caret);
  return item ? item->self() : nullptr;
}

// --- what the user does -------------------------------------------------------

const EventRoutes& XbpBaseTreeView::routes() const {
  // Opening and closing share one notification; the control's code posts them.
  static const EventRoute rows[] = {
      {EventRoute::From::Notify, static_cast<unsigned>(TVN_SELCHANGEDW), kEvItemMarked,
       CallbackOf(&XbpBaseTreeView::itemMarked)},
      {EventRoute::From::Notify, static_cast<unsigned>(NM_DBLCLK), kEvItemSelected,
       CallbackOf(&XbpBaseTreeView::itemSelected)},
      {EventRoute::From::Posted, 0, kEvItemExpanded, CallbackOf(&XbpBaseTreeView::itemExpanded)},
      {EventRoute::From::Posted, 0, kEvItemCollapsed, CallbackOf(&XbpBaseTreeView::itemCollapsed)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

void XbpBaseTreeView::eventParams(long event, Value& mp1, Value& mp2) {
  XbpWindow::eventParams(event, mp1, mp2);
  if (notified_) mp1 = Value(notified_);
}

bool XbpBaseTreeView::onNotify(const NMHDR& header, intptr_t& result) {
  result = 0;
  if (dying_) return false;
  // The control opens items by itself too (on the way to an item the program
  // marks): the item keeps the state it shows when the control comes back.
  if (ownChange_ && (header.code == TVN_ITEMEXPANDEDW || header.code == TVN_ITEMEXPANDEDA)) {
    if (XbpBaseTreeViewItem* item = itemOf(reinterpret_cast<const NMTREEVIEWW&>(header).itemNew.hItem)) {
      item->expanded_ = nativeExpanded(*item);
    }
  }
  // Items being taken down with the control, or moved by the program, are no
  // user's choice.
  if (ownChange_) return false;
  switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      // The A and W forms agree up to the item's text, which is not read.
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      XbpBaseTreeViewItem* item = itemOf(change.itemNew.hItem);
      if (!item) return false;
      notified_ = item->self();
      postRouted(EventRoute::From::Notify, static_cast<unsigned>(TVN_SELCHANGEDW));
      notified_.reset();
      return true;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      XbpBaseTreeViewItem* item = itemOf(change.itemNew.hItem);
      if (!item) return false;
      item->expanded_ = nativeExpanded(*item);
      post(item->expanded_ ? kEvItemExpanded : kEvItemCollapsed, Value(item->self()));
      return true;
    }
    case NM_DBLCLK: {
      // Only a double click on an item chooses it; the point is the one the
      // control saw, not where the mouse is by now.
      TVHITTESTINFO hit{};
      hit.pt = {static_cast<short>(LOWORD(doubleClickAt_)), static_cast<short>(HIWORD(doubleClickAt_))};
      SendMessageW(Hwnd(handle_), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      XbpBaseTreeViewItem* item = (hit.flags & TVHT_ONITEM) ? itemOf(hit.hItem) : nullptr;
      if (!item) return false;
      notified_ = item->self();
      postRouted(EventRoute::From::Notify, static_cast<unsigned>(NM_DBLCLK));
      notified_.reset();
      return true;  // the control's own processing (opening the item) follows
    }
    default: return false;
  }
}

void XbpBaseTreeView::chooseMarked() {
  if (TreeItemRef item = markedItem()) post(kEvItemSelected, Value(item));
}

bool XbpBaseTreeView::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_DESTROY: dying_ = true; break;
    case WM_SETFOCUS: {
      // Given the focus without a marked item, the control marks the first
      // one by itself; the user moved nothing.
      XbpWindow::onMessage(msg, wparam, lparam, result);
      OwnChange change(ownChange_);
      result = callNative(msg, wparam, lparam);
      return true;
    }
    case WM_PAINT: applyColors(); break;  // colours set since the last paint
    case WM_LBUTTONDBLCLK: doubleClickAt_ = lparam; break;
    case WM_KEYDOWN:
      if (wparam == VK_RETURN) {
        // Enter chooses the marked item; its character still reaches the
        // keyboard callback.
        chooseMarked();
        result = 0;
        return true;
      }
      break;
    case WM_CHAR:
      if (wparam == L'+' || wparam == L'-') {
        // The main keyboard's plus and minus act as the keypad's do, which
        // the control itself knows.
        callNative(WM_KEYDOWN, wparam == L'+' ? VK_ADD : VK_SUBTRACT, 0);
        post(kEvKeyboard, static_cast<long>(wparam));
        result = 0;
        return true;
      }
      break;
    default: break;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

void XbpBaseTreeView::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  if (root_) forgetNative(*root_);
  notified_.reset();
  dying_ = false;
  appliedBack_ = appliedText_ = CLR_NONE;
}

}  // namespace rt
