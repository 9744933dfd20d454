#pragma once

namespace Platform {
class Application;
}

// Adds Vexmira's own items to the application's menus: File > Export Image...;
// Edit > Copy Render Command; View: the camera of the window in front, full
// screen, the animations, Smooth While Moving, Show Camera; Window: the open
// documents; Help: Controls, About Vexmira. Called once, before the first window is built, after
// the application was given its preferences.
void addVexmiraMenuCommands(Platform::Application& application);
