#include "files.h"

#include <algorithm>

#include "platform.h"

namespace rt {

namespace {
thread_local long g_error = 0;

long Done(long code) {
  g_error = code;
  return code;
}
}  // namespace

long FOpen(const std::string& name) {
  long code = 0;
  const platform::FileHandle file = platform::OpenForReading(name, code);
  Done(file == platform::kNoFile ? code : 0);
  return file == platform::kNoFile ? -1 : static_cast<long>(file);
}

int64_t FSize(long handle) {
  if (handle < 0) {
    Done(6);  // invalid handle
    return -1;
  }
  return platform::FileSize(handle);
}

std::string FRead(long handle, long count) {
  std::string bytes;
  if (handle < 0 || count <= 0) return bytes;
  // In bounded pieces: the size asked for need not be what the file holds.
  constexpr long kPiece = 1 << 16;
  char buffer[kPiece];
  Done(0);
  while (static_cast<long>(bytes.size()) < count) {
    const long n = platform::ReadSome(handle, buffer, std::min(kPiece, count - static_cast<long>(bytes.size())));
    if (n < 0) {
      Done(30);  // the system's "read fault"
      break;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

bool FClose(long handle) {
  if (handle < 0) return false;
  return Done(platform::CloseFile(handle)) == 0;
}

long FError() { return g_error; }

}  // namespace rt
