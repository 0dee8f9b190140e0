#pragma once
// regShell: the registry object through which every value is read, written
// and deleted. Values are named by a path such as "HKLM\Software\asm\tasm";
// a path that ends in a backslash names the key's default value.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry.h"

// What RegRead gives back: a number for REG_DWORD (signed 32-bit: 0xFFFFFFFF
// reads as -1), text for string types.
// Binary and multi-string values are neither, and convert to nothing.
struct RegVariant {
    enum class Kind { Number, Text, Other } kind = Kind::Other;
    std::int64_t number = 0;
    std::wstring text;

    // The value as a string ("5" for the number 5); fails for Other.
    std::wstring ToString() const;
};

// The 16-bit signed integer of a value: a number in range, or a text holding
// one (blanks around it allowed, a fraction rounded half to even). Nothing
// for an empty, non-numeric or out-of-range value.
std::optional<std::int16_t> ToInt16(const RegVariant& value);

struct RegPath {
    RegRoot root;
    std::wstring key;
    std::wstring name;  // empty: the key's default value
};

// Splits "HKLM\Software\asm\tasm"; roots may be abbreviated or written out.
// Throws PlatformError for a path without a known root or without a key.
RegPath ParseRegPath(const std::wstring& path);

class RegShell {
  public:
    explicit RegShell(Registry& registry) : registry_(registry) {}
    RegVariant RegRead(const std::wstring& path);
    // type is "REG_SZ" or "REG_DWORD"; any other type fails.
    void RegWrite(const std::wstring& path, const std::wstring& value, const std::wstring& type);
    void RegWrite(const std::wstring& path, std::int64_t value, const std::wstring& type);
    void RegDelete(const std::wstring& path);

  private:
    Registry& registry_;
};
