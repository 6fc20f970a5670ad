// What the program can learn about itself and its surroundings: application
// type, program path, runtime version, operating system, clock, thread, and
// the last operating-system error of the runtime's file operations.
#pragma once

#include <string>

namespace rt {

// Application types: 3 is a GUI application (this program); the others take
// the text-mode paths of the error system.
inline constexpr int kAppTypeGui = 3;
int AppType();
// Sets the type the program reports and returns the previous one.
int AppType(int type);

// The program's file name; with `fullPath` its full path name.
std::string AppName(bool fullPath = false);

// Version of the runtime: without argument "major.minor"; 1 the major, 2 the
// minor version, 3 the build number.
std::string Version(int part = 0);

// Name and version of the operating system, e.g. "Windows 10 10.0 Build 19045".
std::string OS();

// The current time as "hh:mm:ss" (the current date: Date::Today()).
std::string Time();

// Identifier of the calling thread: 1 for the first thread that asks (rt::Run
// asks at start, so the program's main thread is 1), then 2, 3, ...
long ThreadId();

// The last operating-system error code recorded by a runtime file operation
// (0: none); the second form sets it and returns the previous code.
long DosError();
long DosError(long code);
// The system's description of an operating-system error code.
std::string DosErrorMessage(long code);

}  // namespace rt
