#pragma once

namespace Platform {
class Application;
}

// The View menu's animations (Animate Blow-up, Animate Immersion,
// Turntable), each checked while it plays in the front window; choosing it
// again stops it.
namespace AnimationMenu {

void install(Platform::Application& application);

} // namespace AnimationMenu
