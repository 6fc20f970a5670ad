// Plain file operations for programs: an open file is a number, -1 when it
// could not be opened; FError tells the system's error code of the last
// operation that failed (0 after one that succeeded).
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// Opens `name` for reading only (mode 0); -1 on failure.
long FOpen(const std::string& name);
// Size of an open file in bytes; -1 when unknown.
int64_t FSize(long handle);
// Reads up to `count` bytes, fewer at the end of the file; the bytes
// unchanged. A failure yields what was read before it.
std::string FRead(long handle, long count);
bool FClose(long handle);
long FError();

// Resolves a shortcut file (".LNK") to the path name it leads to, without any
// user interface and without searching for a target that has moved; "" when
// it cannot be resolved.
std::string ShellLinkResolve(const std::string& link);

}  // namespace rt
