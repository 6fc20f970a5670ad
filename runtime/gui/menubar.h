// The menu bar of a dialog window. Its parent is the dialog (or the dialog's
// drawing area); create() makes it the dialog's bar, shown under the title
// as soon as the dialog exists. The window destroys the bar with itself.
//
// Key letters: which item Alt with a letter opens (a submenu) or chooses (a
// plain item, through the event queue as a click would) is what OnMenuKey
// answers. The bar asks it
// - when the user presses Alt with a letter over its window, before the
//   controls' own "~" letters are looked at: a letter the bar does not answer
//   still reaches a control, or else the system, which beeps;
// - for a letter typed while the bar is active (F10, Alt alone), when the
//   system found no underlined item for it (WM_MENUCHAR);
// - for every item's key letter (see KeyMarkerOf) whenever the items change:
//   the letter shows underlined, as a native "&", exactly where OnMenuKey
//   answers it with that very item. So what the user sees, what the
//   system's own matching in an active bar finds and what Alt opens agree.
// This class answers no letter; XbpMenuBar answers for the items whose
// attribute carries kMenuKeyLetter.
#pragma once

#include <cstddef>
#include <string_view>

#include "menu.h"

namespace rt {

class XbpBaseDialog;

class XbpBaseMenubar : public XbpMenuItems {
  RT_CLASS("XbpBaseMenubar", XbpBaseMenubar, XbpMenuItems)

 public:
  XbpBaseMenubar() = default;

  // Takes the bar off its window first.
  void destroy() override;

  // The item that `key`, a code page 858 character code, opens: 2 with the
  // item's 1-based index stored into `key`, or 0 with `key` unchanged. The
  // second argument is not used. This class answers 0.
  virtual Value OnMenuKey(Value& key, const Value& ignored);

  // --- the runtime's native side -------------------------------------------
  // Sets the bar on its dialog's window when both exist.
  void attach();
  // The dialog's window is being destroyed and takes the bar with it.
  void onWindowDestroyed();
  // The bar set on the top-level window `window`, or nullptr.
  static std::shared_ptr<XbpBaseMenubar> shownOn(NativeWindow window);
  // Alt with `letter` over the bar's window: opens or chooses the item that
  // OnMenuKey answers. False when it answers none.
  bool takeKeyLetter(char letter);
  // WM_MENUCHAR about the bar's native menu: the answer for the system.
  intptr_t onMenuChar(char letter);

 protected:
  NativeMenu newNativeMenu() override;
  void afterCreate() override;
  void itemsChanged() override;
  std::wstring nativeText(long pos, std::string_view title) override;

 private:
  std::shared_ptr<XbpBaseDialog> dialog() const;
  // Takes the bar off its window; the bar owns its native menu again.
  void detach();
  // The 1-based index OnMenuKey answers for `letter`; 0 for none.
  long answeredItem(char letter);

  NativeWindow window_ = nullptr;  // the window the bar is set on
  long opening_ = 0;  // the item Alt opens, until the system asks for it
};

// The key letter marker of a bar item's title: the first "~", or the first
// "&" when there is no "~". npos when there is none or nothing follows it.
size_t KeyMarkerOf(std::string_view title);
// The title's key letter upper-cased (umlauts too, as "~" letters of
// controls are); 0 for none.
char KeyLetterOf(std::string_view title);

}  // namespace rt
