#pragma once
#include <windows.h>

// Shows the About box over the main window (single instance).
void ShowAboutBox(HWND mainWindow);
