// Code-page conversion: the maps against real codecs where they follow the
// real code pages, and the conversions as the rest of the program uses them.
#include <gtest/gtest.h>

#include <set>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "editor/source_file.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

std::wstring Win(std::initializer_list<int> bytes) {
    std::wstring text;
    for (int b : bytes)
        text.push_back(Cp1251ToChar(static_cast<unsigned char>(b)));
    return text;
}

std::wstring AllBytes() {
    std::wstring text;
    for (int b = 0; b < 256; ++b)
        text.push_back(Cp1251ToChar(static_cast<unsigned char>(b)));
    return text;
}

TEST(Windows1251Codec, EveryByteRoundTripsAndOtherCharactersHaveNoByte) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(CharToCp1251(Cp1251ToChar(static_cast<unsigned char>(b))), b);
    for (wchar_t ch : {L'\u00E4', L'\u0400', L'\u0450', L'\u2130', L'\u4E2D', L'\uFFFF'})
        EXPECT_EQ(CharToCp1251(ch), -1) << static_cast<int>(ch);
    EXPECT_EQ(EncodeCp1251(L"a\u4E2D\u2116"), "a?\xB9");
}

TEST(RecodeMaps, EveryMapIsOneToOneOverTheUpperHalf) {
    for (const ByteMap* map : {&Map2(), &Map3(), &Map5()}) {
        std::set<int> targets;
        for (std::uint8_t t : *map) {
            EXPECT_GE(t, 0x80);
            targets.insert(t);
        }
        EXPECT_EQ(targets.size(), 128u);
    }
}

// Map 5 beyond the letters is the program's own choice: every character
// ISO 8859-5 has goes to its byte there (checked below), the rest fill
// 0x80 to 0x9F in order.
TEST(RecodeMaps, Map5FillsTheControlBytesInOrder) {
    int next = 0x80;
    for (int k = 0; k < 128; ++k) {
        if (Map5()[k] < 0xA0) {
            EXPECT_EQ(Map5()[k], next++) << std::hex << 0x80 + k;
        }
    }
    EXPECT_EQ(next, 0xA0);
}

#ifndef _WIN32
// One character through glibc's iconv: a byte of the code page to its code
// point, or a code point to its byte; -1 when the other side has none.
long Iconv(const char* to, const char* from, long value) {
    iconv_t cd = iconv_open(to, from);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << to << " " << from;
    char32_t wide = static_cast<char32_t>(value);
    char byte = static_cast<char>(value);
    char out[8] = {};
    const bool toByte = std::string(from) == "UTF-32LE";
    char* src = toByte ? reinterpret_cast<char*>(&wide) : &byte;
    std::size_t srcLeft = toByte ? 4 : 1, dstLeft = sizeof out;
    char* dst = out;
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    const std::size_t n = sizeof out - dstLeft;
    if (!ok || n != (toByte ? 1u : 4u))
        return -1;
    return toByte ? static_cast<unsigned char>(out[0]) : static_cast<long>(*reinterpret_cast<char32_t*>(out));
}

TEST(RecodeAgainstIconv, TheWindows1251CodecAndTheMapsFollowTheRealCodePages) {
    for (int b = 0; b < 256; ++b) {
        const long expected = b == 0x98 ? 0x98 : Iconv("UTF-32LE", "CP1251", b);  // 0x98 is unassigned: kept
        EXPECT_EQ(static_cast<long>(Cp1251ToChar(static_cast<unsigned char>(b))), expected) << std::hex << b;
    }
    // The Russian letters of each map go to their bytes in the real code page, and the text with them.
    const std::tuple<const char*, const ByteMap*, std::int32_t> maps[] = {
        {"CP866", &Map2(), 2}, {"KOI8-R", &Map3(), 3}, {"ISO-8859-5", &Map5(), 5}};
    for (const auto& [codePage, map, id] : maps) {
        for (int b = 0x80; b < 0x100; ++b) {
            const long target = Iconv(codePage, "UTF-32LE", Iconv("UTF-32LE", "CP1251", b));
            const bool letter = b >= 0xC0 || b == 0xA8 || b == 0xB8;
            // ISO 8859-5 keeps every character it shares with Windows-1251 at its own byte, KOI8-R its middle
            // dot.
            if (!letter && !(id == 5 && target >= 0xA0) && !(id == 3 && b == 0xB7))
                continue;
            EXPECT_EQ((*map)[b - 0x80], target) << codePage << " " << std::hex << b;
            EXPECT_EQ(RecodeText(Win({b}), 1, id), Win({static_cast<int>(target)}));
            EXPECT_EQ(RecodeText(Win({static_cast<int>(target)}), id, 1), Win({b}));
        }
    }
}
#endif

TEST(WinToDos, LettersTakeTheirDosBytesSymbolsTheFillBytesAndAsciiPassesEveryWay) {
    EXPECT_EQ(WinToDos(Win({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2})),
              Win({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}));  // Привет
    EXPECT_EQ(WinToDos(Win({0xB9, 0xA0, 0x80, 0xBF})),
              Win({0xFB, 0xD0, 0xB0, 0xFA}));  // №, no-break space, Ђ, ї
    EXPECT_EQ(DosToWin(Win({0xB0, 0xD8})), Win({0x80, 0xBE}));
    EXPECT_EQ(RecodeTable(2).substr(0, 2), Win({0xB0, 0xB1}));
    EXPECT_EQ(RecodeTable(7), AllBytes().substr(128));  // an id without a table is Windows-1251 itself
    const std::wstring ascii = L"mov ax, 4C00h\t; end\r\n\x01\x7f\u4E2D";
    for (std::int32_t from : {1, 2, 3, 5, 9})
        for (std::int32_t to : {1, 2, 3, 5, 9})
            EXPECT_EQ(RecodeText(ascii, from, to), ascii) << from << "->" << to;
}

TEST(WinToDos, RoundTripRestoresEveryWindows1251Text) {
    const std::wstring all = AllBytes();
    EXPECT_EQ(DosToWin(WinToDos(all)), all);
    EXPECT_EQ(WinToDos(DosToWin(all)), all);
    for (std::int32_t id : {3, 5})
        EXPECT_EQ(RecodeText(RecodeText(all, 1, id), id, 1), all) << id;
    EXPECT_EQ(RecodeText(RecodeText(all, 3, 5), 5, 3), all);
}

// The conversions look at whole blocks of ASCII at once: every character, in
// every position of a run longer than a block, converts as the maps define it
// alone, and the characters around it stay.
TEST(RecodeText, EveryCharacterInEveryPositionOfABlockConvertsAsTheMapsSay) {
    const std::wstring ascii = L"mov ax, word ptr [bx+si+4]\t; 0123456789";
    const auto alone = [](wchar_t ch, const ByteMap* from, const ByteMap* to) {
        int b = CharToCp1251(ch);
        if (b < 0x80)
            return ch;
        for (int k = 0; from && k < 128; ++k) {
            if ((*from)[k] == b) {
                b = 0x80 + k;
                break;
            }
        }
        return Cp1251ToChar(static_cast<unsigned char>(to ? (*to)[b - 0x80] : b));
    };
    std::wstring chars = AllBytes() + L"\u00E4\u2130\u4E2D\uFFFF";
    for (std::size_t at = 0; at < ascii.size(); ++at) {
        for (wchar_t ch : chars) {
            std::wstring text = ascii;
            text[at] = ch;
            std::wstring dos = ascii, win = ascii;
            dos[at] = alone(ch, nullptr, &Map2());
            win[at] = alone(ch, &Map2(), nullptr);
            ASSERT_EQ(WinToDos(text), dos) << at << " " << static_cast<int>(ch);
            ASSERT_EQ(DosToWin(text), win) << at << " " << static_cast<int>(ch);
            ASSERT_EQ(RecodeText(text, 3, 5)[at], alone(ch, &Map3(), &Map5()));
            std::string bytes = EncodeCp1251(ascii);
            const int b = CharToCp1251(dos[at]);
            bytes[at] = static_cast<char>(b < 0 ? '?' : b);
            ASSERT_EQ(EncodeCp1251(dos), bytes);
            ASSERT_EQ(SourceFileBytes(text), bytes + "\r\n");
        }
    }
}

}  // namespace
