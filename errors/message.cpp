// The error message text and the word wrap behind it.
#include "errorsys.h"
#include "handler.h"
#include "output.h"
#include "procstack.h"

namespace valumat {

using namespace rt;

namespace {
constexpr int kTabWidth = 4;

std::string RTrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// One line between hard line breaks, tabs expanded, cut into lines of at most
// `width` characters, broken at the last blank that keeps a line within it.
void WrapHardLine(const std::string& raw, size_t width, std::vector<std::string>& out) {
  std::string s;
  for (char c : raw) {
    if (c == '\t') {
      s.append(kTabWidth - s.size() % kTabWidth, ' ');
    } else {
      s += c;
    }
  }
  if (s.empty()) {
    out.push_back(s);
    return;
  }
  size_t i = 0;
  while (i < s.size()) {
    if (s.size() - i <= width) {
      out.push_back(s.substr(i));
      break;
    }
    // A blank right after a full line is a break point too.
    size_t cut = std::string::npos;
    for (size_t j = i + width; j > i; --j) {
      if (s[j] == ' ') {
        cut = j;
        break;
      }
    }
    if (cut == std::string::npos) cut = i + width;  // a word longer than the width
    out.push_back(s.substr(i, cut - i));
    i = cut;
    while (i < s.size() && s[i] == ' ') ++i;  // a wrapped line starts at its word
  }
}

std::string Number(const Value& v) { return DisplayText(Value(v.number())); }
}  // namespace

std::vector<std::string> WrapLines(const std::string& text, int width) {
  const size_t w = width < 1 ? 1 : static_cast<size_t>(width);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      WrapHardLine(text.substr(start), w, lines);
      break;
    }
    WrapHardLine(text.substr(start, end - start), w, lines);
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string LineSplit(const std::string& text, int width) {
  RT_PROC("LineSplit");
  std::string result;
  for (const std::string& line : WrapLines(text, width)) result += RTrim(line) + ";";
  if (!result.empty() && result.back() == ';') result.pop_back();
  return result;
}

std::string ErrorMessage(const Error& e) {
  RT_PROC("ErrorMessage");
  std::string text = e.severity.number() > 1 ? "Fehler " : "Warnung ";
  text += e.subSystem.isText() ? e.subSystem.text() : std::string("????");
  if (e.subCode.isNumber()) {
    text += '/';
    text += Number(e.subCode);
  } else {
    text += "/????";
  }
  auto line = [&text](const char* label, const std::string& content) {
    text += label;
    text += content;
  };
  if (e.description.isText()) line(";Beschreibung : ", e.description.text());
  if (!Empty(e.fileName)) line(";Datei : ", DisplayText(e.fileName));
  if (!Empty(e.operation)) line(";Operation : ", DisplayText(e.operation));
  line(";Thread ID : ", Number(e.thread));
  if (e.cargo.isArray() && e.cargo.size() == 3) {
    // previous cargo, database error number (not shown), database message
    const Value previous = e.cargo.at(1);
    if (previous.isText()) line(";", LineSplit(previous.text(), 50));
    const Value message = e.cargo.at(3);
    RT_LINE;
    line(";", LineSplit(message.isText() ? message.text() : DisplayText(message), 50));
  }
  return text;
}

}  // namespace valumat
