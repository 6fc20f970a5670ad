// Inside the error system: the standard handler, the message text and the
// error log. Private to the error module and its tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "error.h"
#include "value.h"

namespace valumat {

// The call-stack frames of the standard handler and of the handler block
// that calls it: the error system's own levels above a raising procedure.
inline constexpr const char* kHandlerFrame = "StandardEH";
inline constexpr const char* kHandlerBlockFrame = "(b)ErrorSys";

// Returns 0, true (retry) or false (default), or does not return: breaks out
// with the error object, or writes the error log and ends the program.
rt::Value StandardEH(const rt::Value& error);

// The German message text of an error; ";" separates its lines.
std::string ErrorMessage(const rt::Error& error);

// Writes the error report to APPERROR.LOG (or the next free APPERROR.nnn) and
// tells the user where; `levels` call levels above ErrorLog belong to the
// error system and are left out of the call-stack listing. Ends the program
// itself when no log file can be opened.
void ErrorLog(const rt::Value& error, int levels);

// The lines MlCount/MemoLine give for a text wrapped at `width` with word
// wrap on and a tab width of 4 (trailing blanks kept).
std::vector<std::string> WrapLines(const std::string& text, int width);

// What the handler and the log show the user and how they end the program.
// Tests replace these with scripted answers.
struct ErrorSysUi {
  std::function<long(const rt::Value& owner, const std::string& text, const std::string& title, long buttons,
                     long style)>
      confirmBox;
  std::function<long(const std::string& text, const std::vector<std::string>& options)> alert;
  std::function<void(const std::string& text)> msgBox;
  std::function<void()> quit;  // ends the process; returns only in tests
};
// The one in force (the real boxes and rt::Quit unless replaced).
ErrorSysUi& Ui();
// Replaces the one in force and returns the previous one.
ErrorSysUi SetUi(ErrorSysUi ui);

}  // namespace valumat
