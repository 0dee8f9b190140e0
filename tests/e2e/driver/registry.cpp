#include "driver/registry.h"

#include <algorithm>

#include "driver/e2e.h"

namespace e2e {

std::string Describe(const RegData& value) {
    if (!value.exists)
        return "(missing)";
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ)
        return (value.type == REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ") + Describe(value.text);
    if (value.type == REG_DWORD)
        return "REG_DWORD " + std::to_string(value.number);
    return "type " + std::to_string(value.type) + ", " + std::to_string(value.bytes.size()) + " bytes";
}

RegData RegGet(HKEY root, const std::wstring& key, const std::wstring& name) {
    RegData d;
    HKEY k = nullptr;
    DWORD size = 0;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k))
        return d;
    std::vector<BYTE> data;
    if (!RegQueryValueExW(k, name.c_str(), nullptr, &d.type, nullptr, &size)) {
        data.resize(size + sizeof(wchar_t));
        d.exists = !RegQueryValueExW(k, name.c_str(), nullptr, &d.type, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(k);
    if (d.exists && (d.type == REG_SZ || d.type == REG_EXPAND_SZ))  // without the closing NUL
        d.text = std::wstring(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t)).c_str();
    else if (d.exists && d.type == REG_DWORD && size == sizeof(DWORD))
        d.number = *reinterpret_cast<const DWORD*>(data.data());
    else if (d.exists)
        d.bytes = data;
    else
        d.type = REG_NONE;
    return d;
}

void RegPut(HKEY root, const std::wstring& key, const std::wstring& name, const RegData& value) {
    const bool text = value.type == REG_SZ;
    const auto* data = text ? reinterpret_cast<const BYTE*>(value.text.c_str())
                            : reinterpret_cast<const BYTE*>(&value.number);
    const DWORD size = text ? DWORD((value.text.size() + 1) * sizeof(wchar_t)) : sizeof value.number;
    if (RegSetKeyValueW(root, key.c_str(), name.c_str(), value.type, data, size) != ERROR_SUCCESS)
        Abort("could not write " + Utf8(key) + "\\" + Utf8(name));
}

void RegRemoveValue(HKEY root, const std::wstring& key, const std::wstring& name) {
    RegDeleteKeyValueW(root, key.c_str(), name.c_str());
}

std::vector<std::string> RegValues(HKEY root, const std::wstring& key) {
    std::vector<std::string> values;
    HKEY k = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k))
        return values;
    wchar_t name[16384];
    for (DWORD i = 0, n = 16384; !RegEnumValueW(k, i, name, &n, nullptr, nullptr, nullptr, nullptr);
         ++i, n = 16384)
        values.push_back(Utf8(name) + ": " + Describe(RegGet(root, key, name)));
    RegCloseKey(k);
    std::sort(values.begin(), values.end());
    return values;
}

}  // namespace e2e
