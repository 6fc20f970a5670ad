// What list boxes and combination boxes share: the items of their list,
// code page 858 texts at 1-based positions, and which of them are marked;
// the data link, the callbacks itemMarked and itemSelected, and their
// colours. While the native list exists it holds the items; before it is
// created and after it is gone they are kept here, so that a form can be
// filled before it is shown and read after it closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "window.h"

namespace rt {

class ListControl : public XbpWindow {
 public:
  // Appends an item; answers its position (the new count), 0 when the list
  // refuses it (out of memory).
  long addItem(const std::string& text);
  // Inserts an item before `pos`; 1 .. numItems() + 1, else false.
  bool insItem(long pos, const std::string& text);
  bool delItem(long pos);
  // Removes every item.
  bool clear();
  long numItems() const;
  // The item's text; NIL for a position out of range.
  Value getItem(long pos) const;
  // Replaces the item's text; a marked item stays marked.
  bool setItem(long pos, const std::string& text);

  Value itemMarked;
  Value itemSelected;

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;

 protected:
  bool hasFieldColours() const override { return true; }
  enum class ListKind : uint8_t { ListBox, ComboBox };
  explicit ListControl(ListKind kind);

  // Whether marking an item unmarks the others, as set up for the native list.
  virtual bool marksOne() const = 0;
  // Whether the list marks several items: the native list's own style while
  // it exists, else what marksOne says.
  bool marksSeveral() const;
  // The native list takes the kept items and marks.
  void afterCreate() override;

  bool validPos(long pos) const { return pos >= 1 && pos <= numItems(); }
  bool isMarked(long pos) const;
  // Marks or unmarks one item (valid position); marking one unmarks the
  // others unless marksSeveral. No notification: the program's change, not
  // the user's.
  void mark(long pos, bool on);
  void unmarkAll();
  // The marked positions, ascending.
  std::vector<long> markedPositions() const;

 private:
  struct Kept {
    std::string text;
    bool marked = false;
  };
  // The item messages of both native lists, in one order.
  enum class Op : uint8_t { Count, Add, Insert, Delete, Reset, TextLength, Text };
  intptr_t send(Op op, uintptr_t wparam = 0, intptr_t lparam = 0) const;
  std::string nativeText(long index) const;
  // The native list is about to go: its items and marks are kept again.
  void detachItems();

  ListKind kind_;
  bool attached_ = false;  // the native list holds the items
  std::vector<Kept> kept_;
};

}  // namespace rt
