#include "presspace.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "cp858.h"
#include "crt.h"
#include "exception.h"
#include "nativecalls.h"
#include "procstack.h"
#include "settings.h"

namespace valumat {

using namespace rt;

namespace {

// DT_* flags of the native call.
constexpr long kDtVCenter = 4, kDtSingleLine = 32, kDtExpandTabs = 64, kDtTabStop = 128;
constexpr long kDtCalcRect = 0x400, kDtModifyString = 0x10000;

// A corner point as the checks see it: an array of at least two elements.
bool IsPoint(const Value& v) { return v.isArray() && v.size() >= 2; }

// What every raise reports: the five arguments as received, NIL for those
// not passed, in an array of its own.
Value Reported(const Args& args) {
  return Value(Array{Arg(args, 1), Arg(args, 2), Arg(args, 3), Arg(args, 4), Arg(args, 5)});
}

enum class Refusal { Count, Type };

// A failed check is raised with the five arguments, the frame showing the
// check's line; when the handler returns, the caller goes on.
void Check(bool passed, Refusal kind, const Args& args, ProcFrame& frame, int line) {
  if (passed) return;
  frame.at(line);
  if (kind == Refusal::Count) {
    XbpException()->raiseParameterCount({Reported(args)});
  } else {
    XbpException()->raiseParameterType({Reported(args)});
  }
}

// "~" before a character becomes "&", the native call's marker of the
// underlined key letter; a "~~" pair is left as it is and the scan goes on
// behind it, so the scan always ends and a pair never marks a letter.
std::string TildesToAmpersands(std::string text) {
  const size_t length = text.size();
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '~') continue;
    if (i + 1 < length && text[i + 1] == '~') {
      ++i;
      continue;
    }
    text[i] = '&';
  }
  return text;
}

// The native call answers a signed 32-bit height; the call facility hands
// it on unsigned.
long Int32Of(const Value& v) {
  return v.isNumber() ? static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(v.number()))) : 0;
}

// Gives a lent device context back on every way out of the drawing, also
// when an error handler breaks out of a native call.
class LentHdc {
 public:
  LentHdc(XbpPresSpace& ps, const Value& lock, const Value& hdc) : ps_(ps), lock_(lock), hdc_(hdc) {}
  ~LentHdc() { ps_.UnlockHDC(lock_, hdc_); }
  LentHdc(const LentHdc&) = delete;
  LentHdc& operator=(const LentHdc&) = delete;

 private:
  XbpPresSpace& ps_;
  Value lock_, hdc_;
};

}  // namespace

bool XbpPresSpace::DrawFormattedStr(const Args& args) {
  RT_PROC("XbpPresSpace:DrawFormattedStr");
  const Value aStartPos = Arg(args, 1), aEndPos = Arg(args, 2), cText = Arg(args, 3), nFormat = Arg(args, 4),
              nTabSize = Arg(args, 5);
  Check(PCount(args) >= 4, Refusal::Count, args, rt_proc_frame_, __LINE__);
  Check(IsPoint(aStartPos), Refusal::Type, args, rt_proc_frame_, __LINE__);
  Check(IsPoint(aEndPos), Refusal::Type, args, rt_proc_frame_, __LINE__);
  Check(cText.isText(), Refusal::Type, args, rt_proc_frame_, __LINE__);
  Check(nFormat.isNumber(), Refusal::Type, args, rt_proc_frame_, __LINE__);

  const Value aStart = MapPoint(aStartPos, true, true), aEnd = MapPoint(aEndPos, true, true);
  // An argument refused above and let go on by the handler cannot be drawn.
  if (aStart.isNil() || aEnd.isNil() || !cText.isText() || !nFormat.isNumber()) return false;

  // Left and right are never exchanged; top and bottom are ordered.
  std::string rect;
  PutInt32(rect, aStart.at(1).integer());
  PutInt32(rect, std::min(aStart.at(2).integer(), aEnd.at(2).integer()));
  PutInt32(rect, aEnd.at(1).integer());
  PutInt32(rect, std::max(aStart.at(2).integer(), aEnd.at(2).integer()));
  Value cRect = rect;

  double format = nFormat.number();
  if (nTabSize.isNumber()) {
    format += kDtTabStop;
    format += nTabSize.number() * 256;
  }
  // The text goes to the native call as a copy of its own length: a call
  // allowed to write into it (which a tab size of 256 or more also carries
  // into) would write past the copy's end.
  const long flags = static_cast<int32_t>(static_cast<int64_t>(format)) & ~kDtModifyString;

  Value nHDC = 0;
  const Value nLock = lockHDC(kLockHdcText, nHDC);
  if (!nLock.isNumber() || nLock.number() == 0) return false;
  LentHdc lent(*this, nLock, nHDC);

  std::string text = cText.text();
  if (IsOn(Set(kSetTildeMarkers))) text = TildesToAmpersands(std::move(text));
  if (const Value charset = Set(kSetCharset); charset.isNumber() && charset.number() == 1) text = ConvToAnsiCP(text);

  SetTextAlign(nHDC, 0);
  const long nResult = Int32Of(DrawTextA(nHDC, text, static_cast<long>(text.size()), cRect, flags));
  // Retained before the refresh below repaints the window over it.
  if (nResult > 0 && !(flags & kDtCalcRect)) retainText(aStartPos, aEndPos, text, flags);

  // A text-mode window paints its cells over everything: have it repaint the
  // rectangle now, with the text retained on top.
  const WindowRef app = SetAppWindow();
  if (auto* crt = dynamic_cast<XbpCrt*>(app.get()); crt && window() == app && app->presSpace().get() == this) {
    crt->InvalidateRect(Value{aStartPos.at(1), aStartPos.at(2), aEndPos.at(1), aEndPos.at(2)});
  }
  return nResult > 0;
}

bool XbpPresSpace::DrawCaptionStr(const Args& args) {
  RT_PROC("XbpPresSpace:DrawCaptionStr");
  const Value aStartPos = Arg(args, 1), cCaption = Arg(args, 3), nTabSize = Arg(args, 5);
  Value aEndPos = Arg(args, 2), nFormat = Arg(args, 4);
  Check(PCount(args) >= 3, Refusal::Count, args, rt_proc_frame_, __LINE__);
  Check(IsPoint(aStartPos), Refusal::Type, args, rt_proc_frame_, __LINE__);
  // Anything else that is not an array is DrawFormattedStr's to refuse.
  Check(!aEndPos.isArray() || aEndPos.size() >= 2, Refusal::Type, args, rt_proc_frame_, __LINE__);
  Check(cCaption.isText(), Refusal::Type, args, rt_proc_frame_, __LINE__);

  if (aEndPos.isNil()) {
    // A start point or caption refused above leaves no box to derive.
    if (!IsPoint(aStartPos) || !aStartPos.at(1).isNumber() || !aStartPos.at(2).isNumber() || !cCaption.isText())
      return false;
    // The start point moved by the text's width and height ("~" included).
    const Value box = queryTextBox(cCaption.text());
    aEndPos = Value{aStartPos.at(1).number() + (box.at(3).at(1).number() - box.at(2).at(1).number()),
                    aStartPos.at(2).number() + (box.at(3).at(2).number() - box.at(2).at(2).number())};
  }
  // Added, not or-ed: a format that has these bits already carries over.
  nFormat = nFormat.isNumber() ? Value(nFormat.number() + kDtSingleLine + kDtExpandTabs)
                               : Value(kDtVCenter + kDtSingleLine + kDtExpandTabs);
  return DrawFormattedStr({aStartPos, aEndPos, cCaption, nFormat, nTabSize});
}

}  // namespace valumat
