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
//  - The value counts as the decimal of its 15 significant digits (what a
//    double holds reliably: 500 * 1.95583 is 977.915, not 977.91499999...).
//  - With a template that decimal is rounded half away from zero to the
//    template's decimals and shown with exactly that many; "-" only for a
//    non-zero result. Under "@N" the template's integer positions set no
//    limit (1955829998.04 shows under "@N 999999999.99"); without "@N" the
//    result is padded on the left to the template's width.
//  - A run of '*' as long as the template, never a wrong amount, for NaN and
//    infinity, for a last decimal beyond the 15 significant digits (cents of
//    10^13 and more), and without "@N" for an integer part longer than the
//    template's or a padded text wider than it.
//  - Without a template: shortest form of the 15 digits, no trailing zeros
//    and no decimal separator for whole numbers.
// Other function letters and template characters are not interpreted; the
// latter only count towards the width.
std::string FormatNumber(double value, std::string_view picture);

// Reads a number as a German writes it: blanks, optional sign and currency
// mark (the euro sign, "EUR" or "DM", any case) in either order, each with
// blanks after it or none, digits, one decimal comma or point, digits. The longest valid
// prefix counts, anything after it is ignored; no digits at all give 0.
// Thousands may be grouped: after a first group of one to three digits (not
// starting with 0), groups of exactly three digits, each after the same
// separator, "." or a blank (the no-break blank 0xFF too): "1.000,50" is
// 1000.5, "1.000.000" and "1 000 000" are 1000000. A "." with other than three
// digits after it is a decimal point ("1.5", "12.75", "1.2345"), and so is a
// lone "." with three digits when the template has three decimals ("1.500"
// under "999.999" is 1.5, as FormatNumber writes it). After "." groups only a
// comma is a decimal separator. The value is not rounded to the template's
// decimals.
// What FormatNumber writes under a picture reads back to the same text under
// the picture's template, with one exception: the point form without a
// template (picture "", as console output uses it) writes a number of one to
// three integer digits, not 0, and exactly three decimals as "1.234" or
// "-999.999", which reads as a thousands group (1234) like any "1.234" a
// German types.
double ParseNumber(std::string_view text, std::string_view tmpl = {});

enum class RateOp { Multiply, Divide };

// The number ParseNumber reads from `text` under `tmpl`, multiplied or
// divided by `rate`, as FormatNumber would write the exact result under
// `picture` (which must have a template): the digits as written and the rate
// as the decimal of its 15 significant digits, computed without binary
// rounding, rounded once, half away from zero, to the template's decimals.
// Exact for every text of up to 20 digits; what needs more than 128 bits
// (texts of some 38 digits) falls back to the binary result.
std::string FormatAtRate(std::string_view text, std::string_view tmpl, double rate, RateOp op,
                         std::string_view picture);

}  // namespace rt
