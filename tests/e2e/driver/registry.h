#pragma once
// Registry values as another program on the machine sees them: read straight
// from the prefix's registry, with their types.
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
};
bool operator==(const RegData& a, const RegData& b);
inline bool operator!=(const RegData& a, const RegData& b) {
    return !(a == b);
}
std::string Describe(const RegData& value);  // REG_SZ "/x /v", REG_DWORD 1, (missing)

RegData RegSz(const std::wstring& text);
RegData RegDword(DWORD number);
RegData RegMissing();

// An empty name is the key's default value.
RegData RegGet(HKEY root, const std::wstring& key, const std::wstring& name);
// Writes the value, creating the key; ends the test when it cannot.
void RegPut(HKEY root, const std::wstring& key, const std::wstring& name, const RegData& value);
void RegRemoveValue(HKEY root, const std::wstring& key, const std::wstring& name);
bool RegKeyExists(HKEY root, const std::wstring& key);
// The names of the key's values ("" for the default value) and of its sub-keys, sorted without regard to
// case.
std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key);
std::vector<std::wstring> RegSubKeys(HKEY root, const std::wstring& key);
// Names in the order the two calls above give them.
std::vector<std::wstring> SortedNoCase(std::vector<std::wstring> names);

}  // namespace e2e
