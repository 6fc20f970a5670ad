// Modal boxes on the real Windows message box and a choice box of our own.
// Texts are code page 858.
#pragma once

#include <string>
#include <vector>

#include "value.h"

namespace rt {

// Button sets and answers of the Windows message box.
inline constexpr long kMbOk = 0;
inline constexpr long kMbOkCancel = 1;
inline constexpr long kMbAbortRetryIgnore = 2;
inline constexpr long kMbYesNo = 4;
inline constexpr long kMbRetryCancel = 5;
inline constexpr long kMbIconStop = 16;
inline constexpr long kMbIconExclamation = 48;
inline constexpr long kMbIconInformation = 64;
inline constexpr long kIdOk = 1;
inline constexpr long kIdCancel = 2;
inline constexpr long kIdAbort = 3;
inline constexpr long kIdRetry = 4;
inline constexpr long kIdIgnore = 5;
inline constexpr long kIdYes = 6;
inline constexpr long kIdNo = 7;

// The Windows message box: `owner` a window object or NIL (no owner), the
// button set and the style (icon and other flags) passed on unchanged.
// Returns the answer code (kIdOk ...), 0 when the box could not be shown.
long ConfirmBox(const Value& owner, const std::string& text, const std::string& title, long buttons, long style);

// A message box with an OK button; the title defaults to the program's name.
void MsgBox(const std::string& text, const std::string& title = std::string());

// The choice box: the text, in which ";" separates lines, above a row of one
// button per option. It cannot be closed without a choice (no close button;
// Escape and Alt+F4 do nothing). Returns the number of the chosen option
// from 1; -1 when the box could not be shown, also when there is no option.
// While the application window is a text-mode window the box shows inside
// it, drawn in cells (XbpBaseCrt::choiceBox); there Escape answers 0.
long Alert(const std::string& text, const std::vector<std::string>& options,
           const std::string& title = "Hinweis");

}  // namespace rt
