#include "editor/source_file.h"

#include <array>

#include "codepage/cp1251.h"
#include "codepage/recode.h"

std::wstring ReadSourceText(std::string_view bytes) {
    static const auto decode = [] {
        std::array<wchar_t, 256> table{};
        for (int b = 0; b < 256; ++b)
            table[b] = Cp1251ToChar(static_cast<unsigned char>(b));
        return table;
    }();
    // At most two characters a byte (a lone CR becomes CR LF), and a CR LF
    // after an unended last line.
    const std::size_t n = bytes.size();
    std::wstring text(2 * n + 2, L'\0');
    wchar_t* out = text.data();
    bool lineOpen = false;
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte != '\r') {
            *out++ = decode[byte];
            lineOpen = true;
            continue;
        }
        *out++ = L'\r';
        *out++ = L'\n';
        lineOpen = false;
        if (i + 1 < n && bytes[i + 1] == '\n')
            ++i;
    }
    if (lineOpen) {
        *out++ = L'\r';
        *out++ = L'\n';
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

// The same bytes as EncodeCp1251(WinToDos(text)), in one pass over the text.
std::string SourceFileBytes(const std::wstring& text) {
    std::string bytes(text.size() + 2, '\0');
    WinToDosBytes(text, bytes.data());
    bytes[text.size()] = '\r';
    bytes[text.size() + 1] = '\n';
    return bytes;
}
