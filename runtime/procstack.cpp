#include "procstack.h"

namespace rt {

namespace {
// Frames live on the C++ stack; this list only points at them. Each thread has
// its own call stack.
thread_local std::vector<const ProcFrame*> t_frames;
}  // namespace

ProcFrame::ProcFrame(const char* name, int line) : name_(name ? name : ""), line_(line) {
  t_frames.push_back(this);
}

ProcFrame::ProcFrame(std::string name, int line) : name_(""), owned_(std::move(name)), line_(line) {
  t_frames.push_back(this);
}

ProcFrame::~ProcFrame() {
  // Frames end in reverse order of their start, also when an exception unwinds.
  if (!t_frames.empty() && t_frames.back() == this) {
    t_frames.pop_back();
  } else {
    for (auto it = t_frames.begin(); it != t_frames.end(); ++it) {
      if (*it == this) {
        t_frames.erase(it);
        break;
      }
    }
  }
}

namespace {
const ProcFrame* FrameAt(int level) {
  if (level < 0 || static_cast<size_t>(level) >= t_frames.size()) return nullptr;
  return t_frames[t_frames.size() - 1 - static_cast<size_t>(level)];
}
}  // namespace

std::string ProcName(int level) {
  const ProcFrame* f = FrameAt(level);
  return f ? std::string(f->name()) : std::string();
}

int ProcLine(int level) {
  const ProcFrame* f = FrameAt(level);
  return f ? f->line() : 0;
}

std::vector<FrameInfo> CallStack() {
  std::vector<FrameInfo> out;
  out.reserve(t_frames.size());
  for (auto it = t_frames.rbegin(); it != t_frames.rend(); ++it) out.push_back({std::string((*it)->name()), (*it)->line()});
  return out;
}

size_t CallStackInto(FrameRef* out, size_t max) {
  size_t n = 0;
  for (auto it = t_frames.rbegin(); it != t_frames.rend() && n < max; ++it) out[n++] = {(*it)->name(), (*it)->line()};
  return n;
}

}  // namespace rt
