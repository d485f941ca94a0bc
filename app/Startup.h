#pragma once
// Start-up, in its fixed order; ProcessMain (behind main) runs the framework's
// initialisers, then Main, then the finalisers.

#include <exception>

// The whole process: runtime initialisation and static initialisers, Main,
// finalisers; returns the exit code the runtime gives at its end.
int ProcessMain();

// The start-up driver: exception helper, framework release, early start-up,
// framework initialisation with late start-up, the event loop. An exception
// escaping any of them, or one still pending from the static initialisers,
// goes to the unhandled-exception report.
void Main(std::exception_ptr pending = nullptr);

void EarlyStartup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void LateStartup();
void MakeDefaultView();
