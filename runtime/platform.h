// The few operating-system calls under the portable parts: files for the
// output channels, the program's path, the system's name and error texts.
// win32/platform.cpp is the Windows side, posix/platform.cpp the host side
// for the native test build. Texts are code page 858.
#pragma once

#include <cstdint>
#include <string>

namespace rt::platform {

// A file or standard channel open for writing; kNoFile when there is none.
using FileHandle = intptr_t;
inline constexpr FileHandle kNoFile = -1;

// Creates or, with `additive`, appends to `name`; on failure kNoFile and the
// system's error code in `osCode`.
FileHandle OpenForWriting(const std::string& name, bool additive, long& osCode);
// Writes all of `bytes`: 0, or the system's error code of the failure.
long WriteAll(FileHandle file, const std::string& bytes);
long CloseFile(FileHandle file);
// Opens `name` for reading only, others may read and write it meanwhile; on
// failure kNoFile and the system's error code in `osCode`.
FileHandle OpenForReading(const std::string& name, long& osCode);
// Size in bytes of an open file; -1 when the system cannot tell.
int64_t FileSize(FileHandle file);
// Reads up to `count` bytes into `buffer`: the number read, 0 at the end of
// the file, -1 on failure.
long ReadSome(FileHandle file, char* buffer, long count);
// The standard output or error channel; kNoFile when the program has none.
FileHandle StdChannel(bool error);

// Full path name of the running program ("" when unknown).
std::string ProgramPath();
// Name and version of the operating system.
std::string OsName();
// The system's description of an error code ("" when it has none).
std::string SystemErrorText(long code);
// A tone of `frequency` Hz for `milliseconds`, where the system can sound one.
void Tone(double frequency, double milliseconds);

}  // namespace rt::platform
