// The program's entry: it hands the runtime the start-up record, and the
// runtime runs the procedures in their fixed order.
#include <windows.h>

#include "errorsys.h"
#include "startrecord.h"
#include "startup.h"
#include "valumat.h"

int main() {
  // Tells the installer and uninstaller that a Valumat runs, wherever it was
  // started from and in whichever session; held until the process ends.
  CreateMutexW(nullptr, FALSE, L"Global\\Valumat");
  static const rt::StartupRecord record{
      valumat::RegisterAppExit, valumat::ErrorSys, valumat::AppSys,
      valumat::AppExit,         valumat::DbeSys,   valumat::Main,
  };
  return rt::Start(record);
}
