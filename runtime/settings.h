// Process-wide runtime settings (`Set`) and locale entries (`SetLocale`).
#pragma once

#include "value.h"

namespace rt {

// Setting numbers used by the program.
inline constexpr int kSetDateFormat = 4;
inline constexpr int kSetConsole = 17;
inline constexpr int kSetAlternate = 18;
inline constexpr int kSetAltFile = 19;
inline constexpr int kSetExtra = 21;
inline constexpr int kSetPrinter = 23;
inline constexpr int kSetCentury = 40;
inline constexpr int kSetOptimize = 41;
// 1: texts go to native drawing calls converted from the OEM code page (858)
// to the ANSI code page (1252); 0 (the default): as they are.
inline constexpr int kSetCharset = 43;
// true: a "~" before a letter in a drawn text marks it as the underlined key
// letter ("&" of the native call); false (the default): drawn literally.
inline constexpr int kSetTildeMarkers = 46;

// Locale entries.
inline constexpr int kLocaleCurrency = 5;

// A setting counts as on when it holds true or the text "ON" (any case, blanks ignored).
bool IsOn(const Value& setting);

// Returns the current value of a setting.
Value Set(int setting);
// Sets a setting and returns its previous value.
Value Set(int setting, const Value& value);
// The same with a setting's extra argument: for kSetAltFile, false starts the
// file anew and true appends. Setting kSetAltFile opens (or, with an empty
// text, closes) the alternate-output file; see output.h.
Value Set(int setting, const Value& value, const Value& extra);

Value SetLocale(int entry);
Value SetLocale(int entry, const Value& value);

}  // namespace rt
