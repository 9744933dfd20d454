#pragma once

namespace Platform {
class Application;
}

// The animations' menu items: File > Export Animation..., after Export
// Image..., and the View menu's Animate Blow-up, Animate Immersion and
// Turntable, each checked while it plays in the front window; choosing it
// again stops it.
namespace AnimationMenu {

void install(Platform::Application& application);

} // namespace AnimationMenu
