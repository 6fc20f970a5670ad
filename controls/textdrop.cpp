#include "textdrop.h"

#include <algorithm>
#include <cctype>

#include "cp858.h"
#include "dragdata.h"
#include "files.h"

namespace valumat {

namespace {

using rt::Value;

// Names are told apart by their last four characters, upper-cased.
bool EndsWith(const std::string& name, const char* ending) {
  if (name.size() < 4) return false;
  return std::equal(name.end() - 4, name.end(), ending,
                    [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
}
bool IsShortcut(const std::string& name) { return EndsWith(name, ".LNK"); }
bool IsTextFile(const std::string& name) { return EndsWith(name, ".TXT"); }

bool Offers(const Value& formats, long format) {
  for (size_t i = 1; i <= formats.size(); ++i) {
    const Value number = formats.at(i).at(1);
    if (number.isNumber() && number.number() == format) return true;
  }
  return false;
}

// The text file among the drag's files, "" when none.
std::string TextFileOf(rt::DragData& drag) {
  Value names = drag.GetData(rt::kFormatFiles);
  return names.isArray() ? TextFileAmong(names) : std::string();
}

std::optional<std::string> ReadTextFile(const std::string& name) {
  const long file = rt::FOpen(name);
  if (file == -1) return std::nullopt;
  const int64_t size = rt::FSize(file);
  std::optional<std::string> text;
  // A file that grows meanwhile gives what it held when measured; one that
  // shrinks gives what is left.
  if (size >= 0 && size <= kDroppedFileLimit) text = rt::TextFileToCp858(rt::FRead(file, static_cast<long>(size)));
  rt::FClose(file);
  return text;
}

}  // namespace

std::string TextFileAmong(Value& names) {
  for (size_t i = 1; i <= names.size(); ++i) {
    const Value name = names.at(i);
    if (name.isText() && IsShortcut(name.text())) names[i] = Value(rt::ShellLinkResolve(name.text()));
  }
  for (size_t i = 1; i <= names.size(); ++i) {
    const Value name = names.at(i);
    if (name.isText() && IsTextFile(name.text())) return name.text();
  }
  return std::string();
}

Value DropWouldBeTaken(const Value& data) {
  const auto drag = data.as<rt::DragData>();
  if (!drag) return 0;
  const Value formats = drag->GetFormats();
  if (Offers(formats, rt::kFormatText)) return 1;
  if (Offers(formats, rt::kFormatFiles) && !TextFileOf(*drag).empty()) return 1;
  return 0;
}

std::optional<std::string> DroppedText(const Value& data) {
  const auto drag = data.as<rt::DragData>();
  if (!drag) return std::nullopt;
  std::optional<std::string> text;
  if (Offers(drag->GetFormats(), rt::kFormatText)) {
    const Value given = drag->GetData(rt::kFormatText);
    if (given.isText()) text = given.text();
  } else {
    const std::string file = TextFileOf(*drag);
    if (file.empty()) return std::nullopt;
    text = ReadTextFile(file);
  }
  if (text && text->empty()) return std::nullopt;
  return text;
}

}  // namespace valumat
