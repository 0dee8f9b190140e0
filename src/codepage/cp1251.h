#pragma once
// Windows-1251, carried by the program itself so that Cyrillic text reads and
// writes the same whatever the system's ANSI code page is.
#include <string>
#include <string_view>

// Every character Windows-1251 has lies below this one (the highest is the
// trade mark sign, U+2122), so a table over the characters below it covers them.
constexpr wchar_t kCp1251CharsEnd = 0x2130;

// The character of a Windows-1251 byte (0x98, unassigned, stands as U+0098).
wchar_t Cp1251ToChar(unsigned char byte);
// The Windows-1251 byte of a character; -1 when Windows-1251 has none.
int CharToCp1251(wchar_t ch);

std::wstring DecodeCp1251(std::string_view bytes);
// Characters outside Windows-1251 become '?'.
std::string EncodeCp1251(std::wstring_view text);
