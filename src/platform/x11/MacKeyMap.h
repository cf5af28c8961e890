#pragma once

#include <cstdint>
#include <optional>

namespace snapwick::x11 {

// The platform's virtual key codes at the seam, mapped by physical position to Linux
// input (evdev) codes; the X key code is the evdev code plus 8. Option and Command stand
// for Control, as word motion and shortcuts use it here; the right Option is Alt.
std::optional<std::uint16_t> evdevCodeForMacKeyCode(std::uint16_t macKeyCode);
std::optional<unsigned> xKeyCodeForMacKeyCode(std::uint16_t macKeyCode);

} // namespace snapwick::x11
