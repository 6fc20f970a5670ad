// The check of the registration block an engine DLL hands back: foreign
// memory, read only after it is known to be readable, so that a bad block is
// a failed load and never a crash.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "dbe_abi.h"

namespace rt {

// Whether `size` bytes from `address` can be read.
using ReadableFn = std::function<bool(const void* address, size_t size)>;

// The engine name the block registers (at most 32 characters), when the block
// is readable, of this engine interface, at least as large as its structure
// and of a known kind, and its name is readable and ends within 32
// characters; nothing otherwise.
// The block is read by copy, so it need not be aligned.
std::optional<std::string> RegisteredName(const DbeRegistration* block, const ReadableFn& readable);

}  // namespace rt
