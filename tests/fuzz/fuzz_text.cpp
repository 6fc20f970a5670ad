// The error system's texts: word wrap at any width and the message of an
// error with any fields never fail; wrapped lines keep to the width.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "errorsys.h"
#include "handler.h"

namespace {
// Splits the input into pieces at 0xFF bytes.
std::string Piece(const uint8_t*& data, size_t& size) {
  std::string piece;
  while (size > 0 && *data != 0xFF) {
    piece.push_back(static_cast<char>(*data++));
    --size;
  }
  if (size > 0) {
    ++data;
    --size;
  }
  return piece;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int width = static_cast<int>(data[0] % 130) - 2;  // also 0 and below
  const int number = data[1];
  data += 2;
  size -= 2;
  std::string text = Piece(data, size);

  const std::string wrapped = valumat::LineSplit(text, width);
  if (width > 0 && text.find(';') == std::string::npos) {
    size_t start = 0;
    for (;;) {
      const size_t end = wrapped.find(';', start);
      if ((end == std::string::npos ? wrapped.size() : end) - start > static_cast<size_t>(width)) std::abort();
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  (void)valumat::WrapLines(text, width);

  rt::Error e;
  e.description = text;
  e.subSystem = Piece(data, size);
  e.operation = Piece(data, size);
  e.fileName = Piece(data, size);
  e.genCode = number % 3 == 0 ? rt::Value(number) : rt::Value(Piece(data, size));
  e.subCode = number % 5 == 0 ? rt::Value() : rt::Value(-number);
  e.osCode = number % 2 == 0 ? rt::Value(4294967295.0 - number) : rt::Value(rt::Value{1, "x"});
  e.args = number % 7 == 0 ? rt::Value(Piece(data, size)) : rt::Value{rt::Value(text), rt::Value(number)};
  e.severity = number % 4;
  (void)valumat::ErrorMessage(e);
  return 0;
}
