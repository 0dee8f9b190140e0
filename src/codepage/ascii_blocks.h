#pragma once
// The conversions' fast path: a source is mostly ASCII, which every code page
// here passes through unchanged, so the text is looked at a block of
// characters at a time (a few machine words OR-ed together) and only a block
// holding a character above 0x7F is converted one character at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ascii_blocks {

using Word = std::uint64_t;
constexpr std::size_t kLaneBits = 8 * sizeof(wchar_t);
constexpr std::size_t kLanes = sizeof(Word) / sizeof(wchar_t);
constexpr std::size_t kWords = 4;
constexpr std::size_t kBlock = kLanes * kWords;  // characters a block

// Every bit above 0x7F of every character in a word.
constexpr Word NonAsciiBits() {
    const Word lane = (kLaneBits >= 64 ? ~Word{0} : (Word{1} << kLaneBits) - 1) & ~Word{0x7F};
    Word word = 0;
    for (std::size_t i = 0; i < kLanes; ++i)
        word = (word << (kLaneBits % 64)) | lane;
    return word;
}

// True when the kBlock characters at p are all below 0x80.
inline Word Load(const wchar_t* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline bool IsAscii(const wchar_t* p) {
    static_assert(kWords == 4, "a block is four words");
    return ((Load(p) | Load(p + kLanes) | Load(p + 2 * kLanes) | Load(p + 3 * kLanes)) & NonAsciiBits()) == 0;
}

// Rewrites each character below `end` by map (a table of `end` entries);
// the characters at and above it stay.
inline void MapInPlace(wchar_t* p, std::size_t n, const std::uint16_t* map, wchar_t end) {
    const auto one = [&](wchar_t& c) {
        const auto u = static_cast<std::uint32_t>(c);
        c = u < static_cast<std::uint32_t>(end) ? static_cast<wchar_t>(map[u]) : c;
    };
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        if (IsAscii(p + i))
            continue;
        for (std::size_t k = 0; k < kBlock; k += kLanes) {
            if ((Load(p + i + k) & NonAsciiBits()) == 0)
                continue;
            for (std::size_t l = 0; l < kLanes; ++l)
                one(p[i + k + l]);
        }
    }
    for (; i < n; ++i)
        one(p[i]);
}

// Each character to one byte: those below `end` by map, the others to '?'.
inline void Narrow(const wchar_t* in, std::size_t n, char* out, const unsigned char* map, wchar_t end) {
    const auto one = [&](wchar_t c) {
        return static_cast<char>(static_cast<std::uint32_t>(c) < static_cast<std::uint32_t>(end) ? map[c]
                                                                                                 : '?');
    };
    std::size_t i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        if (IsAscii(in + i)) {
            for (std::size_t k = 0; k < kBlock; ++k)
                out[i + k] = static_cast<char>(in[i + k]);
        } else {
            for (std::size_t k = 0; k < kBlock; ++k)
                out[i + k] = one(in[i + k]);
        }
    }
    for (; i < n; ++i)
        out[i] = one(in[i]);
}

}  // namespace ascii_blocks
