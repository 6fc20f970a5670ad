// What entry fields take when text or files are dropped on them: plain text,
// or the content of a text file (a name ending in ".TXT", or a shortcut
// ".LNK" leading to one). Shared by the single-line and multi-line fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "value.h"

namespace valumat {

// The largest dropped file taken, in bytes. A field holds a few lines; a
// 32-bit program must not try to take a file of gigabytes into memory, so a
// larger file is refused before anything of it is read.
inline constexpr int64_t kDroppedFileLimit = 4 * 1024 * 1024;

// Replaces every shortcut among `names` (an array of path names), in place,
// by the path it leads to; then answers the first name that is a text file,
// or "" when there is none.
std::string TextFileAmong(rt::Value& names);

// Whether a drop of `data` (the runtime's drag data) would be taken: 1 when
// it offers text or a text file among its files, else 0.
rt::Value DropWouldBeTaken(const rt::Value& data);

// The text a drop brings: the offered text (preferred even when files come
// too), else the whole content of the text file among the files, byte for
// byte unless it is marked or valid UTF-8 (rt::TextFileToCp858). Nothing when there is no
// text file, it cannot be opened or is larger than kDroppedFileLimit, or the
// text is empty.
std::optional<std::string> DroppedText(const rt::Value& data);

}  // namespace valumat
