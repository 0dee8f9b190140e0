#pragma once
// Where the user last left a tool window, kept per user under
// HKCU\Software\Korveline\<window>, in pixels of the virtual screen.
#include <optional>
#include <string>

#include "platform/registry.h"

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Nothing when a value is missing, of another type or of a size no window has.
std::optional<WindowRect> LoadWindowRect(Registry& registry, const std::wstring& window);
// A registry that refuses the write loses only the place; nothing is said.
void SaveWindowRect(Registry& registry, const std::wstring& window, const WindowRect& rect);
