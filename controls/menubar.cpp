#include "menubar.h"

#include <string>

namespace valumat {

rt::Value XbpMenuBar::OnMenuKey(rt::Value& key, const rt::Value&) {
  // Only a code page 858 character can be a key letter.
  if (!key.isNumber() || key.integer() < 1 || key.integer() > 255) return 0;
  const char wanted = rt::KeyLetterOf(std::string{'~', static_cast<char>(key.integer())});
  for (long i = 1; i <= numItems(); ++i) {
    const rt::Value item = getItem(i);
    const rt::Value attribute = item.at(4);
    if (!attribute.isNumber() || (attribute.integer() & rt::kMenuKeyLetter) == 0) continue;
    const rt::Value caption = item.at(1);
    std::string title;
    if (caption.isText()) {
      title = caption.text();
    } else if (const auto submenu = caption.as<rt::XbpBaseMenu>()) {
      title = submenu->title;
    } else {
      continue;
    }
    const char letter = rt::KeyLetterOf(title);
    if (letter && letter == wanted) {
      key = i;
      return 2;
    }
  }
  return 0;
}

}  // namespace valumat
