// Start-up and shutdown: the procedures the start-up record names besides
// those of the converter and the error system.
#pragma once

namespace valumat {

// Slot 1 of the start-up record: registers AppExit as exit procedure.
void RegisterAppExit();

// Settings, the date format, and the database engines; a failed load or build
// is shown in a box and start-up goes on.
void DbeSys();

// The exit procedure: commits and closes every work area still in use; one
// whose commit or close fails is rolled back and closed instead.
void AppExit();

}  // namespace valumat
