// Multi-line entry fields.
#pragma once

#include <string>

#include "editfield.h"

namespace rt {

// Multi-line entry field. Its text holds lines separated by CR LF, as the
// native control holds them; positions count characters from 1.
class XbpBaseMLE : public EditField {
  RT_CLASS("XbpBaseMLE", XbpBaseMLE, XbpWindow)

 public:
  // At creation: long lines wrap at the field's width (no horizontal
  // scrolling).
  bool wordWrap = true;
  // Characters the field holds at most, line breaks (2 each) included; 0 sets
  // no limit beyond the control's own.
  long bufferLength = 0;
  Value change;    // callback of kEvChange: the user changed the text

  // Without argument: the data link's text becomes the field's text.
  // With a text: that text replaces the field's text; the data link is not run.
  // Bare LF or CR become CR LF; text beyond bufferLength is cut off.
  bool setData(const Args& args = {});
  bool setData(const std::string& text) { return setData(Args{Value(text)}); }
  bool clear();
  // Inserts `text` as the program's change (kEvChange is not posted). NIL
  // `pos`: at the cursor; a marking stays marked on its text, a bare cursor
  // goes on after the text. A number: before that 1-based character (past
  // the end: at the end; the LF of a line break: before the break), the
  // user's cursor and marking kept on their text.
  // False, and nothing inserted, when the text does not fit in bufferLength.
  bool Insert(const Value& pos, const std::string& text);

  bool keepsKey(long key) const override;

 protected:
  NativeSpec nativeSpec() const override;
  const EventRoutes& routes() const override;
  void afterCreate() override;

 private:
  // Characters the text may still grow by, replacing `replaced` of them.
  size_t room(size_t length, size_t replaced) const;
};

}  // namespace rt
