#include "settings/reg_shell.h"

#include <cmath>
#include <cwctype>
#include <limits>

namespace {

std::wstring Upper(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

bool RootOf(const std::wstring& word, RegRoot& root) {
    const std::wstring w = Upper(word);
    if (w == L"HKLM" || w == L"HKEY_LOCAL_MACHINE")
        root = RegRoot::LocalMachine;
    else if (w == L"HKCR" || w == L"HKEY_CLASSES_ROOT")
        root = RegRoot::ClassesRoot;
    else if (w == L"HKCU" || w == L"HKEY_CURRENT_USER")
        root = RegRoot::CurrentUser;
    else if (w == L"HKU" || w == L"HKEY_USERS")
        root = RegRoot::Users;
    else if (w == L"HKCC" || w == L"HKEY_CURRENT_CONFIG")
        root = RegRoot::CurrentConfig;
    else
        return false;
    return true;
}

// Parses a decimal number with optional sign, fraction and surrounding blanks.
std::optional<double> ParseNumber(const std::wstring& text) {
    std::size_t i = 0, n = text.size();
    while (i < n && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    while (n > i && (text[n - 1] == L' ' || text[n - 1] == L'\t'))
        --n;
    if (i == n)
        return std::nullopt;
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-')
        negative = text[i++] == L'-';
    double value = 0;
    bool digits = false;
    for (; i < n && std::iswdigit(text[i]); ++i, digits = true)
        value = value * 10 + (text[i] - L'0');
    if (i < n && text[i] == L'.') {
        double scale = 0.1;
        for (++i; i < n && std::iswdigit(text[i]); ++i, digits = true, scale /= 10)
            value += (text[i] - L'0') * scale;
    }
    if (!digits || i != n)
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::wstring RegVariant::ToString() const {
    switch (kind) {
        case Kind::Number:
            return std::to_wstring(number);
        case Kind::Text:
            return text;
        default:
            throw ProgramError(L"RegRead: value is not text");
    }
}

std::optional<std::int16_t> ToInt16(const RegVariant& value) {
    double number;
    if (value.kind == RegVariant::Kind::Number) {
        number = static_cast<double>(value.number);
    } else if (value.kind == RegVariant::Kind::Text) {
        auto parsed = ParseNumber(value.text);
        if (!parsed)
            return std::nullopt;
        number = std::nearbyint(*parsed);  // the default rounding mode rounds half to even
    } else {
        return std::nullopt;
    }
    if (number < std::numeric_limits<std::int16_t>::min() ||
        number > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(number);
}

RegPath ParseRegPath(const std::wstring& path) {
    const auto firstSlash = path.find(L'\\');
    RegPath result{};
    if (firstSlash == std::wstring::npos || !RootOf(path.substr(0, firstSlash), result.root))
        throw ProgramError(L"registry path without a root: " + path);
    const auto lastSlash = path.rfind(L'\\');
    result.key = path.substr(firstSlash + 1, lastSlash - firstSlash - 1);
    result.name = path.substr(lastSlash + 1);
    if (lastSlash == firstSlash && !result.name.empty()) {
        // "HKLM\name": a value directly under the root is not allowed
        throw ProgramError(L"registry path without a key: " + path);
    }
    if (result.key.empty() && lastSlash != firstSlash)
        throw ProgramError(L"registry path with an empty key: " + path);
    return result;
}

RegVariant RegShell::RegRead(const std::wstring& path) {
    const RegPath p = ParseRegPath(path);
    const RegValue value = registry_.ReadValue(p.root, p.key, p.name);
    RegVariant result;
    switch (value.type) {
        case RegType::Dword:
            // A signed 32-bit number, as the registry object reads it: 0xFFFFFFFF is -1.
            result.kind = RegVariant::Kind::Number;
            result.number = static_cast<std::int32_t>(value.number);
            break;
        case RegType::String:
        case RegType::ExpandString:
            result.kind = RegVariant::Kind::Text;
            result.text = value.text;
            break;
        default:
            result.kind = RegVariant::Kind::Other;
            break;
    }
    return result;
}

void RegShell::RegWrite(const std::wstring& path, const std::wstring& value, const std::wstring& type) {
    const RegPath p = ParseRegPath(path);
    const std::wstring t = Upper(type);
    if (t == L"REG_SZ") {
        registry_.WriteString(p.root, p.key, p.name, value);
    } else if (t == L"REG_DWORD") {
        auto parsed = ParseNumber(value);
        if (!parsed)
            throw ProgramError(L"RegWrite: not a number: " + value);
        RegWrite(path, static_cast<std::int64_t>(std::nearbyint(*parsed)), type);
    } else {
        throw ProgramError(L"RegWrite: unsupported type " + type);
    }
}

void RegShell::RegWrite(const std::wstring& path, std::int64_t value, const std::wstring& type) {
    const RegPath p = ParseRegPath(path);
    const std::wstring t = Upper(type);
    if (t == L"REG_DWORD") {
        registry_.WriteDword(p.root, p.key, p.name, static_cast<std::uint32_t>(value));
    } else if (t == L"REG_SZ") {
        registry_.WriteString(p.root, p.key, p.name, std::to_wstring(value));
    } else {
        throw ProgramError(L"RegWrite: unsupported type " + type);
    }
}

void RegShell::RegDelete(const std::wstring& path) {
    const RegPath p = ParseRegPath(path);
    if (path.back() == L'\\')
        registry_.DeleteKey(p.root, p.key);
    else
        registry_.DeleteValue(p.root, p.key, p.name);
}
