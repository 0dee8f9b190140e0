#pragma once
// File names as Windows compares them: ASCII and Cyrillic letters without
// regard to case, the same on every system.
#include <string>

bool SameFileName(const std::wstring& a, const std::wstring& b);
