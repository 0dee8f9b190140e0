// Code-page conversion: the maps against real codecs where they follow the
// real code pages, against the rows as given where they do not, and the
// conversions as the rest of the program uses them.
#include <gtest/gtest.h>

#include <set>

#include "codepage/cp1251.h"
#include "codepage/recode.h"

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

}  // namespace
