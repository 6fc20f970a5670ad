// Decoder of LZMA streams in the ".lzma" format (13-byte header: properties,
// dictionary size, unpacked size or -1 with an end marker), as the build's
// compressor writes them for pictures the program carries at several sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rt {

// The unpacked bytes; nothing when the stream is damaged, truncated, or would
// unpack to more than `limit` bytes. Never reads or writes outside its buffers.
std::optional<std::vector<uint8_t>> LzmaUnpack(std::span<const uint8_t> stream, size_t limit);

}  // namespace rt
