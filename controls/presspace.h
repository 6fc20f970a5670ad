// Presentation spaces as application code creates them, with text drawn
// into a rectangle through the native "DrawTextA".
#pragma once

#include "forwarding.h"
#include "gui/presentationspace.h"

namespace valumat {

class XbpPresSpace : public rt::XbpBasePresSpace {
  RT_CLASS("XbpPresSpace", XbpPresSpace, rt::XbpBasePresSpace)
  VALUMAT_FORWARDS_TO(XbpBasePresSpace)

 public:
  // Arguments: aStartPos, aEndPos, cText, nFormat (DT_* flags), nTabSize;
  // their count matters. Draws cText into the rectangle of the two corner
  // points (left from the start, right from the end, top and bottom
  // ordered) on the device context of lockHDC; with a tab size, DT_TABSTOP
  // and the size are added to the format. Setting 46 turns "~" markers into
  // underlined letters, setting 43 (1) converts the text to the ANSI code
  // page. The text goes to the native call as a copy, so DT_MODIFYSTRING
  // (which a tab size of 256 or more also reaches) is taken out of the
  // format. The drawing is retained like the space's other primitives. Bad
  // arguments are raised through XbpException with all five arguments; when
  // the handler lets the call go on, an argument that cannot be used makes
  // the result false. True when the native call drew (a height above 0).
  bool DrawFormattedStr(const rt::Args& args);
  // Arguments: aStartPos, aEndPos or NIL, cCaption, nFormat or NIL, nTabSize.
  // One line: without an end point the caption's text box at the start
  // point; without a format 100 (vertically centred, single line, tabs
  // expanded), else the format + 96. The result of DrawFormattedStr.
  bool DrawCaptionStr(const rt::Args& args);
};

}  // namespace valumat
