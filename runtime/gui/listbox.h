// List boxes: a list of texts of which the user marks one or several.
#pragma once

#include "listcontrol.h"

namespace rt {

// Items: addItem, insItem, delItem, clear, numItems, getItem, setItem (see
// ListControl). The data is the marking: the array of marked positions.
//
// Callbacks, each called with NIL, NIL and the object (getData tells which
// items are marked):
// - itemMarked (kEvItemMarked): the user changed the marking, with the mouse
//   or the keys;
// - itemSelected (kEvItemSelected): the user chose the marked item, with a
//   double click or Enter.
// Changes made by the program fire neither.
class XbpBaseListBox : public ListControl {
  RT_CLASS("XbpBaseListBox", XbpBaseListBox, XbpWindow)

 public:
  static constexpr long kMarkSingle = 1;
  // Several items, marked as lists mark them: Ctrl toggles, Shift extends,
  // with the mouse and with the arrow keys.
  static constexpr long kMarkMultiple = 2;

  XbpBaseListBox();
  long markMode = kMarkSingle;  // taken when the native list is created
  bool border = true;

  // Marks exactly the given positions (an array, one number, or NIL for
  // none); without argument the data link's value. False, with the marking
  // unchanged, when a position is out of range or a single-mark list gets
  // more than one.
  bool setData(const Args& args = {});
  bool setData(const Value& positions) { return setData(Args{positions}); }
  // The marked positions, ascending; the data link (if any) gets them.
  Value getData();
  // In a single-mark list marking an item unmarks the one marked before.
  bool markItem(long pos);
  bool unmarkItem(long pos);
  // The first item in view (0 before the list exists); setTopItem scrolls
  // `pos` to the top as far as the list reaches.
  long getTopItem() const;
  bool setTopItem(long pos);

  bool onCommand(unsigned code) override;

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  // Enter chooses the marked item.
  void afterEvent(long event, const Value& mp1, const Value& mp2) override;
  bool marksOne() const override { return markMode != kMarkMultiple; }
};

}  // namespace rt
