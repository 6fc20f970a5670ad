// Number formatting and parsing behind the runtime's Transform and LChar2Var,
// on plain types. Locale-independent; no binary floating-point noise reaches
// the displayed digits.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// Formats `value` under a picture: optional functions after "@" up to the first
// blank, then a template of '9' digit positions with an optional '.'.
//  - "@N" selects the German decimal comma and an unpadded result.
//  - With a template the value is rounded half away from zero to the template's
//    decimals and shown with exactly that many; "-" only for a non-zero result.
//    Without "@N" the result is padded on the left to the template's width.
//  - A value whose integer part needs more digits than the template has (or
//    whose padded text would be wider than the template), NaN and infinity give
//    a run of '*' as long as the template, never a wrong amount.
//  - Without a template: shortest form, 15 significant digits, no trailing
//    zeros and no decimal separator for whole numbers.
// Other function letters and template characters are not interpreted; the
// latter only count towards the width.
std::string FormatNumber(double value, std::string_view picture);

// Reads a number the way a classic Val() does: blanks, optional sign (blanks may
// follow it), digits, one decimal comma or point, digits. The longest valid
// prefix counts, anything after it is ignored; no digits at all give 0.
// Accepts every text FormatNumber produces. The value is not rounded to the
// template's decimals; the template is accepted for the caller's interface.
double ParseNumber(std::string_view text, std::string_view tmpl = {});

}  // namespace rt
