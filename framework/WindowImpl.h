#pragma once
// Framework internals: the native side of a window.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/Window.h"

struct ControlImpl;

// The top-level widget: paints the back colour and the backdrop, reports the
// user's resizes and closing, and gives Return and Escape to the default and
// cancel buttons.
class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(::Window* owner);
  ::Window* owner;  // nil once the window object has gone

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

struct WindowImpl {
  explicit WindowImpl(::Window& owner);
  ~WindowImpl();
  WindowImpl(const WindowImpl&) = delete;
  WindowImpl& operator=(const WindowImpl&) = delete;

  // Moves and stretches the controls inside container (nil: the window's
  // content) after it took the size w x h.
  void Relayout(const ControlImpl* container, std::int64_t w, std::int64_t h);
  // Takes the content size w x h (clamped), lays out, and raises Resized
  // once the window is built.
  void Resize(std::int64_t w, std::int64_t h);
  void ApplyFrame();
  // Plain and shadowed boxes: no title bar, and a size only code changes.
  bool Frameless() const { return frame == 4 || frame == 5; }
  void PlaceOnScreen();
  // What the window and its opaque canvases are filled with: the back colour,
  // or without one the palette's, as widget has it.
  QColor Background(const QWidget& widget) const;
  std::int64_t ClampWidth(std::int64_t w) const;
  std::int64_t ClampHeight(std::int64_t h) const;

  ::Window& owner;
  QPointer<WindowWidget> widget;
  std::vector<ControlImpl*> members;  // every live control, in creation order

  std::int64_t width = 600, height = 400;
  std::int64_t minWidth = 64, minHeight = 64, maxWidth = 32000, maxHeight = 32000;
  std::string title;
  bool hasBackColor = false;
  Color backColor{40, 40, 42, 0};
  QImage backdrop;
  int frame = 0;
  int placement = 0;
  bool resizeable = true;
  bool closeButton = true, minimizeButton = true, maximizeButton = true, fullScreenButton = false;
  bool built = false;   // Constructor has run
  bool placed = false;  // put on its screen position once
  bool closed = false;
  bool resizing = false;
};
