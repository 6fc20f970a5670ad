// Items of tree views: the links between items. What an item shows, the tree
// view puts on its native control (treeview.cpp).
#include <algorithm>

#include "treeview.h"

namespace rt {

void XbpBaseTreeViewItem::init(const Args& args) {
  if (Arg(args, 1).isText()) caption = Arg(args, 1).text();
}

void XbpBaseTreeViewItem::create(const Args& args) {
  if (!args.empty()) init(args);
}

void XbpBaseTreeViewItem::destroy() {
  if (root_ || deleted_) return;
  if (TreeItemRef parent = parent_.lock()) {
    parent->delItem(self());
  } else {
    markDeleted();
  }
}

TreeItemRef XbpBaseTreeViewItem::itemOf(const Value& itemOrCaption) {
  if (itemOrCaption.isText()) return NewPublic<XbpBaseTreeViewItem>({itemOrCaption});
  return itemOrCaption.as<XbpBaseTreeViewItem>();
}

bool XbpBaseTreeViewItem::canAdopt(const TreeItemRef& item) const {
  if (!item || deleted_ || item->deleted_ || item->root_ || !item->parent_.expired()) return false;
  // Linking an item below itself would make a cycle that no tree can show.
  for (const XbpBaseTreeViewItem* up = this; up; up = up->parent_.lock().get()) {
    if (up == item.get()) return false;
  }
  return true;
}

void XbpBaseTreeViewItem::attach(const TreeItemRef& item, size_t index) {
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(std::min(index, children_.size())), item);
  item->parent_ = self();
  const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock();
  item->setTree(tree);
  if (tree) tree->nativeInsert(*item);
}

TreeItemRef XbpBaseTreeViewItem::addItem(const Value& itemOrCaption) {
  return insItem(static_cast<long>(children_.size()) + 1, itemOrCaption);
}

TreeItemRef XbpBaseTreeViewItem::insItem(long pos, const Value& itemOrCaption) {
  TreeItemRef item = itemOf(itemOrCaption);
  if (!canAdopt(item)) return nullptr;
  attach(item, static_cast<size_t>(std::max(pos, 1L) - 1));
  return item;
}

bool XbpBaseTreeViewItem::delItem(const TreeItemRef& item) {
  auto it = std::find(children_.begin(), children_.end(), item);
  if (!item || it == children_.end()) return false;
  if (const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock()) tree->nativeDelete(*item);
  children_.erase(it);
  item->markDeleted();
  return true;
}

void XbpBaseTreeViewItem::markDeleted() {
  deleted_ = true;
  parent_.reset();
  tree_.reset();
  native_ = nullptr;
  for (const TreeItemRef& child : children_) child->markDeleted();
  children_.clear();
}

void XbpBaseTreeViewItem::setTree(const std::shared_ptr<XbpBaseTreeView>& tree) {
  tree_ = tree;
  for (const TreeItemRef& child : children_) child->setTree(tree);
}

Value XbpBaseTreeViewItem::getChildItems() const {
  Array items;
  items.reserve(children_.size());
  for (const TreeItemRef& child : children_) items.emplace_back(child);
  return Value(std::move(items));
}

bool XbpBaseTreeViewItem::expand(bool open) {
  if (deleted_ || root_) return false;
  expanded_ = open;
  const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock();
  if (!tree || !native_) return true;
  tree->nativeExpand(*this);
  return isExpanded() == open;
}

bool XbpBaseTreeViewItem::isExpanded() const {
  if (root_) return true;
  const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock();
  return tree && native_ ? tree->nativeExpanded(*this) : expanded_;
}

bool XbpBaseTreeViewItem::setCaption(const std::string& text) {
  caption = text;
  if (const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock()) tree->nativeSetText(*this);
  return !deleted_;
}

bool XbpBaseTreeViewItem::isSelected() const {
  const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock();
  return tree && native_ && tree->markedItem().get() == this;
}

bool XbpBaseTreeViewItem::select() {
  const std::shared_ptr<XbpBaseTreeView> tree = tree_.lock();
  return tree && native_ && tree->nativeSelect(*this);
}

}  // namespace rt
