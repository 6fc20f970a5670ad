// The operating-system calls of the portable parts, on the build host.
#include "../platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rt::platform {

FileHandle OpenForWriting(const std::string& name, bool additive, long& osCode) {
  const int fd = open(name.c_str(), O_WRONLY | O_CREAT | (additive ? O_APPEND : O_TRUNC), 0666);
  if (fd < 0) osCode = errno;
  return fd < 0 ? kNoFile : fd;
}

long WriteAll(FileHandle file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(static_cast<int>(file), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

long CloseFile(FileHandle file) { return close(static_cast<int>(file)) == 0 ? 0 : errno; }

FileHandle OpenForReading(const std::string& name, long& osCode) {
  const int fd = open(name.c_str(), O_RDONLY);
  if (fd < 0) osCode = errno;
  return fd < 0 ? kNoFile : fd;
}

int64_t FileSize(FileHandle file) {
  struct stat info {};
  return fstat(static_cast<int>(file), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

long ReadSome(FileHandle file, char* buffer, long count) {
  for (;;) {
    const ssize_t n = read(static_cast<int>(file), buffer, static_cast<size_t>(count));
    if (n < 0 && errno == EINTR) continue;
    return static_cast<long>(n);
  }
}

FileHandle StdChannel(bool error) { return error ? 2 : 1; }

std::string ProgramPath() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string OsName() {
  utsname u{};
  if (uname(&u) != 0) return "unknown";
  return std::string(u.sysname) + " " + u.release;
}

std::string SystemErrorText(long code) { return std::strerror(static_cast<int>(code)); }

void Tone(double, double) {}

}  // namespace rt::platform
