#include "public.h"

#include "menubar.h"
#include "presspace.h"
#include "treeviewitem.h"

namespace valumat {

namespace {
template <class Public, class Base>
std::shared_ptr<Base> Make(const rt::Args& args) {
  return rt::New<Public>(args);
}
}  // namespace

bool UsePublicClasses() {
  rt::SetPublicClass<rt::XbpBaseMenubar>(Make<XbpMenuBar, rt::XbpBaseMenubar>);
  rt::SetPublicClass<rt::XbpBasePresSpace>(Make<XbpPresSpace, rt::XbpBasePresSpace>);
  rt::SetPublicClass<rt::XbpBaseTreeViewItem>(Make<XbpTreeViewItem, rt::XbpBaseTreeViewItem>);
  return true;
}

}  // namespace valumat
