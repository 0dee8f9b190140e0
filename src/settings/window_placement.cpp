#include "settings/window_placement.h"

#include <cstdint>

namespace {

const wchar_t kNames[4][7] = {L"Left", L"Top", L"Width", L"Height"};
constexpr int kLargest = 100000;  // pixels; anything beyond is damage, not a window

std::wstring KeyOf(const std::wstring& window) {
    return L"Software\\Korveline\\" + window;
}

}  // namespace

std::optional<WindowRect> LoadWindowRect(Registry& registry, const std::wstring& window) {
    int values[4] = {};
    try {
        for (int i = 0; i < 4; ++i) {
            const RegValue v = registry.ReadValue(RegRoot::CurrentUser, KeyOf(window), kNames[i]);
            if (v.type != RegType::Dword)
                return std::nullopt;
            values[i] = static_cast<std::int32_t>(v.number);  // left and top may be negative
        }
    } catch (const PlatformError&) {
        return std::nullopt;
    }
    const WindowRect rect{values[0], values[1], values[2], values[3]};
    if (rect.width <= 0 || rect.height <= 0 || rect.width > kLargest || rect.height > kLargest ||
        rect.left < -kLargest || rect.left > kLargest || rect.top < -kLargest || rect.top > kLargest)
        return std::nullopt;
    return rect;
}

void SaveWindowRect(Registry& registry, const std::wstring& window, const WindowRect& rect) {
    const int values[4] = {rect.left, rect.top, rect.width, rect.height};
    try {
        for (int i = 0; i < 4; ++i)
            registry.WriteDword(RegRoot::CurrentUser, KeyOf(window), kNames[i],
                                static_cast<std::uint32_t>(values[i]));
    } catch (const PlatformError&) {
    }
}
