#include "codepage/recode.h"

#include <algorithm>
#include <memory>

#include "codepage/ascii_blocks.h"
#include "codepage/cp1251.h"

namespace {

ByteMap Rows(const std::uint8_t (&rows)[128]) {
    ByteMap map{};
    for (int i = 0; i < 128; ++i)
        map[i] = rows[i];
    return map;
}

// Russian letters go to their CP866 bytes; the other bytes fill what is left.
constexpr std::uint8_t kMap2[128] = {
    0xB0, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF,
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xF0, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xF1, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF, 0xD8, 0xFA,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
};

// Russian letters go to their KOI8-R bytes; the rest follows the rows as given.
constexpr std::uint8_t kMap3[128] = {
    0x90, 0x91, 0x92, 0x81, 0x87, 0xB2, 0xB4, 0xA7, 0xA6, 0xB5, 0xA1, 0xA8, 0xAE, 0xAD, 0xAC, 0x83,
    0x84, 0x89, 0x88, 0x86, 0x80, 0x8A, 0xAF, 0xB0, 0xAB, 0xA5, 0xBB, 0xB8, 0xB1, 0xA0, 0xBE, 0xB9,
    0xBA, 0xB6, 0xB7, 0xAA, 0xA9, 0xA2, 0xA4, 0xBD, 0xB3, 0x85, 0x82, 0x8D, 0x8C, 0x8E, 0x8F, 0x8B,
    0x99, 0x98, 0x93, 0x9B, 0x9F, 0x97, 0x9C, 0x9E, 0xA3, 0x96, 0x9A, 0x9D, 0x94, 0xBF, 0xBC, 0x95,
    0xE1, 0xE2, 0xF7, 0xE7, 0xE4, 0xE5, 0xF6, 0xFA, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
    0xF2, 0xF3, 0xF4, 0xF5, 0xE6, 0xE8, 0xE3, 0xFE, 0xFB, 0xFD, 0xFF, 0xF9, 0xF8, 0xFC, 0xE0, 0xF1,
    0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
    0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8, 0xC3, 0xDE, 0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1,
};

// ISO 8859-5 bytes 0xA0 to 0xFF; 0x80 to 0x9F are its control characters.
constexpr wchar_t kIso88595High[96] = {
    0x00A0, 0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B,
    0x040C, 0x00AD, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x2116, 0x0451, 0x0452, 0x0453,
    0x0454, 0x0455, 0x0456, 0x0457, 0x0458, 0x0459, 0x045A, 0x045B, 0x045C, 0x00A7, 0x045E, 0x045F,
};

// Every Windows-1251 character that ISO 8859-5 also has goes to its ISO byte
// (all 96 of ISO's printable upper half are among them); the other 32 take
// the control bytes 0x80 to 0x9F in order, so the map stays one-to-one.
ByteMap BuildMap5() {
    ByteMap map{};
    std::uint8_t nextFree = 0x80;
    for (int k = 0; k < 128; ++k) {
        const wchar_t ch = Cp1251ToChar(static_cast<unsigned char>(0x80 + k));
        int target = -1;
        for (int i = 0; i < 96; ++i) {
            if (kIso88595High[i] == ch)
                target = 0xA0 + i;
        }
        map[k] = static_cast<std::uint8_t>(target >= 0 ? target : nextFree++);
    }
    return map;
}

const ByteMap* MapOf(std::int32_t id) {
    switch (id) {
        case 2:
            return &Map2();
        case 3:
            return &Map3();
        case 5:
            return &Map5();
        default:
            return nullptr;  // Windows-1251 itself, and ids without a table
    }
}

// Byte-level forms of the two passes: 256-entry tables, identity below 0x80.
struct PassTables {
    std::array<std::uint8_t, 256> toWin{};    // first pass: a byte of code page N to its Windows-1251 byte
    std::array<std::uint8_t, 256> fromWin{};  // second pass: a Windows-1251 byte to code page N
};

PassTables BuildPasses(const ByteMap* map) {
    PassTables t;
    for (int b = 0; b < 256; ++b)
        t.toWin[b] = t.fromWin[b] = static_cast<std::uint8_t>(b);
    if (map) {
        for (int k = 0; k < 128; ++k) {
            t.fromWin[0x80 + k] = (*map)[k];
            t.toWin[(*map)[k]] = static_cast<std::uint8_t>(0x80 + k);
        }
    }
    return t;
}

const PassTables& PassesOf(std::int32_t id) {
    static const PassTables identity = BuildPasses(nullptr);
    static const PassTables dos = BuildPasses(&Map2());
    static const PassTables koi = BuildPasses(&Map3());
    static const PassTables iso = BuildPasses(&Map5());
    switch (id) {
        case 2:
            return dos;
        case 3:
            return koi;
        case 5:
            return iso;
        default:
            return identity;
    }
}

// A conversion as one table over the characters Windows-1251 has: each goes
// to the character of its converted byte; ASCII and the characters
// Windows-1251 lacks go to themselves.
using CharMap = std::array<std::uint16_t, kCp1251CharsEnd>;  // every character of Windows-1251 fits

std::unique_ptr<CharMap> BuildCharMap(std::int32_t fromId, std::int32_t toId) {
    const PassTables& from = PassesOf(fromId);
    const PassTables& to = PassesOf(toId);
    auto map = std::make_unique<CharMap>();
    for (wchar_t c = 0; c < kCp1251CharsEnd; ++c) {
        const int b = CharToCp1251(c);
        (*map)[c] = static_cast<std::uint16_t>(b < 0x80 ? c : Cp1251ToChar(to.fromWin[from.toWin[b]]));
    }
    return map;
}

// Kinds of code page: 0 Windows-1251 (and every id without a table), then 2, 3, 5.
int KindOf(std::int32_t id) {
    return id == 2 ? 1 : id == 3 ? 2 : id == 5 ? 3 : 0;
}

// Each pair's table is made the first time that pair converts.
constexpr std::int32_t kIdOfKind[4] = {1, 2, 3, 5};

template <int From, int To>
const CharMap& PairMap() {
    static const std::unique_ptr<CharMap> map = BuildCharMap(kIdOfKind[From], kIdOfKind[To]);
    return *map;
}

template <int From>
constexpr std::array<const CharMap& (*)(), 4> kFrom = {&PairMap<From, 0>, &PairMap<From, 1>,
                                                       &PairMap<From, 2>, &PairMap<From, 3>};

const CharMap& CharMapOf(std::int32_t fromId, std::int32_t toId) {
    static constexpr std::array<std::array<const CharMap& (*)(), 4>, 4> pairs = {kFrom<0>, kFrom<1>, kFrom<2>,
                                                                                 kFrom<3>};
    return pairs[KindOf(fromId)][KindOf(toId)]();
}

// A piece at a time through a small buffer that stays in the cache: copied
// in, converted there, appended. (Converting the result in place would read
// and write it where its address can alias the text's, which costs more.)
std::wstring Convert(const std::wstring& text, const CharMap& map) {
    constexpr std::size_t kPiece = 1024;
    wchar_t piece[kPiece];
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        const std::size_t n = std::min(kPiece, text.size() - at);
        std::copy_n(text.data() + at, n, piece);
        ascii_blocks::MapInPlace(piece, n, map.data(), kCp1251CharsEnd);
        result.append(piece, n);
    }
    return result;
}

}  // namespace

const ByteMap& Map2() {
    static const ByteMap map = Rows(kMap2);
    return map;
}

const ByteMap& Map3() {
    static const ByteMap map = Rows(kMap3);
    return map;
}

const ByteMap& Map5() {
    static const ByteMap map = BuildMap5();
    return map;
}

std::wstring RecodeTable(std::int32_t id) {
    std::wstring table(128, L'\0');
    const ByteMap* map = MapOf(id);
    for (int k = 0; k < 128; ++k)
        table[k] = Cp1251ToChar(static_cast<unsigned char>(map ? (*map)[k] : 0x80 + k));
    return table;
}

std::wstring RecodeText(const std::wstring& text, std::int32_t fromId, std::int32_t toId) {
    if (fromId == toId)
        return text;
    return Convert(text, CharMapOf(fromId, toId));
}

std::wstring WinToDos(const std::wstring& text) {
    return RecodeText(text, 1, 2);
}

std::wstring DosToWin(const std::wstring& text) {
    return RecodeText(text, 2, 1);
}

void WinToDosBytes(std::wstring_view text, char* out) {
    static const auto table = [] {
        std::array<unsigned char, kCp1251CharsEnd> t{};
        const CharMap& toDos = CharMapOf(1, 2);
        for (wchar_t c = 0; c < kCp1251CharsEnd; ++c) {
            const int b = CharToCp1251(static_cast<wchar_t>(toDos[c]));
            t[c] = static_cast<unsigned char>(b < 0 ? '?' : b);
        }
        return t;
    }();
    ascii_blocks::Narrow(text.data(), text.size(), out, table.data(), kCp1251CharsEnd);
}
