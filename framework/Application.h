#pragma once
// The application object and the framework's runtime, in the order start-up
// calls them.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/Ref.h"

class Application {
 public:
  virtual ~Application();
  // Raised once, after the framework is initialised and before late start-up.
  virtual void Event_Open() {}

  void x_SetVersionData(std::int64_t majorVersion, std::int64_t minorVersion,
                        std::int64_t bugVersion, std::int64_t nonReleaseVersion,
                        std::int64_t stageCode, const std::string& longVersion,
                        const std::string& shortVersion, const std::string& packageInfo);
  std::int64_t MajorVersion() const noexcept { return major_; }
  std::int64_t MinorVersion() const noexcept { return minor_; }
  std::int64_t BugVersion() const noexcept { return bug_; }
  std::int64_t NonReleaseVersion() const noexcept { return nonRelease_; }
  std::int64_t StageCode() const noexcept { return stage_; }
  const std::string& LongVersion() const noexcept { return longVersion_; }
  const std::string& ShortVersion() const noexcept { return shortVersion_; }
  const std::string& PackageInfo() const noexcept { return packageInfo_; }
  // The framework's default; nothing sets it.
  const std::string& RegionCode() const noexcept { return regionCode_; }

  // Must be called before the application object and any window exist.
  static void SetSupportsHiDPI(bool supported);
  static bool SupportsHiDPI();

 private:
  std::int64_t major_ = 0, minor_ = 0, bug_ = 0, nonRelease_ = 0, stage_ = 0;
  std::string longVersion_, shortVersion_, packageInfo_, regionCode_;
};

// --- Runtime, in start-up order ---------------------------------------------

void RuntimeInitialization();
void RuntimeStaticInitializers();

// Calls system code and gives back, instead of passing on, an exception of
// the RuntimeException family (and any other std::exception).
using ExceptionHelper = std::exception_ptr (*)(const std::function<void()>& code);
std::exception_ptr CallFunctionWithExceptionHandling(const std::function<void()>& code);
void RuntimeSetExceptionHelper(ExceptionHelper helper);

// The framework release the system is built for.
void RuntimeDeclareFrameworkRelease(const std::string& release);

void InitExternalClasses();
// Fills the plug-ins' entry points; the classic-controls plug-in makes
// BevelButton available.
void FillPluginEntryPoints();
bool ClassicControlsAvailable();

void RuntimeRegisterAppObject(std::shared_ptr<Application> app);
// Nil before registration.
Ref<Application> GetAppObject();

// Brings up the toolkit, raises the application's Open event, then runs
// lateStartup.
void RunFrameworkInitialization(void (*lateStartup)());
// The event loop, until the application quits (the last window closes).
// With the test seams on it only runs what is pending and returns.
void RuntimeRun();
void RuntimeQuit(int exitCode = 0);

// Logs the exception, shows it in a message box when a display is there, and
// makes the process's exit code non-zero.
void UnhandledException(std::exception_ptr e);

void RuntimeFinalizers();
int RuntimeExitCode();
