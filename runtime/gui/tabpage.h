// Tab pages.
#pragma once

#include <memory>
#include <string>

#include "window.h"

struct tagMSG;

namespace rt {

class TabPageSet;

// One page of a tab control: a window of its own that is the parent of the
// controls on it, with a tab that shows its caption.
//
// Pages with the same parent, position and size form one set and share one
// native tab control: the first page of a set creates it behind the pages,
// and each page adds its tab to it, in the order the pages are created. A
// page covers the whole area it was given, so its controls are placed from
// that area's lower-left corner; its window region leaves the row of tabs and
// the control's border to the tab control beneath.
//
// One page of a set is in front at a time. Choosing a tab brings its page to
// front and hides the others: a click on the tab, the arrow keys while the
// tabs have the focus, Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp on
// the tabs or on a control of the page in front (whose focus then goes to
// the new page's first control), or Alt with the "~" letter of a caption
// anywhere in the window. The tabs come before the pages in the Tab order.
class XbpBaseTabPage : public XbpWindow {
  RT_CLASS("XbpBaseTabPage", XbpBaseTabPage, XbpWindow)

 public:
  XbpBaseTabPage();

  std::string caption;    // text of the tab; "~" marks the mnemonic letter
  // False for the page in front. Set before creation, false brings the page
  // to front when it is created; a set without such a page shows its first.
  bool minimized = true;
  Value tabActivate;      // callback when the user chooses the page's tab (kEvTabActivate), mp1/mp2 NIL

  // Creates the page, and with the first page of a set the tab control.
  void create(const Args& args = {}) override;
  // Brings the page to front and hides the set's other pages; tabActivate
  // does not run.
  bool toFront() { return place(true); }
  // Hides the page: only its tab remains, and no page of the set is in front
  // until one is chosen.
  bool minimize() { return place(false); }
  bool setCaption(const std::string& text);

  char mnemonic() const override { return MnemonicOf(caption); }
  // Chooses the page as a click on its tab does, and puts the focus on the tabs.
  void onMnemonic() override;
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override;
  void onNativeDestroyed() override;

 protected:
  NativeSpec nativeSpec() const override;
  void afterCreate() override;
  const EventRoutes& routes() const override;

 private:
  friend class TabPageSet;
  friend bool TabPageKeys(const tagMSG& msg);
  bool place(bool front);
  std::shared_ptr<TabPageSet> set_;  // while the page's native window exists
  bool dying_ = false;               // its native window is being destroyed
};

}  // namespace rt
