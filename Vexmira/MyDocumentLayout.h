#pragma once

#include "Platform/core/WindowLayout.h"

// The window layout named "MyDocument": the six sliders with their names and
// ranges, and the blow-up view. The ranges cover the interesting pictures and
// stay inside the bounds a stored document may hold (Blowup's constants).
class MyDocumentLayout {
public:
    static constexpr char name[] = "MyDocument";

    static constexpr float minimumBlowup = 0.0f;
    static constexpr float maximumBlowup = 1.5f;
    static constexpr float minimumImmersion = 0.0f;
    // A full turn, 2 pi.
    static constexpr float maximumImmersion = 6.2831855f;
    static constexpr int minimumMeridians = 1;
    static constexpr int maximumMeridians = 360;
    static constexpr int minimumResolution = 1;
    static constexpr int maximumResolution = 360;
    static constexpr int minimumAntialiasing = 1;
    static constexpr int maximumAntialiasing = 5;
    // Close up to far away; the camera's clipping planes lie at 1 and 100.
    static constexpr float minimumZoom = 2.0f;
    static constexpr float maximumZoom = 40.0f;

    // The layout, its view made by BlowupView's constructor.
    static Platform::WindowLayout layout();
    // Registers it so that MyWindowController's windows can be built.
    static void registerLayout();
};
