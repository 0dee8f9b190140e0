// Code-page conversion: the maps against real codecs where they follow the
// real code pages, against the rows as given where they do not, and the
// conversions as the rest of the program uses them.
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

// Map 2 outside the letters fills what CP866's letters leave, as the rows give it.
TEST(RecodeMaps, Map2OutsideTheLettersFollowsTheGivenRows) {
    const ByteMap& map = Map2();
    for (int b = 0x80; b <= 0xA7; ++b)
        EXPECT_EQ(map[b - 0x80], 0xB0 + (b - 0x80)) << std::hex << b;
    for (int b = 0xA9; b <= 0xAF; ++b)
        EXPECT_EQ(map[b - 0x80], 0xD9 + (b - 0xA9)) << std::hex << b;
    for (int b = 0xB0; b <= 0xB7; ++b)
        EXPECT_EQ(map[b - 0x80], 0xF2 + (b - 0xB0)) << std::hex << b;
    for (int b = 0xB9; b <= 0xBD; ++b)
        EXPECT_EQ(map[b - 0x80], 0xFB + (b - 0xB9)) << std::hex << b;
    EXPECT_EQ(map[0xBE - 0x80], 0xD8);
    EXPECT_EQ(map[0xBF - 0x80], 0xFA);
}

TEST(RecodeMaps, Map3OutsideTheLettersFollowsTheGivenRows) {
    // Rows 80 to B0 of map 3 as given (the letters' rows are checked against KOI8-R).
    const int rows[64] = {
        0x90, 0x91, 0x92, 0x81, 0x87, 0xB2, 0xB4, 0xA7, 0xA6, 0xB5, 0xA1, 0xA8, 0xAE, 0xAD, 0xAC, 0x83,
        0x84, 0x89, 0x88, 0x86, 0x80, 0x8A, 0xAF, 0xB0, 0xAB, 0xA5, 0xBB, 0xB8, 0xB1, 0xA0, 0xBE, 0xB9,
        0xBA, 0xB6, 0xB7, 0xAA, 0xA9, 0xA2, 0xA4, 0xBD, 0xB3, 0x85, 0x82, 0x8D, 0x8C, 0x8E, 0x8F, 0x8B,
        0x99, 0x98, 0x93, 0x9B, 0x9F, 0x97, 0x9C, 0x9E, 0xA3, 0x96, 0x9A, 0x9D, 0x94, 0xBF, 0xBC, 0x95,
    };
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(Map3()[k], rows[k]) << std::hex << 0x80 + k;
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
bool IsRussianLetter(int b) {
    return b >= 0xC0 || b == 0xA8 || b == 0xB8;
}

// One byte through glibc's iconv; -1 when the code page has no such character.
class Codec {
  public:
    Codec(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Codec() {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    std::string Convert(const std::string& in) {
        std::string out(16, '\0');
        char* src = const_cast<char*>(in.data());
        char* dst = out.data();
        std::size_t srcLeft = in.size(), dstLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return {};
        out.resize(out.size() - dstLeft);
        return out;
    }

  private:
    iconv_t cd_;
};

std::string Utf32(char32_t c) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((c >> (8 * i)) & 0xFF);
    return s;
}

// The character of a byte in the named code page, by iconv; 0 when it has none.
char32_t Decode(const char* codePage, int byte) {
    Codec codec("UTF-32LE", codePage);
    const std::string out = codec.Convert(std::string(1, static_cast<char>(byte)));
    if (out.size() != 4)
        return 0;
    char32_t c = 0;
    for (int i = 3; i >= 0; --i)
        c = (c << 8) | static_cast<unsigned char>(out[i]);
    return c;
}

// The byte of a character in the named code page, by iconv; -1 when it has none.
int Encode(const char* codePage, char32_t c) {
    Codec codec(codePage, "UTF-32LE");
    const std::string out = codec.Convert(Utf32(c));
    return out.size() == 1 ? static_cast<unsigned char>(out[0]) : -1;
}

TEST(RecodeAgainstIconv, TheProgramsWindows1251CodecAgreesWithIconv) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue;  // unassigned; the program keeps it as U+0098
        EXPECT_EQ(static_cast<char32_t>(Cp1251ToChar(static_cast<unsigned char>(b))), Decode("CP1251", b))
            << std::hex << b;
    }
}

// For each map: the Windows-1251 byte of each Russian letter goes to that
// letter's byte in the real code page, and so does the text.
void ExpectLettersFollow(const char* codePage, const ByteMap& map, std::int32_t id) {
    ASSERT_TRUE(Codec("UTF-32LE", codePage).Ok()) << codePage;
    int letters = 0;
    for (int b = 0x80; b < 0x100; ++b) {
        if (!IsRussianLetter(b))
            continue;
        ++letters;
        const int expected = Encode(codePage, Decode("CP1251", b));
        ASSERT_GE(expected, 0x80) << codePage << " " << std::hex << b;
        EXPECT_EQ(map[b - 0x80], expected) << codePage << " " << std::hex << b;
        EXPECT_EQ(RecodeText(Win({b}), 1, id), Win({expected}));
        EXPECT_EQ(RecodeText(Win({expected}), id, 1), Win({b}));
    }
    EXPECT_EQ(letters, 66);
}

TEST(RecodeAgainstIconv, Map2LettersAreCp866) {
    ExpectLettersFollow("CP866", Map2(), 2);
}
TEST(RecodeAgainstIconv, Map3LettersAreKoi8R) {
    ExpectLettersFollow("KOI8-R", Map3(), 3);
}
TEST(RecodeAgainstIconv, Map5LettersAreIso8859_5) {
    ExpectLettersFollow("ISO-8859-5", Map5(), 5);
}

TEST(RecodeAgainstIconv, Map3KeepsKoi8RsMiddleDot) {
    EXPECT_EQ(Map3()[0xB7 - 0x80], Encode("KOI8-R", 0x00B7));
}

TEST(RecodeAgainstIconv, Map5SendsEveryCharacterIso8859_5HasToItsByte) {
    int shared = 0;
    for (int b = 0x80; b < 0x100; ++b) {
        const int iso = Encode("ISO-8859-5", Decode("CP1251", b));
        if (b == 0x98 || iso < 0xA0)
            continue;
        ++shared;
        EXPECT_EQ(Map5()[b - 0x80], iso) << std::hex << b;
    }
    EXPECT_EQ(shared, 96);
}
#endif

TEST(WinToDos, CyrillicWordBecomesItsCp866Bytes) {
    // Привет
    EXPECT_EQ(WinToDos(Win({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2})), Win({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2}));
}

TEST(WinToDos, SymbolsOutsideTheLettersTakeTheFillBytes) {
    EXPECT_EQ(WinToDos(Win({0xB9})), Win({0xFB}));  // №
    EXPECT_EQ(WinToDos(Win({0xA0})), Win({0xD0}));  // no-break space
    EXPECT_EQ(DosToWin(Win({0xB0})), Win({0x80}));  // a CP866 shade character
}

TEST(WinToDos, AsciiAndControlCharactersPassUnchangedEveryWay) {
    const std::wstring ascii = L"mov ax, 4C00h\t; end\r\n\x01\x7f";
    for (std::int32_t from : {1, 2, 3, 5}) {
        for (std::int32_t to : {1, 2, 3, 5}) {
            EXPECT_EQ(RecodeText(ascii, from, to), ascii) << from << "->" << to;
            EXPECT_EQ(RecodeText(L"", from, to), L"");
        }
    }
}

TEST(WinToDos, RoundTripRestoresEveryWindows1251Text) {
    const std::wstring all = AllBytes();
    EXPECT_EQ(DosToWin(WinToDos(all)), all);
    EXPECT_EQ(WinToDos(DosToWin(all)), all);
    for (std::int32_t id : {3, 5})
        EXPECT_EQ(RecodeText(RecodeText(all, 1, id), id, 1), all) << id;
    EXPECT_EQ(WinToDos(all).size(), all.size());
}

TEST(RecodeText, SameIdsReturnTheTextAsItIs) {
    const std::wstring text = AllBytes() + L"\u00E4\u4E2D";
    for (std::int32_t id : {1, 2, 3, 5, 4, 0})
        EXPECT_EQ(RecodeText(text, id, id), text);
}

TEST(RecodeText, ConvertsBetweenTwoDosPagesThroughWindows1251) {
    EXPECT_EQ(RecodeText(Win({0xE1}), 3, 2), Win({0x80}));  // KOI8-R А to CP866 А
    EXPECT_EQ(RecodeText(Win({0x80}), 2, 3), Win({0xE1}));
    EXPECT_EQ(RecodeText(Win({0xB0}), 5, 2), Win({0x80}));  // ISO 8859-5 А to CP866 А
}

TEST(RecodeText, CharactersWindows1251LacksPassUnchanged) {
    const std::wstring text = L"a\u00E4\u4E2D\u20AC";  // ä and 中 are not in Windows-1251; € is (0x88)
    EXPECT_EQ(WinToDos(text), std::wstring(L"a\u00E4\u4E2D") + Win({Map2()[0x08]}));
}

// Ids without a table are taken as Windows-1251, so nothing is lost.
TEST(RecodeText, IdsWithoutATableActAsWindows1251) {
    const std::wstring all = AllBytes();
    EXPECT_EQ(RecodeText(all, 4, 1), all);
    EXPECT_EQ(RecodeText(all, 1, 4), all);
    EXPECT_EQ(RecodeText(all, 4, 2), WinToDos(all));
    EXPECT_EQ(RecodeText(all, 2, 99), DosToWin(all));
    EXPECT_EQ(RecodeTable(4), RecodeTable(1));
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
