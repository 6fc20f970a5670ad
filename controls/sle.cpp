#include "sle.h"

#include <algorithm>

#include "textdrop.h"

namespace valumat {

rt::Value XbpSLE::DragEnter(const rt::Value&, const rt::Value& data) { return DropWouldBeTaken(data); }

rt::Value XbpSLE::DragDrop(const rt::Value&, const rt::Value& data) {
  const std::optional<std::string> text = DroppedText(data);
  if (!text) return 0;
  // {characters before the marking, 1-based position after it}.
  const rt::Value marked = queryMarked();
  const std::string now = editBuffer();
  const size_t before = std::min<size_t>(std::max(marked.at(1).integer(), 0L), now.size());
  const size_t after = std::clamp<size_t>(std::max(marked.at(2).integer() - 1, 0L), before, now.size());
  setData(now.substr(0, before) + *text + now.substr(after));
  return 1;
}

}  // namespace valumat
