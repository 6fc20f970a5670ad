#include "sle.h"

#include <algorithm>

#include "textdrop.h"

namespace valumat {

rt::Value XbpSLE::DragEnter(const rt::Value&, const rt::Value& data) { return DropWouldBeTaken(data); }

rt::Value XbpSLE::DragDrop(const rt::Value&, const rt::Value& data) {
  std::optional<std::string> text = DroppedText(data);
  if (!text) return 0;
  // The whole text goes in, but not the one line break editors end a file
  // with: digits typed after it would not be read as part of the amount.
  if (text->ends_with("\r\n")) {
    text->resize(text->size() - 2);
  } else if (text->ends_with('\n') || text->ends_with('\r')) {
    text->pop_back();
  }
  if (text->empty()) return 0;
  // {characters before the marking, 1-based position after it}.
  const rt::Value marked = queryMarked();
  const std::string now = editBuffer();
  const size_t before = std::min<size_t>(std::max(marked.at(1).integer(), 0L), now.size());
  const size_t after = std::clamp<size_t>(std::max(marked.at(2).integer() - 1, 0L), before, now.size());
  const std::string next = now.substr(0, before) + *text + now.substr(after);
  // A text the field cannot hold is refused whole, never cut.
  if (bufferLength > 0 && next.size() > static_cast<size_t>(bufferLength)) return 0;
  setData(next);
  // The dropped text marked, so that the user sees what arrived.
  setMarked(rt::Value{static_cast<long>(before), static_cast<long>(before + text->size() + 1)});
  return 1;
}

}  // namespace valumat
