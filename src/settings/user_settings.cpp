#include "settings/user_settings.h"

#include <cstdint>

namespace {

const wchar_t kUserKey[] = L"Software\\Korveline";

// The values' names, in the order of the enumerations.
const wchar_t* const kSwitchNames[] = {L"ColourSyntax", L"LineNumbers", L"FindWrapAround"};
const wchar_t* const kPathNames[] = {L"DOSBox", L"TD", L"TD32"};

const wchar_t* NameOf(UserSwitch which) {
    return kSwitchNames[static_cast<int>(which)];
}

const wchar_t* NameOf(UserPath which) {
    return kPathNames[static_cast<int>(which)];
}

const wchar_t kPlaceNames[4][7] = {L"Left", L"Top", L"Width", L"Height"};
constexpr int kLargest = 100000;  // pixels; anything beyond is damage, not a window

std::wstring PlaceKey(const std::wstring& window) {
    return std::wstring(kUserKey) + L"\\" + window;
}

}  // namespace

bool UserSettings::Switch(UserSwitch which) const {
    try {
        const RegValue value = registry_.ReadValue(RegRoot::CurrentUser, kUserKey, NameOf(which));
        return value.type == RegType::Dword && value.number != 0;
    } catch (const Failure&) {
        return false;
    }
}

void UserSettings::SetSwitch(UserSwitch which, bool on) {
    SkipOnFailure([&] { registry_.WriteDword(RegRoot::CurrentUser, kUserKey, NameOf(which), on ? 1 : 0); });
}

std::wstring UserSettings::Path(UserPath which) const {
    try {
        const RegValue value = registry_.ReadValue(RegRoot::CurrentUser, kUserKey, NameOf(which));
        return value.type == RegType::String ? value.text : std::wstring();
    } catch (const Failure&) {
        return {};
    }
}

void UserSettings::SetPath(UserPath which, const std::wstring& path) {
    SkipOnFailure([&] { registry_.WriteString(RegRoot::CurrentUser, kUserKey, NameOf(which), path); });
}

void UserSettings::ForgetPath(UserPath which) {
    SkipOnFailure([&] { registry_.DeleteValue(RegRoot::CurrentUser, kUserKey, NameOf(which)); });
}

std::optional<WindowRect> UserSettings::WindowPlace(const std::wstring& window) const {
    int values[4] = {};
    try {
        for (int i = 0; i < 4; ++i) {
            const RegValue v = registry_.ReadValue(RegRoot::CurrentUser, PlaceKey(window), kPlaceNames[i]);
            if (v.type != RegType::Dword)
                return std::nullopt;
            values[i] = static_cast<std::int32_t>(v.number);  // left and top may be negative
        }
    } catch (const Failure&) {
        return std::nullopt;
    }
    const WindowRect rect{values[0], values[1], values[2], values[3]};
    if (rect.width <= 0 || rect.height <= 0 || rect.width > kLargest || rect.height > kLargest ||
        rect.left < -kLargest || rect.left > kLargest || rect.top < -kLargest || rect.top > kLargest)
        return std::nullopt;
    return rect;
}

void UserSettings::SetWindowPlace(const std::wstring& window, const WindowRect& rect) {
    const int values[4] = {rect.left, rect.top, rect.width, rect.height};
    SkipOnFailure([&] {
        for (int i = 0; i < 4; ++i)
            registry_.WriteDword(RegRoot::CurrentUser, PlaceKey(window), kPlaceNames[i],
                                 static_cast<std::uint32_t>(values[i]));
    });
}
