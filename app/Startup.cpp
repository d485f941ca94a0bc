#include "app/Startup.h"

#include <memory>

#include "app/Pixelmoth.h"
#include "framework/Application.h"
#include "shell/SplashScreen.h"

namespace {
// The framework release this system is built for.
constexpr const char* kFrameworkRelease = "2019.01";
}  // namespace

int ProcessMain() {
  RuntimeInitialization();
  // Nothing is caught here either: the framework hands back what the static
  // initialisers raised, and Main reports it.
  std::exception_ptr pending = CallFunctionWithExceptionHandling(&RuntimeStaticInitializers);
  Main(pending);
  RuntimeFinalizers();
  return RuntimeExitCode();
}

void Main(std::exception_ptr pending) {
  if (!pending) {
    RuntimeSetExceptionHelper(&CallFunctionWithExceptionHandling);
    pending = CallFunctionWithExceptionHandling([] {
      RuntimeDeclareFrameworkRelease(kFrameworkRelease);
      EarlyStartup();
      RunFrameworkInitialization(&LateStartup);
      RuntimeRun();
    });
  }
  if (pending) UnhandledException(pending);
}

// High-resolution support goes on before the application object or any window
// exists; the plug-ins (BevelButton among them) before any window is built.
void EarlyStartup() {
  Application::SetSupportsHiDPI(true);
  InitExternalClasses();
  FillPluginEntryPoints();
  InitFileTypes();
  NewAppInstance();
  ApplicationAddMenuHandlers();
}

// Pixelmoth opens no documents of its own type.
void InitFileTypes() {}

void NewAppInstance() {
  auto app = std::make_shared<Pixelmoth>();
  app->x_SetVersionData(1, 0, 0, 0, 3, "KAVREN", "0.9", "");
  RuntimeRegisterAppObject(app);
}

// Pixelmoth has no menu handlers.
void ApplicationAddMenuHandlers() {}

void LateStartup() { MakeDefaultView(); }

// The splash is the first window; the framework keeps it, not this code.
void MakeDefaultView() { SplashScreen(); }
