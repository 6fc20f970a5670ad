// Items of tree views.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "../classes.h"
#include "../value.h"

struct _TREEITEM;

namespace rt {

class XbpBaseTreeView;
class XbpBaseTreeViewItem;
using TreeItemRef = std::shared_ptr<XbpBaseTreeViewItem>;
using NativeTreeItem = _TREEITEM*;

// One item of a tree view: a caption, cargo and child items. It is no window:
// its native item exists while it hangs, through its parents, in a tree view
// whose native window exists, and comes and goes with that window. Items may
// be built and linked before or after the tree view is created.
//
// Every item has at most one parent; a tree view's top-level items are the
// children of its invisible root item. An item deleted from its parent is
// gone for good, with its children: isDeleted() tells, and it takes no part
// in a tree again.
class XbpBaseTreeViewItem : public Object {
  RT_CLASS("XbpBaseTreeViewItem", XbpBaseTreeViewItem, void)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args&) { return cls; }

  // Construction arguments: {caption}. Missing or NIL ones keep the defaults.
  virtual void init(const Args& args);
  // Takes arguments as init does. The native item follows the tree view, so
  // an item needs no creation of its own before it is added.
  virtual void create(const Args& args = {});
  // Deletes the item from its parent, with its children.
  virtual void destroy();

  std::string caption;
  Value cargo;

  // Adds an item object, or a new item with the given caption, as the last
  // child; the item added, or nullptr when it cannot be added here (it has a
  // parent already, is deleted, or would become its own ancestor).
  TreeItemRef addItem(const Value& itemOrCaption);
  // As addItem, before the child at 1-based `pos` (after the last when `pos`
  // lies beyond it).
  TreeItemRef insItem(long pos, const Value& itemOrCaption);
  // Deletes a child of this item, with its children.
  bool delItem(const TreeItemRef& item);
  // The child items, in order, as an array of objects.
  Value getChildItems() const;
  TreeItemRef getParentItem() const { return parent_.lock(); }
  std::shared_ptr<XbpBaseTreeView> getParentTree() const { return tree_.lock(); }

  // Opens (or closes) the item's children. Before the native item exists the
  // wish is kept and applied when it does. No callback runs for it.
  bool expand(bool open = true);
  bool isExpanded() const;
  bool setCaption(const std::string& text);
  // Whether the item is the tree view's marked item; select() marks it
  // without running the tree view's itemMarked callback.
  bool isSelected() const;
  bool select();
  bool isDeleted() const { return deleted_; }

 private:
  friend class XbpBaseTreeView;
  TreeItemRef self() { return std::static_pointer_cast<XbpBaseTreeViewItem>(shared_from_this()); }
  // Turns a text into a new item; nullptr for anything else.
  static TreeItemRef itemOf(const Value& itemOrCaption);
  bool canAdopt(const TreeItemRef& item) const;
  void attach(const TreeItemRef& item, size_t index);
  // Marks this item and its children deleted and cuts their links.
  void markDeleted();
  // Joins or leaves a tree view, with the children.
  void setTree(const std::shared_ptr<XbpBaseTreeView>& tree);

  std::weak_ptr<XbpBaseTreeViewItem> parent_;
  std::weak_ptr<XbpBaseTreeView> tree_;
  std::vector<TreeItemRef> children_;
  NativeTreeItem native_ = nullptr;
  bool expanded_ = false;  // the wish; the native state once the native item exists
  bool root_ = false;      // the invisible root of a tree view
  bool deleted_ = false;
};

}  // namespace rt
