// Call-stack frames of the program's own procedures, for ProcName/ProcLine
// and the call-stack listings of the error box and the error log.
//
// Every procedure that wants to appear in a listing opens a frame on entry:
//
//   void DisplayModalDlg(const rt::Args& args) {
//     RT_PROC("DisplayModalDlg");
//     ...
//     RT_LINE; XbpException()->raiseParameterType({aArgs});
//
// RT_PROC records the procedure's name and its own line; RT_LINE moves the
// frame's current line to the line it stands on. Put RT_LINE before each
// statement that can raise an error, so that a listing names that line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rt {

class ProcFrame {
 public:
  // `name` must outlive the frame (a literal); the second form copies it.
  ProcFrame(const char* name, int line);
  ProcFrame(std::string name, int line);
  ~ProcFrame();
  ProcFrame(const ProcFrame&) = delete;
  ProcFrame& operator=(const ProcFrame&) = delete;

  void at(int line) { line_ = line; }
  int line() const { return line_; }
  std::string_view name() const { return owned_.empty() ? std::string_view(name_) : std::string_view(owned_); }

 private:
  const char* name_;
  std::string owned_;
  int line_;
};

// Name of the procedure `level` call levels up: 0 the current procedure, 1 its
// caller, and so on; an empty text beyond the outermost level.
std::string ProcName(int level = 0);
// Current line of that procedure; 0 beyond the outermost level.
int ProcLine(int level = 0);

struct FrameInfo {
  std::string name;
  int line = 0;
};
// The frames of the calling thread, innermost first (level 0 first).
std::vector<FrameInfo> CallStack();
// The same into `out`, at most `max` frames, without allocating (a crash
// report may find the heap locked); answers the count. The names are valid
// while the frames live.
struct FrameRef {
  std::string_view name;
  int line = 0;
};
size_t CallStackInto(FrameRef* out, size_t max);

}  // namespace rt

#define RT_PROC(name) ::rt::ProcFrame rt_proc_frame_((name), __LINE__)
#define RT_LINE rt_proc_frame_.at(__LINE__)
