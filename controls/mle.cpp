#include "mle.h"

#include "textdrop.h"

namespace valumat {

rt::Value XbpMLE::DragEnter(const rt::Value&, const rt::Value& data) { return DropWouldBeTaken(data); }

rt::Value XbpMLE::DragDrop(const rt::Value&, const rt::Value& data) {
  const std::optional<std::string> text = DroppedText(data);
  // A text beyond the editor's buffer length does not go in: no success to
  // report then.
  return text && Insert(rt::Value(), *text) ? 1 : 0;
}

}  // namespace valumat
