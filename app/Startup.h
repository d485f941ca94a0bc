#pragma once
// Start-up, in its fixed order; main() runs the framework's initialisers,
// then Main, then the finalisers.

// The start-up driver: exception helper, framework release, early start-up,
// framework initialisation with late start-up, the event loop; an exception
// escaping any of them goes to the unhandled-exception report.
void Main();

void EarlyStartup();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void LateStartup();
void MakeDefaultView();
