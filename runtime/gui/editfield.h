// What single-line and multi-line entry fields share of the standard edit
// control beneath them: the text, kept readable before the control exists
// and after it is gone, the marked range, and the data link's text. Not a
// class of its own for the program: each kind names the window base as its
// base class.
#pragma once

#include <string>

#include "window.h"

namespace rt {

class EditField : public XbpWindow {
 public:
  bool editable = true;  // at creation
  bool border = true;    // at creation

  // The field's text; the data link (if any) is evaluated with it.
  std::string getData();
  // The text the field shows now (the last one after it is gone).
  std::string editBuffer() const;
  // {characters before the marked range, 1-based position after it}.
  Value queryMarked() const;
  // Marks {characters before, 1-based position after} and scrolls the
  // cursor into view.
  bool setMarked(const Value& range);

  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  // The control's notice of a changed text becomes the kind's kEvChange only
  // when the user made the change: typed, cut, pasted, undone or deleted by
  // keys or by the field's menu. The program's own changes post nothing.
  bool onCommand(unsigned code) override;
  // A drop the field took is the user's change as well.
  void userChanged() override;
  // Entry fields are drop targets; what they take is their class's to say.
  bool acceptsDrops() const override { return true; }

 protected:
  EditField() { tabStop = true; }
  bool hasFieldColours() const override { return true; }

  std::string buffer_;  // the text while no native field exists
  int ownChange_ = 0;   // depth of changes the program is making to the text
};

}  // namespace rt
