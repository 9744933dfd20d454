#pragma once

#include <cstdint>

namespace Platform {

// Bits of MouseEvent::modifiers: one bit per key held when the button went
// down (Shift, Control, Alt, and the Super or Meta key as Command). Backends
// translate their toolkit's own flags into these, so views test one fixed set
// of values whatever toolkit delivered the event.
inline constexpr std::uint32_t ShiftKeyMask = 0x20000;
inline constexpr std::uint32_t ControlKeyMask = 0x40000;
inline constexpr std::uint32_t AlternateKeyMask = 0x80000;
inline constexpr std::uint32_t CommandKeyMask = 0x100000;

// One mouse event in a view's own coordinates: origin at the lower-left
// corner, y growing upward, one unit per pixel (OpenGL window coordinates).
struct MouseEvent {
    float x = 0.0f;
    float y = 0.0f;
    std::uint32_t modifiers = 0;
    // A wheel's turn, in lines: positive toward the user (the picture comes
    // nearer when the wheel turns away); zero for button events.
    float deltaY = 0.0f;
};

} // namespace Platform
