// The program's entry: it hands the runtime the start-up record, and the
// runtime runs the procedures in their fixed order.
#include "errorsys.h"
#include "startrecord.h"
#include "startup.h"
#include "valumat.h"

int main() {
  static const rt::StartupRecord record{
      valumat::RegisterAppExit, valumat::ErrorSys, valumat::AppSys,
      valumat::AppExit,         valumat::DbeSys,   valumat::Main,
  };
  return rt::Start(record);
}
