// Code pages: the Windows-1251 codec and the conversions between Cyrillic code
// pages, against glibc's codecs.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "codepage/recode.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace {

#ifndef _WIN32
// One character through iconv, a byte to its code point or back; -1 for none.
long Iconv(const char* codePage, long value, bool toByte) {
    iconv_t cd = toByte ? iconv_open(codePage, "UTF-32LE") : iconv_open("UTF-32LE", codePage);
    char32_t wide = static_cast<char32_t>(value);
    char byte = static_cast<char>(value), out[8] = {};
    char* src = toByte ? reinterpret_cast<char*>(&wide) : &byte;
    std::size_t srcLeft = toByte ? 4 : 1, dstLeft = sizeof out;
    char* dst = out;
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok || sizeof out - dstLeft != (toByte ? 1u : 4u))
        return -1;
    return toByte ? static_cast<unsigned char>(out[0]) : static_cast<long>(*reinterpret_cast<char32_t*>(out));
}

// The codec is Windows-1251 (0x98 kept, "?" for what it lacks); each map's letters,
// ISO 8859-5's shared characters and KOI8-R's middle dot go to their real bytes.
TEST(RecodeAgainstIconv, TheCodecAndTheMapsFollowTheRealCodePages) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(Cp1251ToChar(static_cast<unsigned char>(b)), b == 0x98 ? 0x98 : Iconv("CP1251", b, false));
        EXPECT_EQ(CharToCp1251(Cp1251ToChar(static_cast<unsigned char>(b))), b);
    }
    EXPECT_EQ(EncodeCp1251(L"a\u4E2D\u2116\u0400\u00E4\u0080"), "a?\xB9???");
    const std::tuple<const char*, const ByteMap*, std::int32_t> maps[] = {
        {"CP866", &Map2(), 2}, {"KOI8-R", &Map3(), 3}, {"ISO-8859-5", &Map5(), 5}};
    for (const auto& [codePage, map, id] : maps) {
        for (int b = 0x80; b < 0x100; ++b) {
            const long target = Iconv(codePage, Iconv("CP1251", b, false), true);
            const bool letter = b >= 0xC0 || b == 0xA8 || b == 0xB8;
            if (!letter && !(id == 5 && target >= 0xA0) && !(id == 3 && b == 0xB7))
                continue;
            EXPECT_EQ((*map)[b - 0x80], target) << codePage << " " << std::hex << b;
            const std::wstring from = DecodeCp1251(std::string(1, char(b))),
                               to = DecodeCp1251(std::string(1, char(target)));
            EXPECT_EQ(RecodeText(from, 1, id) + RecodeText(to, id, 1), to + from);
        }
    }
}
#endif

// Map 5's other characters fill 0x80 to 0x9F in order; CP866 takes these symbols.
TEST(WinToDos, SymbolsTakeTheirFillBytesAndEveryConversionIsUndone) {
    int next = 0x80;
    for (std::uint8_t target : Map5())
        next += target < 0xA0 && target == next;
    EXPECT_EQ(next, 0xA0);
    EXPECT_EQ(WinToDos(DecodeCp1251("\xB9\xA0\x80\xBF")), DecodeCp1251("\xFB\xD0\xB0\xFA"));  // №, nbsp, Ђ, ї
    std::wstring all;
    for (int b = 0; b < 256; ++b)
        all.push_back(Cp1251ToChar(static_cast<unsigned char>(b)));
    EXPECT_EQ(DosToWin(WinToDos(all)), all);
    EXPECT_EQ(WinToDos(DosToWin(all)), all);
    for (std::int32_t id : {3, 5})
        EXPECT_EQ(RecodeText(RecodeText(all, 1, id), id, 1), all) << id;
    EXPECT_EQ(RecodeText(RecodeText(all, 3, 5), 5, 3), all);
    for (const auto& [id, map] :
         {std::pair{2, &Map2()}, {3, &Map3()}, {5, &Map5()}, {1, nullptr}, {9, nullptr}})
        for (int k = 0; k < 128; ++k)  // a table: the character of each byte's target, from 0x80 on
            ASSERT_EQ(RecodeTable(id)[k], all[map ? (*map)[k] : 0x80 + k]) << id;
}

}  // namespace
