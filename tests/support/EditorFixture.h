#pragma once
// The editor's tests: a headless main window with a few ways to watch it.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Fixtures.h"

class EditorFixture : public EditorTest {
 protected:
  void SetUp() override;

  // Runs f inside a paint of the canvas. There a repaint that f asks for is
  // only marked, to run once the current paint has returned, so f can read
  // the requests it made before any paint has served them. Fails the test if
  // f did not run to its end.
  void DuringPaint(const std::function<void()>& f);

  // The developer log since the last ClearLog.
  std::vector<std::string> Log() const;

  // The whole edit state and the controls' changeable state, one line each,
  // for checking that an operation changed nothing; without the lines of the
  // names left out.
  std::vector<std::string> Snapshot(std::initializer_list<std::string> leftOut = {}) const;

 private:
  std::shared_ptr<std::function<void()>> insidePaint_ = std::make_shared<std::function<void()>>();
};
