#pragma once

namespace Platform {
class Application;
}

// Adds Vexmira's own items to the application's menus: File > Export Image...
// Called once, before the first window is built.
void addVexmiraMenuCommands(Platform::Application& application);
