// Start and end of a program on the runtime.
#pragma once

#include <functional>

#include "value.h"

namespace rt {

// Sets up the runtime (common controls, OLE, window classes), runs `program`,
// runs the exit procedures and tears the runtime down: windows still open are
// destroyed and every GDI object released. Returns the exit code set with
// ErrorLevel (0 by default).
//
// A Break that no recovery block caught ends `program`: Run hands the broken
// value to the break reporter (an error object gets the call stack at the
// break attached, see Error::getCallstack), sets the exit code 1 and goes on
// with the exit procedures. Any other exception that escapes `program`, a
// C++ exception that ends a thread, and a hardware exception (an access
// violation, a stack overflow) that nothing handled become an error object
// (osCode: the exception code; operation: the faulting module) for the break
// reporter, after a box telling the user in a GUI application; the exit code
// is 1. After a hardware exception the process ends at once: the exit
// procedures do not run on a state that may be broken.
int Run(const std::function<void()>& program);

int ErrorLevel();
int ErrorLevel(int code);

// Exit procedures run once, in the order they were added, when the program
// ends: after `program` returns in Run, or in Quit.
void AddExitProcedure(std::function<void()> procedure);
// Runs the exit procedures unless they have run or are running.
void RunExitProcedures();

// Ends the program: runs the exit procedures (unless they have run or are
// running, as when an exit procedure itself quits), closes the
// alternate-output file so that it is complete on disk, and ends the process
// with the exit code set with ErrorLevel.
[[noreturn]] void Quit();

// Receives the value of a Break that no recovery block caught. The default
// writes a description to the standard error channel; the error system
// installs one that writes the error log. Returns the previous reporter.
using BreakReporter = std::function<void(const Value&)>;
BreakReporter SetBreakReporter(BreakReporter reporter);

}  // namespace rt
