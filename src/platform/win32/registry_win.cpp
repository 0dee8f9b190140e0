#include <vector>

#include "platform/win32/handles_win.h"
#include "platform/win32/win32_platform.h"

namespace {

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case RegRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case RegRoot::Users:
            return HKEY_USERS;
        case RegRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
    }
    return HKEY_LOCAL_MACHINE;
}

void Check(LSTATUS status, const std::wstring& operation) {
    if (status != ERROR_SUCCESS)
        ThrowWin32(operation, static_cast<DWORD>(status));
}

void OpenForWriting(RegRoot root, const std::wstring& key, ScopedRegKey& handle) {
    Check(RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.Out(),
                          nullptr),
          L"RegCreateKeyEx " + key);
}

}  // namespace

RegValue Win32Registry::ReadValue(RegRoot root, const std::wstring& key, const std::wstring& name) {
    ScopedRegKey handle;
    Check(RegOpenKeyExW(RootKey(root), key.c_str(), 0, KEY_QUERY_VALUE, handle.Out()),
          L"RegOpenKeyEx " + key);
    DWORD type = 0, size = 0;
    Check(RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type, nullptr, &size),
          L"RegQueryValueEx " + name);
    std::vector<BYTE> data(size + sizeof(wchar_t) * 2, 0);  // room for a missing terminator
    Check(RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type, data.data(), &size),
          L"RegQueryValueEx " + name);
    RegValue value;
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
        case REG_MULTI_SZ: {
            value.type = type == REG_SZ          ? RegType::String
                         : type == REG_EXPAND_SZ ? RegType::ExpandString
                                                 : RegType::MultiString;
            std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
            while (!text.empty() && text.back() == L'\0')
                text.pop_back();
            value.text = std::move(text);
            break;
        }
        case REG_DWORD:
            if (size != sizeof(DWORD))
                ThrowWin32(L"REG_DWORD of the wrong size: " + name, ERROR_INVALID_DATA);
            value.type = RegType::Dword;
            value.number = *reinterpret_cast<const DWORD*>(data.data());
            break;
        default:
            value.type = type == REG_BINARY ? RegType::Binary : RegType::Other;
            value.bytes.assign(data.begin(), data.begin() + size);
            break;
    }
    return value;
}

void Win32Registry::WriteString(RegRoot root,
                                const std::wstring& key,
                                const std::wstring& name,
                                const std::wstring& value) {
    ScopedRegKey handle;
    OpenForWriting(root, key, handle);
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));  // the NUL counted
    Check(RegSetValueExW(handle.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         bytes),
          L"RegSetValueEx " + name);
}

void Win32Registry::WriteDword(RegRoot root,
                               const std::wstring& key,
                               const std::wstring& name,
                               std::uint32_t value) {
    ScopedRegKey handle;
    OpenForWriting(root, key, handle);
    const DWORD data = value;
    Check(RegSetValueExW(handle.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                         sizeof data),
          L"RegSetValueEx " + name);
}

void Win32Registry::DeleteValue(RegRoot root, const std::wstring& key, const std::wstring& name) {
    ScopedRegKey handle;
    Check(RegOpenKeyExW(RootKey(root), key.c_str(), 0, KEY_SET_VALUE, handle.Out()), L"RegOpenKeyEx " + key);
    Check(RegDeleteValueW(handle.Get(), name.c_str()), L"RegDeleteValue " + name);
}

void Win32Registry::CreateKey(RegRoot root, const std::wstring& key) {
    ScopedRegKey handle;
    Check(
        RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, 0, KEY_READ, nullptr, handle.Out(), nullptr),
        L"RegCreateKeyEx " + key);
}

void Win32Registry::DeleteKey(RegRoot root, const std::wstring& key) {
    Check(RegDeleteKeyW(RootKey(root), key.c_str()), L"RegDeleteKey " + key);
}
