#pragma once

namespace Platform {
class Application;
}

class BlowupView;

// View > Smooth While Moving. Checked, every frame is smoothed while the
// picture moves, whatever it costs. Unchecked (the first choice), a picture
// whose smoothing is slow moves in a single pass and is smoothed once it
// stops. The choice is the user's, kept in the application's preferences
// from one run to the next, and holds for every window.
class SmoothWhileMoving {
public:
    static constexpr char preferenceKey[] = "smoothWhileMoving";
    static constexpr char menuTitle[] = "View";
    static constexpr char itemTitle[] = "Smooth While Moving";

    // Adds the check item to the application's View menu.
    static void addMenuCommand(Platform::Application& application);
    // The user's choice; unchecked when there is no application or it keeps
    // no preferences.
    static bool isChosen(const Platform::Application* application);
    // Gives the view the choice.
    static void applyTo(BlowupView& view, const Platform::Application* application);

private:
    static void choose(Platform::Application& application, bool smooth);
};
