#include "driver/registry.h"

#include <algorithm>

#include "driver/e2e.h"

namespace e2e {

namespace {

class Key {
  public:
    Key(HKEY root, const std::wstring& path) {
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key() {
        if (key_)
            RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

}  // namespace

bool operator==(const RegData& a, const RegData& b) {
    if (a.exists != b.exists)
        return false;
    if (!a.exists)
        return true;
    if (a.type != b.type)
        return false;
    switch (a.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return a.text == b.text;
        case REG_DWORD:
            return a.number == b.number;
        default:
            return a.bytes == b.bytes;
    }
}

std::string Describe(const RegData& value) {
    if (!value.exists)
        return "(missing)";
    switch (value.type) {
        case REG_SZ:
            return "REG_SZ " + Describe(value.text);
        case REG_EXPAND_SZ:
            return "REG_EXPAND_SZ " + Describe(value.text);
        case REG_DWORD:
            return "REG_DWORD " + std::to_string(value.number);
        default:
            return "type " + std::to_string(value.type) + ", " + std::to_string(value.bytes.size()) +
                   " bytes";
    }
}

RegData RegSz(const std::wstring& text) {
    RegData d;
    d.exists = true;
    d.type = REG_SZ;
    d.text = text;
    return d;
}

RegData RegDword(DWORD number) {
    RegData d;
    d.exists = true;
    d.type = REG_DWORD;
    d.number = number;
    return d;
}

RegData RegMissing() {
    return {};
}

RegData RegGet(HKEY root, const std::wstring& key, const std::wstring& name) {
    Key k(root, key);
    RegData d;
    if (!k.get())
        return d;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return d;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    if (RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return d;
    data.resize(size);
    d.exists = true;
    d.type = type;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        d.text.assign(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        // The stored size counts the closing NUL when the writer counted it.
        if (!d.text.empty() && d.text.back() == L'\0')
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
    return Key(root, key).get() != nullptr;
}

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    Key k(root, key);
    if (!k.get())
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (RegEnumValueW(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return SortedNoCase(names);
}

std::vector<std::wstring> RegSubKeys(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    Key k(root, key);
    if (!k.get())
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(k.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return SortedNoCase(names);
}

std::vector<std::wstring> SortedNoCase(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

}  // namespace e2e
