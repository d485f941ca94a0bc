#pragma once
// Developer log, mouse and keyboard state, system cursors.

#include <cstdint>
#include <string>

#include "framework/Controls.h"

namespace System {
// One plain-text line to the developer log (standard error).
void DebugLog(const std::string& line);

// The mouse position on the screen, in whole pixels.
std::int64_t MouseX();
std::int64_t MouseY();

namespace Cursors {
inline constexpr ::MouseCursor StandardPointer{1};
inline constexpr ::MouseCursor HandOpen{2};
}  // namespace Cursors
}  // namespace System

namespace Keyboard {
// macOS virtual key codes name physical key positions; 27 is the minus key
// and 24 the equals key, whatever characters the layout puts on them.
inline constexpr int kMinusKey = 27;
inline constexpr int kEqualsKey = 24;
// Whether the key is held down now.
bool AsyncKeyDown(std::int64_t keyCode);
}  // namespace Keyboard
