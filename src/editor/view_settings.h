#pragma once
// The editor's own switches, kept per user under HKCU\Software\Korveline:
// colours for the syntax and the line-number gutter, both on when nothing is
// stored.
#include "platform/registry.h"

inline const wchar_t kViewSettingsKey[] = L"Software\\Korveline";

struct ViewSettings {
    bool colourSyntax = true;
    bool lineNumbers = true;
};

// A value that is missing, unreadable or not a DWORD counts as on.
ViewSettings LoadViewSettings(Registry& registry);
// Throws PlatformError when a value cannot be written.
void SaveViewSettings(Registry& registry, const ViewSettings& settings);
