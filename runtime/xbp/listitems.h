// The items of a list box and of a combination box's list, shared by both
// kinds: code page 858 texts at 1-based positions, and which of them are
// marked. While the native list exists it holds them; before it is created
// and after it is gone they are kept here, so that a form can be filled
// before it is shown and read after it closed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../value.h"
#include "handle.h"

namespace rt {

class ListItems {
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

 protected:
  enum class ListKind : uint8_t { ListBox, ComboBox };
  explicit ListItems(ListKind kind) : kind_(kind) {}
  ~ListItems() = default;
  ListItems(const ListItems&) = delete;
  ListItems& operator=(const ListItems&) = delete;

  // Whether marking an item unmarks the others, as set up for the native list.
  virtual bool marksOne() const = 0;
  // Whether the list marks several items: the native list's own style while
  // it exists, else what marksOne says.
  bool marksSeveral() const;

  // The native list (a list box, or a combination box) takes the kept items
  // and marks; from then on it holds them.
  void attachItems(NativeWindow list);
  // The native list is about to go: its items and marks are kept again.
  void detachItems();

  bool validPos(long pos) const { return pos >= 1 && pos <= numItems(); }
  bool isMarked(long pos) const;
  // Marks or unmarks one item (valid position); marking one may unmark the
  // others (unless marksSeveral). No notification: the program's change, not the user's.
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

  ListKind kind_;
  NativeWindow list_ = nullptr;
  std::vector<Kept> kept_;
};

// Colours of a list (list box, combination box entry and list): the
// control's own presentation colours where given, else the system's window
// colours rather than the parent's face. nullptr: the system's alone.
NativeBrush ListColors(NativeDC dc, const Value& fg, const Value& bg, NativeBrush bgBrush);

}  // namespace rt
