// How a program starts on the runtime: its entry hands over a start-up record
// naming its procedures, and the runtime runs them in a fixed order.
#pragma once

namespace rt {

using Procedure = void (*)();

// The procedures in the order the record names them. Each takes no arguments
// and returns nothing; a null slot is skipped.
struct StartupRecord {
  // Called first, while the runtime starts: registers `appExit` as exit
  // procedure (AddExitProcedure), so that it runs however the program ends.
  Procedure registerExit;
  Procedure errorSys;  // installs the error handler
  Procedure appSys;    // application set-up
  Procedure appExit;   // the exit procedure the hook registers
  Procedure dbeSys;    // settings and database engines
  Procedure main;      // the program proper
};

// Runs the program through its record: registerExit, errorSys, appSys,
// dbeSys, main; then, when main returns or the program is ended otherwise,
// the exit procedures, and after them the release of the database engines.
// Returns the process exit code.
int Start(const StartupRecord& record);

}  // namespace rt
