#include "framework/Application.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPalette>
#include <QStyleFactory>

#include <cstdlib>

#include "framework/Event.h"
#include "framework/Exceptions.h"
#include "framework/ResourceFolder.h"
#include "framework/Runtime.h"
#include "framework/System.h"

namespace {
struct RuntimeState {
  std::shared_ptr<Application> app;
  bool supportsHiDPI = false;
  bool classicControls = false;
  int exitCode = 0;
  bool loopRunning = false;
  QApplication* toolkit = nullptr;  // the one the framework made
};
RuntimeState& State() {
  static RuntimeState state;
  return state;
}

// Dark, to sit with the windows' own back colours on any desktop.
QPalette DarkPalette() {
  QPalette p;
  const QColor text(222, 222, 222), dimmed(118, 118, 120);
  p.setColor(QPalette::Window, QColor(40, 40, 42));
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, QColor(28, 28, 30));
  p.setColor(QPalette::AlternateBase, QColor(46, 46, 49));
  p.setColor(QPalette::ToolTipBase, QColor(52, 52, 56));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, dimmed);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(60, 60, 64));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, Qt::white);
  p.setColor(QPalette::Light, QColor(84, 84, 88));
  p.setColor(QPalette::Midlight, QColor(70, 70, 74));
  p.setColor(QPalette::Mid, QColor(50, 50, 53));
  p.setColor(QPalette::Dark, QColor(26, 26, 28));
  p.setColor(QPalette::Shadow, QColor(10, 10, 10));
  p.setColor(QPalette::Highlight, QColor(64, 124, 204));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(96, 160, 250));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Disabled, role, dimmed);
  }
  return p;
}

// The application's icon in the desktop's icon theme, at every size installed
// with the program; read from those files, since a prefix outside the
// desktop's data folders is not searched by the theme. None found leaves the
// toolkit's own.
QIcon ApplicationIcon() {
  const QString name = QStringLiteral(PIXELMOTH_APP_ID ".png");
  const QDir theme(QString::fromStdString(fw::ShareFolder()) + QStringLiteral("/icons/hicolor"));
  QIcon icon;
  for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString file = theme.filePath(size + QStringLiteral("/apps/") + name);
    if (QFileInfo::exists(file)) icon.addFile(file);
  }
  return icon;
}

std::string ClassName(std::exception_ptr e) {
  try {
    if (e) std::rethrow_exception(e);
  } catch (const RuntimeException& r) {
    return r.Name();
  } catch (...) {
  }
  return "exception";
}

std::string Describe(std::exception_ptr e) {
  try {
    if (e) std::rethrow_exception(e);
  } catch (const std::exception& x) {
    return DescribeException(x);
  } catch (...) {
  }
  return "exception";
}
}  // namespace

// --- Framework internals -----------------------------------------------------

void fw::EnsureToolkit() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "pixelmoth";
  static char* argv[] = {name, nullptr};
  RuntimeState& s = State();
  s.toolkit = new QApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pixelmoth"));
  // Every window and the task bar show the icon; the desktop matches the
  // windows to the desktop entry of this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(PIXELMOTH_APP_ID));
  QApplication::setWindowIcon(ApplicationIcon());
  QApplication::setQuitOnLastWindowClosed(false);  // Window::Close decides
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
  QApplication::setPalette(DarkPalette());
  InstallKeyTracker();
}

bool fw::ToolkitHasDisplay() {
  if (!QCoreApplication::instance()) return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool fw::EventLoopRunning() { return State().loopRunning; }

void fw::Guard(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    System::DebugLog("Unhandled exception in an event handler: " + DescribeException(e));
  } catch (...) {
    System::DebugLog("Unhandled exception in an event handler: exception");
  }
}

void fw::Trace(const std::string& entry) { Seams().trace.push_back(entry); }

void fw::ResetRuntime() {
  RuntimeState& s = State();
  s.app.reset();
  s.exitCode = 0;
  RuntimeSetExceptionHelper(nullptr);
}

// --- Application -------------------------------------------------------------

Application::~Application() = default;

void Application::x_SetVersionData(std::int64_t majorVersion, std::int64_t minorVersion, std::int64_t bugVersion,
                                   std::int64_t nonReleaseVersion, std::int64_t stageCode,
                                   const std::string& longVersion, const std::string& shortVersion,
                                   const std::string& packageInfo) {
  fw::Trace("x_SetVersionData");
  major_ = majorVersion;
  minor_ = minorVersion;
  bug_ = bugVersion;
  nonRelease_ = nonReleaseVersion;
  stage_ = stageCode;
  longVersion_ = longVersion;
  shortVersion_ = shortVersion;
  packageInfo_ = packageInfo;
}

void Application::SetSupportsHiDPI(bool supported) {
  fw::Trace("SetSupportsHiDPI");
  State().supportsHiDPI = supported;
  if (QCoreApplication::instance()) return;  // too late for the toolkit; only remembered
  // The toolkit always scales; the question is how exactly.
  if (supported) {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  } else {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  }
}

bool Application::SupportsHiDPI() { return State().supportsHiDPI; }

// --- Runtime -----------------------------------------------------------------

void RuntimeInitialization() { fw::Trace("RuntimeInitialization"); }
void RuntimeStaticInitializers() { fw::Trace("RuntimeStaticInitializers"); }

// Nothing here depends on the release: it is only traced.
void RuntimeDeclareFrameworkRelease(const std::string&) { fw::Trace("RuntimeDeclareFrameworkRelease"); }

void InitExternalClasses() { fw::Trace("InitExternalClasses"); }

void FillPluginEntryPoints() {
  fw::Trace("FillPluginEntryPoints");
  State().classicControls = true;
}

bool ClassicControlsAvailable() { return State().classicControls; }
void fw::SetClassicControlsAvailable(bool available) { State().classicControls = available; }

void RuntimeRegisterAppObject(std::shared_ptr<Application> app) {
  fw::Trace("RuntimeRegisterAppObject");
  State().app = std::move(app);
}

Ref<Application> GetAppObject() { return Ref<Application>(State().app); }

void RunFrameworkInitialization(void (*lateStartup)()) {
  fw::Trace("RunFrameworkInitialization");
  fw::EnsureToolkit();
  if (const std::shared_ptr<Application> app = State().app) {
    fw::Trace("Event_Open");
    fw::Guard([&] { event_detail::Dispatch([&] { app->Event_Open(); }); });
  }
  if (lateStartup) lateStartup();  // its exceptions are the caller's
}

void RuntimeRun() {
  fw::Trace("RuntimeRun");
  fw::EnsureToolkit();
  if (fw::Seams().on) {
    // Tests drive the loop themselves (TestSeams::ProcessEvents).
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return;
  }
  RuntimeState& s = State();
  s.loopRunning = true;
  const int code = QApplication::exec();
  s.loopRunning = false;
  if (s.exitCode == 0) s.exitCode = code;
}

void RuntimeQuit(int exitCode) {
  fw::Trace("RuntimeQuit");
  RuntimeState& s = State();
  if (s.exitCode == 0) s.exitCode = exitCode;
  if (s.loopRunning) QCoreApplication::exit(s.exitCode);
}

void UnhandledException(std::exception_ptr e) {
  fw::Trace("UnhandledException");
  RuntimeState& s = State();
  s.exitCode = 1;
  System::DebugLog("Unhandled exception: " + Describe(e));
  const std::string text =
      "An exception of class " + ClassName(e) + " was not handled. The application must shut down.";
  if (fw::Seams().on) {
    fw::Seams().messageBoxes.push_back(text);
  } else if (fw::ToolkitHasDisplay()) {
    fw::EnsureToolkit();
    QMessageBox::critical(nullptr, QStringLiteral("Pixelmoth"), QString::fromStdString(text));
  }
  if (s.loopRunning) QCoreApplication::exit(s.exitCode);
}

void RuntimeFinalizers() {
  fw::Trace("RuntimeFinalizers");
  RuntimeState& s = State();
  fw::CloseAllWindows();
  s.app.reset();
  if (s.toolkit && !fw::Seams().on) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete s.toolkit;
    s.toolkit = nullptr;
  }
}

int RuntimeExitCode() { return State().exitCode; }
