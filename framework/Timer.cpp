// Timers: a toolkit timer per control, stopped when the window closes. The
// timer reaches its window only through the control's weak reference.
#include <algorithm>

#include "framework/ControlImpl.h"
#include "framework/Controls.h"

TimerImpl::TimerImpl(Timer& t, ::Window& w) : ControlImpl(w, "Timer", nullptr), timer(t) {
  qtimer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&qtimer, &QTimer::timeout, &context, [this] { Fired(); });
}

void TimerImpl::Restart() {
  qtimer.stop();
  if (mode == 0 || !window || !window->IsOpen()) return;
  qtimer.setSingleShot(mode == 1);
  qtimer.start(static_cast<int>(std::clamp<std::int64_t>(period, 0, 0x7fffffff)));
}

void TimerImpl::Fired() {
  fw::FromToolkit(*this, [this] {
    if (!window || !window->IsOpen()) {
      qtimer.stop();
      return;
    }
    if (mode == 1) mode = 0;  // a single timer goes off after firing
    timer.Action.Raise(timer);
  });
}

Timer::Timer(::Window& window) : Control(window, std::make_unique<TimerImpl>(*this, window)) {}
Timer::~Timer() = default;

std::int64_t Timer::Period() const { return static_cast<const TimerImpl&>(*impl_).period; }
std::int64_t Timer::Mode() const { return static_cast<const TimerImpl&>(*impl_).mode; }

void Timer::SetPeriod(std::int64_t ms) {
  auto& t = static_cast<TimerImpl&>(*impl_);
  t.period = ms;
  t.Restart();
}

void Timer::SetMode(std::int64_t mode) {
  auto& t = static_cast<TimerImpl&>(*impl_);
  t.mode = std::clamp<std::int64_t>(mode, 0, 2);
  t.Restart();
}

void Timer::ApplyProperty(const ::Property& p) {
  if (p.name == "Period") {
    SetPeriod(fw::AsInt(p));
  } else if (p.name == "Mode") {
    SetMode(fw::AsInt(p));
  }
}
