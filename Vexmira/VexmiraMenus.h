#pragma once

namespace Platform {
class Application;
}

// Adds Vexmira's own items to the application's menus: File > Export Image...,
// View > Smooth While Moving. Called once, before the first window is built,
// after the application was given its preferences.
void addVexmiraMenuCommands(Platform::Application& application);
