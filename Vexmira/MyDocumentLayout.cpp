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
        {"blowup", "Blowup", minimumBlowup, maximumBlowup, false, true,
         "How far the meridians are pulled apart onto the white circle, and the circle's radius"},
        {"immersion", "Immersion", minimumImmersion, maximumImmersion, false, true,
         "The angle, in radians, that turns the white circle's plane about the vertical axis"},
        {"meridians", "Meridians", float(minimumMeridians), float(maximumMeridians), true, false,
         "How many coloured curves are drawn"},
        {"resolution", "Resolution", float(minimumResolution), float(maximumResolution), true,
         false, "How many points each half meridian is drawn with"},
        {"antialiasing", "Antialiasing", float(minimumAntialiasing), float(maximumAntialiasing),
         true, false, "How many smoothing passes each picture is drawn with; 1 draws it once"},
        {"zoom", "Zoom", minimumZoom, maximumZoom, false, true,
         "The camera's distance from the point it looks at; the mouse wheel changes it too"},
    };
    layout.makeOpenGLView = [] { return std::make_unique<BlowupView>(); };
    return layout;
}

void MyDocumentLayout::registerLayout() {
    Platform::WindowLayout::registerLayout(layout());
}
