#include "registration.h"

#include <cstring>

namespace rt {

namespace {
constexpr size_t kMaxName = 32;
bool KnownKind(int32_t kind) { return kind >= DBE_KIND_DATA && kind <= DBE_KIND_FIXED_WIDTH; }
}  // namespace

std::optional<std::string> RegisteredName(const DbeRegistration* block, const ReadableFn& readable) {
  if (!block || !readable(block, sizeof(DbeRegistration))) return std::nullopt;
  // Copied: the pointer need not even be aligned.
  DbeRegistration copy;
  std::memcpy(&copy, block, sizeof copy);
  if (copy.abiVersion != DBE_ABI_VERSION || copy.size < sizeof(DbeRegistration) || !KnownKind(copy.kind)) {
    return std::nullopt;
  }
  const char* name = copy.name;
  if (!name) return std::nullopt;
  // Byte by byte: the name may end just before memory that cannot be read.
  for (size_t n = 0; n <= kMaxName; ++n) {
    if (!readable(name + n, 1)) return std::nullopt;
    if (name[n] == '\0') return std::string(name, n);
  }
  return std::nullopt;
}

}  // namespace rt
