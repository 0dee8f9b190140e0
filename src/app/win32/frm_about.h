#pragma once
#include <windows.h>

// Control ids of the About box, for tests that drive it.
constexpr int kIdAboutOk = 401;     // Command1
constexpr int kIdAboutImage = 402;  // Image1

// Shows the About box over the main window (single instance).
void ShowAboutBox(HWND mainWindow);
