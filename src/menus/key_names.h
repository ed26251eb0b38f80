// Key names and key capture for the options screen: the held key that becomes a binding, and the
// text shown beside each binding. Called by the options screen on every frame.
#pragma once

#include <cstdint>

#include "platform/input.h"

namespace crossfall {

constexpr int KEY_NAME_SIZE = 40;

// Capture hints, set by the options screen just before captureKey and cleared right after it:
// the generic Control (17) and Shift (16) codes come first in the scan, these name the side.
extern std::int32_t leftCtrlHeld;
extern std::int32_t rightCtrlHeld;
extern std::int32_t leftShiftHeld;
extern std::int32_t rightShiftHeld;

// The lowest code from 0 to 250 that is down (held, or as the caller asks), sided by the hints for
// Control and Shift, or 0 when none.
int captureKey(bool (*down)(int) = keyHeld);
// Writes the display name of the code ("?" when it has none) into the caller's buffer.
void keyName(int code, char (&out)[KEY_NAME_SIZE]);

} // namespace crossfall
