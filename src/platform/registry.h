#pragma once
// The registry as the program uses it: values read, written and deleted, keys
// created and deleted. Implementations throw PlatformError on failure.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform_error.h"

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

enum class RegType { String, ExpandString, Dword, MultiString, Binary, Other };

struct RegValue {
    RegType type = RegType::String;
    std::wstring text;                // String, ExpandString, MultiString (NUL-separated)
    std::uint32_t number = 0;         // Dword
    std::vector<std::uint8_t> bytes;  // Binary and Other
};

class Registry {
  public:
    virtual ~Registry() = default;
    // An empty name is the key's default value. Names compare without regard to case.
    virtual RegValue ReadValue(RegRoot root, const std::wstring& key, const std::wstring& name) = 0;
    // Writing creates the key when it is missing and replaces any value of that name.
    virtual void WriteString(RegRoot root,
                             const std::wstring& key,
                             const std::wstring& name,
                             const std::wstring& value) = 0;
    virtual void WriteDword(RegRoot root,
                            const std::wstring& key,
                            const std::wstring& name,
                            std::uint32_t value) = 0;
    virtual void DeleteValue(RegRoot root, const std::wstring& key, const std::wstring& name) = 0;
    virtual void CreateKey(RegRoot root, const std::wstring& key) = 0;
    // Deletes one key; fails, as Windows does, when the key has sub-keys.
    virtual void DeleteKey(RegRoot root, const std::wstring& key) = 0;
};
