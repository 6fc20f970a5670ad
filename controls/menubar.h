// Menu bars as application code creates them.
#pragma once

#include "forwarding.h"
#include "gui/menubar.h"

namespace valumat {

class XbpMenuBar : public rt::XbpBaseMenubar {
  RT_CLASS("XbpMenuBar", XbpMenuBar, rt::XbpBaseMenubar)

 public:
  // The first item whose attribute carries rt::kMenuKeyLetter and whose
  // title's key letter ("~", or "&" without "~") is `key`'s character,
  // either case: stores its index into `key` and answers 2. Answers 0, `key`
  // unchanged, when there is none.
  rt::Value OnMenuKey(rt::Value& key, const rt::Value& ignored) override;

  VALUMAT_FORWARDS_TO(XbpBaseMenubar)
};

}  // namespace valumat
