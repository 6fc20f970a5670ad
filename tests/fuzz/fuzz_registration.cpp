// Registration blocks as an engine DLL may hand them back: any block, its
// name anywhere, only some memory readable. The check reads nothing it has
// not been told is readable and accepts only sound blocks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dbe/registration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  // The readable memory: the input after the header, copied to a buffer of
  // its own, so that the sanitizer catches any read outside it.
  const size_t at = data[0] % 64;                     // where the block starts in the memory
  const size_t nameAt = data[1] | (data[2] << 8);     // where its name points, maybe outside
  std::vector<uint8_t> memory(data + 3, data + size);
  const auto* base = memory.data();
  const auto readable = [&](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return b >= base && n <= memory.size() && b <= base + memory.size() - n;
  };
  DbeRegistration block{};
  const DbeRegistration* given = nullptr;
  if (at + sizeof block <= memory.size()) {
    std::memcpy(&block, base + at, sizeof block);
    block.name = reinterpret_cast<const char*>(base) + nameAt;  // may lie outside: then unreadable
    std::memcpy(memory.data() + at, &block, sizeof block);
    given = reinterpret_cast<const DbeRegistration*>(base + at);
  } else {
    given = reinterpret_cast<const DbeRegistration*>(base + at);  // runs off the readable memory
  }
  const auto name = rt::RegisteredName(given, readable);
  if (name) {
    if (name->size() > 32 || name->find('\0') != std::string::npos) std::abort();
    if (block.abiVersion != DBE_ABI_VERSION || block.size < sizeof(DbeRegistration)) std::abort();
  }
  return 0;
}
