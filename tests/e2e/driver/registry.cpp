#include "driver/registry.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "driver/e2e.h"

namespace e2e {

namespace {

// The key opened for reading, closed when the holder goes; null when it does not exist.
std::shared_ptr<std::remove_pointer_t<HKEY>> Open(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    return {key, RegCloseKey};
}

// The names of a key's values or sub-keys, sorted.
std::vector<std::wstring> Names(HKEY root, const std::wstring& key, bool values) {
    std::vector<std::wstring> names;
    auto k = Open(root, key);
    wchar_t name[16384];
    for (DWORD i = 0, length = 16384;
         k && (values ? RegEnumValueW(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)
                      : RegEnumKeyExW(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)) ==
                  ERROR_SUCCESS;
         ++i, length = 16384)
        names.emplace_back(name, length);
    return SortedNoCase(names);
}

}  // namespace

bool operator==(const RegData& a, const RegData& b) {
    const bool text = a.type == REG_SZ || a.type == REG_EXPAND_SZ;
    return a.exists == b.exists &&
           (!a.exists || (a.type == b.type && (text                  ? a.text == b.text
                                               : a.type == REG_DWORD ? a.number == b.number
                                                                     : a.bytes == b.bytes)));
}

std::string Describe(const RegData& value) {
    if (!value.exists)
        return "(missing)";
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ)
        return (value.type == REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ") + Describe(value.text);
    if (value.type == REG_DWORD)
        return "REG_DWORD " + std::to_string(value.number);
    return "type " + std::to_string(value.type) + ", " + std::to_string(value.bytes.size()) + " bytes";
}

RegData RegSz(const std::wstring& text) {
    return {true, REG_SZ, text, 0, {}};
}

RegData RegDword(DWORD number) {
    return {true, REG_DWORD, L"", number, {}};
}

RegData RegMissing() {
    return {};
}

RegData RegGet(HKEY root, const std::wstring& key, const std::wstring& name) {
    auto k = Open(root, key);
    RegData d;
    DWORD type = 0, size = 0;
    if (!k || RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return d;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return d;
    data.resize(size);
    d.exists = true;
    d.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        d.text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        if (!d.text.empty() && d.text.back() == L'\0')  // the closing NUL, when the writer counted it
            d.text.pop_back();
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        d.number = *reinterpret_cast<const DWORD*>(data.data());
    } else {
        d.bytes = data;
    }
    return d;
}

void RegPut(HKEY root, const std::wstring& key, const std::wstring& name, const RegData& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        Abort("could not create the key " + Utf8(key));
    LSTATUS status;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        status =
            RegSetValueExW(k, name.c_str(), 0, value.type, reinterpret_cast<const BYTE*>(value.text.c_str()),
                           static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
    } else if (value.type == REG_DWORD) {
        status = RegSetValueExW(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                                sizeof value.number);
    } else {
        status = RegSetValueExW(k, name.c_str(), 0, value.type, value.bytes.data(),
                                static_cast<DWORD>(value.bytes.size()));
    }
    RegCloseKey(k);
    if (status != ERROR_SUCCESS)
        Abort("could not write " + Utf8(key) + "\\" + Utf8(name));
}

void RegRemoveValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(k, name.c_str());
    RegCloseKey(k);
}

bool RegKeyExists(HKEY root, const std::wstring& key) {
    return Open(root, key) != nullptr;
}

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key) {
    return Names(root, key, true);
}

std::vector<std::wstring> RegSubKeys(HKEY root, const std::wstring& key) {
    return Names(root, key, false);
}

std::vector<std::wstring> SortedNoCase(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    return names;
}

}  // namespace e2e
