#pragma once

#include "Platform/offscreen/OffscreenSurface.h"

#include <memory>
#include <string>

// The off-screen surface every benchmark draws into: 1024 x 768, created on
// first use and kept for the whole run, so context creation is never timed.
class BenchSurface {
public:
    static constexpr int width = 1024;
    static constexpr int height = 768;

    // The shared surface, made current; null (with the reason in *error)
    // when no OSMesa context can be had.
    static Platform::OffscreenSurface* shared(std::string* error);

    // Viewport, a perspective projection and a camera eight units from the
    // origin looking at the unit sphere from the side, as a window shows it.
    static void lookFromTheSide();

    // Clears colour and depth; part of every timed frame.
    static void clear();
};
