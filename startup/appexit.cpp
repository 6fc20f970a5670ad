#include "error.h"
#include "procstack.h"
#include "runtime.h"
#include "startup.h"
#include "dbe/workarea.h"

namespace valumat {

namespace {
// Puts the saved handler back however the loop is left: an error in a
// recovery part breaks out of AppExit altogether.
class RestoreHandler {
 public:
  explicit RestoreHandler(rt::Value saved) : saved_(std::move(saved)) {}
  ~RestoreHandler() { rt::ErrorBlock(saved_); }
  RestoreHandler(const RestoreHandler&) = delete;
  RestoreHandler& operator=(const RestoreHandler&) = delete;

 private:
  rt::Value saved_;
};
}  // namespace

void RegisterAppExit() { rt::AddExitProcedure(AppExit); }

void AppExit() {
  RT_PROC("AppExit");
  // Errors must not reach the user now: they end the protected block.
  RestoreHandler restore(rt::ErrorBlock([](const rt::Args& a) -> rt::Value { rt::Break(rt::Arg(a, 1)); }));

  const rt::Value aWorkAreas = rt::WorkSpaceList();
  for (size_t i = 1; i <= aWorkAreas.size(); ++i) {
    const long nArea = aWorkAreas.at(i).integer();
    rt::Sequence(
        [&] {
          RT_LINE;
          rt::InArea(nArea, rt::DbCommit);
          RT_LINE;
          rt::InArea(nArea, rt::DbCloseArea);
          return rt::Value();
        },
        [&](const rt::Value&) {
          RT_LINE;
          rt::InArea(nArea, rt::DbRRollback);
          RT_LINE;
          rt::InArea(nArea, rt::DbCloseArea);
          return rt::Value();
        });
  }
}

}  // namespace valumat
