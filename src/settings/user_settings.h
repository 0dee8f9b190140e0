#pragma once
// Everything Korveline keeps for one user, under HKCU\Software\Korveline: the
// editor's switches, where tool windows were left and the outside programs
// the user located. This is the one place that names that key; the
// program-wide settings of HKLM\Software\asm keep their own path-string
// access through regShell. A value is read when asked for and written at
// once; a registry that refuses a write loses only that value, and nothing
// is said.
#include <optional>
#include <string>

#include "platform/registry.h"

// On/off switches, stored as DWORDs; all are off when nothing is stored.
enum class UserSwitch { ColourSyntax, LineNumbers, FindWrapAround };
// Paths of programs the user located.
enum class UserPath { DosBox, Debugger16, Debugger32 };

// A tool window's place, in pixels of the virtual screen.
struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
};

class UserSettings {
  public:
    explicit UserSettings(Registry& registry) : registry_(registry) {}

    // A value that is missing, unreadable or not a DWORD counts as off.
    bool Switch(UserSwitch which) const;
    void SetSwitch(UserSwitch which, bool on);

    // Empty when nothing (or something that is not a string) is stored.
    std::wstring Path(UserPath which) const;
    void SetPath(UserPath which, const std::wstring& path);
    void ForgetPath(UserPath which);

    // Nothing when a value is missing, of another type or of a size no window has.
    std::optional<WindowRect> WindowPlace(const std::wstring& window) const;
    void SetWindowPlace(const std::wstring& window, const WindowRect& rect);

  private:
    Registry& registry_;
};
