#include "classes.h"

#include <map>
#include <mutex>
#include <vector>

namespace rt {

namespace {

struct Registry {
  // The class lock. Recursive: an InitClass may itself use further classes.
  std::recursive_mutex lock;
  std::map<const ClassInfo*, std::unique_ptr<ClassObject>> byInfo;
  std::vector<const ClassObject*> inOrder;
};

Registry& Classes() {
  static Registry registry;
  return registry;
}

}  // namespace

bool ClassObject::isDerivedFrom(std::string_view name) const {
  for (const ClassObject* c = this; c; c = c->base_) {
    if (EqualsNoCase(c->info_.name, name)) return true;
  }
  return false;
}

namespace class_detail {

const ClassObject& SetUp(const ClassInfo& info, const ClassObject* base, InitClassFn initClass) {
  Registry& r = Classes();
  std::lock_guard guard(r.lock);
  auto it = r.byInfo.find(&info);
  if (it != r.byInfo.end()) return *it->second;
  auto created = std::make_unique<ClassObject>(info, base);
  ClassObject& cls = *created;
  initClass(cls, {});
  // Retained only once its initialiser has run: a failed set-up is tried again.
  r.byInfo.emplace(&info, std::move(created));
  r.inOrder.push_back(&cls);
  return cls;
}

}  // namespace class_detail

const ClassObject* FindClass(std::string_view name) {
  Registry& r = Classes();
  std::lock_guard guard(r.lock);
  for (const ClassObject* c : r.inOrder) {
    if (EqualsNoCase(c->name(), name)) return c;
  }
  return nullptr;
}

size_t ClassCount() {
  Registry& r = Classes();
  std::lock_guard guard(r.lock);
  return r.inOrder.size();
}

}  // namespace rt
