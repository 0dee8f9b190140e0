#include "editor/view_settings.h"

namespace {

bool ReadSwitch(Registry& registry, const wchar_t* name) {
    try {
        const RegValue value = registry.ReadValue(RegRoot::CurrentUser, kViewSettingsKey, name);
        return value.type != RegType::Dword || value.number != 0;
    } catch (const PlatformError&) {
        return true;
    }
}

}  // namespace

ViewSettings LoadViewSettings(Registry& registry) {
    return {ReadSwitch(registry, L"ColourSyntax"), ReadSwitch(registry, L"LineNumbers")};
}

void SaveViewSettings(Registry& registry, const ViewSettings& settings) {
    registry.WriteDword(RegRoot::CurrentUser, kViewSettingsKey, L"ColourSyntax",
                        settings.colourSyntax ? 1 : 0);
    registry.WriteDword(RegRoot::CurrentUser, kViewSettingsKey, L"LineNumbers", settings.lineNumbers ? 1 : 0);
}
