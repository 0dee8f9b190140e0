#include "compile/file_names.h"

namespace {

wchar_t Folded(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0x0430 && c <= 0x044F))
        return static_cast<wchar_t>(c - 0x20);
    return c == 0x0451 ? wchar_t(0x0401) : c;
}

}  // namespace

bool SameFileName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Folded(a[i]) != Folded(b[i]))
            return false;
    }
    return true;
}
