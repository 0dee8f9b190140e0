#include "editor/source_file.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "editor/text_buffer.h"

namespace {

using Word = std::uint64_t;
constexpr Word kEveryByte = ~Word{0} / 0xFF;  // 0x0101...01

// True when a word of bytes holds none above 0x7F and no CR.
bool PlainAscii(Word w) {
    const Word cr = w ^ (kEveryByte * '\r');
    const bool hasCr = ((cr - kEveryByte) & ~cr & (kEveryByte * 0x80)) != 0;
    return (w & (kEveryByte * 0x80)) == 0 && !hasCr;
}

}  // namespace

// Two passes: the first finds the text's length (a lone CR gains an LF, an
// unended last line a CR LF), so the text is made once at its size, with
// room to type after it, and no larger buffer ever exists beside the bytes.
std::wstring ReadSourceText(std::string_view bytes) {
    static const auto decode = [] {
        std::array<wchar_t, 256> table{};
        for (int b = 0; b < 256; ++b)
            table[b] = Cp1251ToChar(static_cast<unsigned char>(b));
        return table;
    }();
    const std::size_t n = bytes.size();
    const char* const data = bytes.data();
    std::size_t size = n;
    for (const void* cr = n ? std::memchr(data, '\r', n) : nullptr; cr;) {
        const auto at = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
        if (at + 1 == n || data[at + 1] != '\n')
            ++size;
        cr = at + 1 < n ? std::memchr(data + at + 1, '\r', n - at - 1) : nullptr;
    }
    const bool lineOpen =
        n > 0 && data[n - 1] != '\r' && !(n >= 2 && data[n - 1] == '\n' && data[n - 2] == '\r');
    if (lineOpen)
        size += 2;

    std::wstring text;
    text.reserve(size + kTypingRoom);
    text.resize(size);
    wchar_t* out = text.data();
    std::size_t i = 0;
    while (i < n) {
        Word w;
        if (i + sizeof w <= n && (std::memcpy(&w, data + i, sizeof w), PlainAscii(w))) {
            for (std::size_t k = 0; k < sizeof w; ++k)
                out[k] = static_cast<wchar_t>(data[i + k]);
            out += sizeof w;
            i += sizeof w;
            continue;
        }
        const auto byte = static_cast<unsigned char>(data[i++]);
        if (byte != '\r') {
            *out++ = decode[byte];
            continue;
        }
        *out++ = L'\r';
        *out++ = L'\n';
        if (i < n && data[i] == '\n')
            ++i;
    }
    if (lineOpen) {
        *out++ = L'\r';
        *out++ = L'\n';
    }
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
