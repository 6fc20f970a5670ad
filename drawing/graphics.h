// Procedure forms of presentation-space attribute operations, and the
// arithmetic of direct (RGB) colour values.
#pragma once

#include "value.h"

namespace valumat {

// Each takes the presentation space first (NIL: the application window's) and
// forwards to its method; how many arguments the caller passed matters.
rt::Value GraSetColor(const rt::Args& args);       // oPS, foreground, background
rt::Value GraSetAttrLine(const rt::Args& args);    // oPS, attribute array
rt::Value GraSetAttrMarker(const rt::Args& args);  // oPS, attribute array
rt::Value GraSetAttrArea(const rt::Args& args);    // oPS, attribute array
rt::Value GraSetAttrString(const rt::Args& args);  // oPS, attribute array
rt::Value GraSetFont(const rt::Args& args);        // oPS, font
rt::Value GraSegDrawMode(const rt::Args& args);    // oPS, drawing mode
rt::Value GraFocusRect(const rt::Args& args);      // oPS, two corner points
rt::Value GraError(const rt::Args& args);          // oPS

// R + G*256 + B*65536 + 16777216 from {R, G, B}; components are clamped
// into 0..255 in the caller's array. NIL when the array is unusable.
rt::Value GraMakeRGBColor(const rt::Value& aRGB);
bool GraIsRGBColor(const rt::Value& nColor);
// A new {R, G, B}, or NIL when the value is no RGB colour. Blue is not masked.
rt::Value GraGetRGBIntensity(const rt::Value& nRGBColor);

}  // namespace valumat
