#include "settings.h"

#include <cctype>
#include <map>

#include "output.h"

namespace rt {

namespace {

std::map<int, Value>& Settings() {
  static std::map<int, Value> settings{
      {kSetDateFormat, Value("dd.mm.yy")},
      {kSetConsole, Value(true)},
      {kSetAlternate, Value(false)},
      {kSetAltFile, Value("")},
      {kSetExtra, Value(true)},
      {kSetPrinter, Value(false)},
      {kSetCentury, Value(false)},
      {kSetCharset, Value(0)},
      {kSetTildeMarkers, Value(false)},
  };
  return settings;
}

std::map<int, Value>& Locale() {
  static std::map<int, Value> locale;
  return locale;
}

Value Exchange(std::map<int, Value>& table, int key, const Value& value) {
  Value& slot = table[key];
  Value previous = slot;
  slot = value;
  return previous;
}

Value Lookup(const std::map<int, Value>& table, int key) {
  auto it = table.find(key);
  return it == table.end() ? Value() : it->second;
}

}  // namespace

bool IsOn(const Value& setting) {
  if (setting.isLogical()) return setting.logical();
  if (!setting.isText()) return false;
  std::string t;
  for (char c : setting.text()) {
    if (c != ' ') t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return t == "ON";
}

Value Set(int setting) { return Lookup(Settings(), setting); }
Value Set(int setting, const Value& value) { return Set(setting, value, Value()); }
Value Set(int setting, const Value& value, const Value& extra) {
  if (setting == kSetAltFile) {
    // What is stored is the name actually in force; the previous file is
    // closed first, also when opening the new one breaks out.
    const Value previous = Lookup(Settings(), setting);
    Settings()[setting] = Value("");
    Settings()[setting] = OpenAlternateFile(value, extra);
    return previous;
  }
  return Exchange(Settings(), setting, value);
}
Value SetLocale(int entry) { return Lookup(Locale(), entry); }
Value SetLocale(int entry, const Value& value) { return Exchange(Locale(), entry, value); }

}  // namespace rt
