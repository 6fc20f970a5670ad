// The class system behind New: every class whose objects are made with New is
// set up once, on first use. Setting it up registers it together with its
// base class (set up first), runs its class-level initialiser InitClass, and
// retains it; every later use returns the retained class without registering
// it or running InitClass again. Set-up runs under the class lock, so two
// threads that use a class for the first time at the same moment set it up
// once.
//
// A class takes part by declaring itself with RT_CLASS and having a static
//   static ClassObject& InitClass(ClassObject& cls, const Args& args);
// (root classes answer `cls`; derived ones pass `args` on to their base's).
//
//   class XbpSLE : public rt::XbpBaseSLE {
//     RT_CLASS("XbpSLE", XbpSLE, XbpBaseSLE)
//     ...
//   };
//   auto oSLE = rt::New<XbpSLE>({oParent, NIL, aPos, aSize});
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "value.h"

namespace rt {

// A class as the class system retains it.
class ClassObject {
 public:
  ClassObject(const ClassInfo& info, const ClassObject* base) : info_(info), base_(base) {}
  ClassObject(const ClassObject&) = delete;
  ClassObject& operator=(const ClassObject&) = delete;

  std::string name() const { return info_.name; }
  const ClassObject* base() const { return base_; }
  const ClassInfo& info() const { return info_; }
  // True when the class is `name` or derives from it (case-insensitive).
  bool isDerivedFrom(std::string_view name) const;

 private:
  const ClassInfo& info_;
  const ClassObject* base_;
};

namespace class_detail {
template <class B>
constexpr const ClassInfo* InfoOf() {
  if constexpr (std::is_void_v<B>) {
    return nullptr;
  } else {
    return &B::StaticClassInfo();
  }
}
using InitClassFn = ClassObject& (*)(ClassObject&, const Args&);
const ClassObject& SetUp(const ClassInfo& info, const ClassObject* base, InitClassFn initClass);
}  // namespace class_detail

// Declares a class of the class system inside its definition: its name, the
// class itself, and its base class (void for a root class).
#define RT_CLASS(NAME, SELF, BASE)                                                         \
 public:                                                                                   \
  using ClassSelf = SELF;                                                                  \
  using ClassBase = BASE;                                                                  \
  static const ::rt::ClassInfo& StaticClassInfo() {                                        \
    static const ::rt::ClassInfo info{NAME, ::rt::class_detail::InfoOf<BASE>()};           \
    return info;                                                                           \
  }                                                                                        \
  const ::rt::ClassInfo& classInfo() const override { return StaticClassInfo(); }

// The class T, set up on first use.
template <class T>
const ClassObject& UseClass() {
  static_assert(std::is_same_v<typename T::ClassSelf, T>, "a class made with New is declared with RT_CLASS");
  static const ClassObject& cls = [] {
    const ClassObject* base = nullptr;
    if constexpr (!std::is_void_v<typename T::ClassBase>) base = &UseClass<typename T::ClassBase>();
    return std::cref(class_detail::SetUp(T::StaticClassInfo(), base, &T::InitClass));
  }();
  return cls;
}

// A class that has been set up, by name (case-insensitive); nullptr if none.
const ClassObject* FindClass(std::string_view name);
// How many classes have been set up.
size_t ClassCount();

// Creates an object the way the runtime's `new` does: sets its class up on
// first use, then runs the object's initialiser with the construction
// arguments.
template <class T>
std::shared_ptr<T> New(const Args& args = {}) {
  UseClass<T>();
  auto object = std::make_shared<T>();
  object->init(args);
  return object;
}

// Objects the runtime makes for application code itself (a dialog's menu bar,
// a window's presentation space, tree items made from text) must be of the
// public class that application code would create by name. The public layer
// registers, before the program runs, how to make the public class of each
// base class; NewPublic<Base> makes that, or the base class itself while
// none is registered.
template <class T>
using PublicMaker = std::shared_ptr<T> (*)(const Args& args);

namespace class_detail {
template <class T>
std::atomic<PublicMaker<T>>& PublicSlot() {
  static std::atomic<PublicMaker<T>> slot{nullptr};
  return slot;
}
}  // namespace class_detail

template <class T>
void SetPublicClass(PublicMaker<T> make) {
  class_detail::PublicSlot<T>().store(make);
}

template <class T>
std::shared_ptr<T> NewPublic(const Args& args = {}) {
  if (const PublicMaker<T> make = class_detail::PublicSlot<T>().load()) return make(args);
  return New<T>(args);
}

}  // namespace rt
