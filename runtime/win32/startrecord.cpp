// Running a program through its start-up record.
#include "../dbe/dbe.h"
#include "../runtime.h"
#include "../startrecord.h"

namespace rt {

namespace {
void Call(Procedure procedure) {
  if (procedure) procedure();
}
}  // namespace

int Start(const StartupRecord& record) {
  return Run([&record] {
    Call(record.registerExit);
    // Added after the program's own exit procedure, so it runs after it: the
    // exit procedure still needs the engines to close its work areas.
    AddExitProcedure(DbeShutdown);
    Call(record.errorSys);
    Call(record.appSys);
    Call(record.dbeSys);
    Call(record.main);
  });
}

}  // namespace rt
