// Combination boxes: an entry field with a list to take its text from.
#pragma once

#include <string>

#include "listcontrol.h"

namespace rt {

// The list's items: addItem, insItem, delItem, clear, numItems, getItem,
// setItem (see ListControl); clear empties the list and leaves the entry. The
// data is the entry's text.
//
// The entry and the list are native parts of the box, not objects of their
// own: what reaches them reaches the box object.
// - keyboard: each key typed into the entry, after the entry took it;
// - itemMarked (kEvItemMarked): the user took an item of the list into the
//   entry, with the mouse or the arrow keys;
// - itemSelected (kEvItemSelected): the user chose: Enter, a click on an
//   item of the open list, a double click in the list of a simple box;
// - setInputFocus, killInputFocus: the box as a whole got or lost the focus.
// itemMarked and itemSelected are called with NIL, NIL and the object
// (getData tells the text). Changes made by the program fire neither.
class XbpBaseCombobox : public ListControl {
  RT_CLASS("XbpBaseCombobox", XbpBaseCombobox, XbpWindow)

 public:
  static constexpr long kTypeSimple = 1;        // the list always shown below the entry
  static constexpr long kTypeDropDown = 2;      // the list dropped down on demand
  static constexpr long kTypeDropDownList = 3;  // no entry: the text is always one of the items

  XbpBaseCombobox();
  // Taken when the native box is created. The size is that of the entry
  // (of entry and list for a simple box); a dropped list shows several items.
  long type = kTypeDropDown;

  // Without argument: the data link's text becomes the entry's text. With a
  // text: that text; the data link is not run. A box without an entry takes
  // only an item's text (or an empty one, marking nothing): false otherwise.
  bool setData(const Args& args = {});
  bool setData(const std::string& text) { return setData(Args{Value(text)}); }
  // The entry's text; the data link (if any) is evaluated with it.
  std::string getData();
  std::string editBuffer() const;

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;

 protected:
  NativeSpec nativeSpec() const override;
  void afterCreate() override;
  const EventRoutes& routes() const override;
  // Enter chooses the entry's text.
  void afterEvent(long event, const Value& mp1, const Value& mp2) override;
  bool marksOne() const override { return true; }

 private:
  friend struct ComboboxInner;
  bool hasEntry() const;
  // Puts the text into the entry, or marks the item of that text.
  bool showText(const std::string& text);
  // The first item of exactly this text; 0 for none.
  long itemOf(const std::string& text) const;
  // The entry as high as the size asks, the dropped list several items high.
  void fitHeight();
  std::string buffer_;  // the text while no native box exists
  NativeWindow entry_ = nullptr;  // the edit and the list inside the box
  NativeWindow innerList_ = nullptr;
  bool fitting_ = false;
};

}  // namespace rt
