#pragma once
// Registry values as another program on the machine sees them, with their types.
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct RegData {
    bool exists = false;
    DWORD type = REG_NONE;
    std::wstring text;        // REG_SZ, REG_EXPAND_SZ
    DWORD number = 0;         // REG_DWORD
    std::vector<BYTE> bytes;  // any other type
    bool operator==(const RegData& o) const {
        return exists == o.exists && type == o.type && text == o.text && number == o.number &&
               bytes == o.bytes;
    }
};
std::string Describe(const RegData& value);  // REG_SZ "/x /v", REG_DWORD 1, (missing)

inline RegData RegSz(const std::wstring& text) {
    return {true, REG_SZ, text, 0, {}};
}
inline RegData RegDword(DWORD number) {
    return {true, REG_DWORD, L"", number, {}};
}
inline RegData RegMissing() {
    return {};
}

// An empty name is the key's default value.
RegData RegGet(HKEY root, const std::wstring& key, const std::wstring& name);
// Writes a REG_SZ or REG_DWORD value, creating the key; ends the test when it cannot.
void RegPut(HKEY root, const std::wstring& key, const std::wstring& name, const RegData& value);
void RegRemoveValue(HKEY root, const std::wstring& key, const std::wstring& name);
// Every value of the key as "name: " + Describe(value), sorted by name.
std::vector<std::string> RegValues(HKEY root, const std::wstring& key);

}  // namespace e2e
