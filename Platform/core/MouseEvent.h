#pragma once

#include <cstdint>

namespace Platform {

// Bits of MouseEvent::modifiers: the keys held when the button went down.
// The values are those of the desktop convention the views were written for,
// so a view tests control as 0x40000 whatever toolkit delivered the event.
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
