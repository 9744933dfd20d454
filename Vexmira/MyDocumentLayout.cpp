#include "Vexmira/MyDocumentLayout.h"

#include "Vexmira/Blowup.h"
#include "Vexmira/BlowupView.h"

// A stored document may hold more than the sliders offer, never the reverse.
static_assert(MyDocumentLayout::maximumBlowup <= Blowup::maximumMagnitude);
static_assert(MyDocumentLayout::maximumZoom <= Blowup::maximumMagnitude);
static_assert(MyDocumentLayout::maximumMeridians <= Blowup::maximumCount);
static_assert(MyDocumentLayout::maximumResolution <= Blowup::maximumCount);
static_assert(static_cast<long long>(MyDocumentLayout::maximumMeridians) *
                  MyDocumentLayout::maximumResolution <=
              Blowup::maximumMeridiansTimesResolution);
static_assert(MyDocumentLayout::maximumAntialiasing <= Blowup::maximumAntialiasing);

Platform::WindowLayout MyDocumentLayout::layout() {
    Platform::WindowLayout layout;
    layout.name = name;
    layout.width = 900;
    layout.height = 640;
    // Float sliders redraw while dragged; the counts change the geometry, so
    // they act when the drag ends.
    layout.sliders = {
        {"blowup", "Blowup", minimumBlowup, maximumBlowup, false, true},
        {"immersion", "Immersion", minimumImmersion, maximumImmersion, false, true},
        {"meridians", "Meridians", float(minimumMeridians), float(maximumMeridians), true, false},
        {"resolution", "Resolution", float(minimumResolution), float(maximumResolution), true,
         false},
        {"antialiasing", "Antialiasing", float(minimumAntialiasing), float(maximumAntialiasing),
         true, false},
        {"zoom", "Zoom", minimumZoom, maximumZoom, false, true},
    };
    layout.makeOpenGLView = [] { return std::make_unique<BlowupView>(); };
    return layout;
}

void MyDocumentLayout::registerLayout() {
    Platform::WindowLayout::registerLayout(layout());
}
