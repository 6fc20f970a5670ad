#include "functions.h"

#include <cctype>
#include <map>
#include <mutex>

#include "error.h"

namespace rt {

namespace {
struct Entry {
  Value block;
  int kind;
};

std::string Key(std::string_view name) {
  std::string key;
  for (char c : name) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

std::mutex g_mutex;
std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> registry;
  return registry;
}
Value g_session;

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

Value RaiseEvalError(long genCode, std::string_view text) {
  ErrorSpec spec;
  spec.genCode = genCode;
  spec.operation = std::string(text);
  spec.args = Value{std::string(text)};
  return RaiseError(spec);
}
}  // namespace

void RegisterFunction(std::string_view name, const Value& block, int kind) {
  std::lock_guard lock(g_mutex);
  if (block.isBlock()) {
    Registry()[Key(name)] = Entry{block, kind};
  } else {
    Registry().erase(Key(name));
  }
}

bool IsFunction(std::string_view name, int kind) {
  std::lock_guard lock(g_mutex);
  auto it = Registry().find(Key(Trimmed(name)));
  return it != Registry().end() && (kind == kFuncAny || it->second.kind == kind);
}

Value EvalText(std::string_view text) {
  // Name, blanks, "(", blanks, ")": nothing else is a call this can make.
  const std::string_view t = Trimmed(text);
  size_t i = 0;
  while (i < t.size() && IsNameChar(t[i])) ++i;
  const std::string_view name = t.substr(0, i);
  std::string_view rest = Trimmed(t.substr(i));
  bool wellFormed = !name.empty() && !std::isdigit(static_cast<unsigned char>(name.front())) && rest.size() >= 2 &&
                    rest.front() == '(' && rest.back() == ')' && Trimmed(rest.substr(1, rest.size() - 2)).empty();
  if (!wellFormed) return RaiseEvalError(kGenSyntax, text);
  Value block;
  {
    std::lock_guard lock(g_mutex);
    auto it = Registry().find(Key(name));
    if (it != Registry().end()) block = it->second.block;
  }
  if (!block.isBlock()) return RaiseEvalError(kGenNoFunction, text);
  return block.eval({});
}

Value DbSession() {
  std::lock_guard lock(g_mutex);
  return g_session;
}

Value DbSession(const Value& session) {
  std::lock_guard lock(g_mutex);
  Value previous = g_session;
  g_session = session;
  return previous;
}

}  // namespace rt
