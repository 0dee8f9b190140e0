#include <vector>

#include "platform/win32/win32_platform.h"

namespace {

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            ThrowWin32(L"GetModuleFileName");
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::wstring ArgumentsOf(const std::wstring& whole) {
    std::size_t i = 0;
    if (!whole.empty() && whole[0] == L'"') {
        i = whole.find(L'"', 1);
        i = i == std::wstring::npos ? whole.size() : i + 1;
    } else {
        while (i < whole.size() && whole[i] != L' ' && whole[i] != L'\t')
            ++i;
    }
    while (i < whole.size() && (whole[i] == L' ' || whole[i] == L'\t'))
        ++i;
    return whole.substr(i);
}

void Win32System::SetCaretBlinkTime(unsigned milliseconds) {
    if (!::SetCaretBlinkTime(milliseconds))
        ThrowWin32(L"SetCaretBlinkTime");
}

std::wstring Win32System::CommandLine() {
    return ArgumentsOf(GetCommandLineW());
}

std::wstring Win32System::ProgramFolder() {
    const std::wstring path = ModulePath();
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        return L"";
    if (cut == 2 && path[1] == L':')
        return path.substr(0, 3);  // a drive root keeps its backslash
    return path.substr(0, cut);
}

std::wstring Win32System::ProgramName() {
    const std::wstring path = ModulePath();
    const auto cut = path.find_last_of(L"\\/");
    std::wstring name = cut == std::wstring::npos ? path : path.substr(cut + 1);
    const auto dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring Win32System::Environment(const std::wstring& name) {
    const DWORD n = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(name.c_str(), value.data(), n);
    value.resize(got);
    return value;
}

std::wstring Win32System::ErrorText(std::uint32_t code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = text ? text : L"";
    if (text)
        LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
        reason.pop_back();
    if (reason.empty())
        reason = L"Error " + std::to_wstring(code) + L".";
    return reason;
}
