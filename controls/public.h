// What the runtime makes for application code itself (a dialog's menu bar, a
// window's presentation space, tree items made from text) is of the public
// class, as if application code had created it by name.
#pragma once

namespace valumat {

// Registers the public classes with the runtime; idempotent. Every program
// that includes a public class's header has it done before its entry runs.
bool UsePublicClasses();
inline const bool kPublicClassesInUse = UsePublicClasses();

}  // namespace valumat
