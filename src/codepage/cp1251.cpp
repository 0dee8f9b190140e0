#include "codepage/cp1251.h"

#include <array>

#include "codepage/ascii_blocks.h"

namespace {

// Windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<wchar_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// One table below kCp1251CharsEnd gives each character its byte, 0 for none.
constexpr wchar_t kReverseEnd = kCp1251CharsEnd;

const std::array<unsigned char, kReverseEnd>& Reverse() {
    static const auto table = [] {
        std::array<unsigned char, kReverseEnd> t{};
        for (int b = 0x80; b < 0x100; ++b)
            t[Cp1251ToChar(static_cast<unsigned char>(b))] = static_cast<unsigned char>(b);
        return t;
    }();
    return table;
}

// The byte of every character below kCp1251CharsEnd, '?' for none.
const std::array<unsigned char, kCp1251CharsEnd>& EncodeTable() {
    static const auto table = [] {
        std::array<unsigned char, kCp1251CharsEnd> t{};
        for (wchar_t c = 0; c < kCp1251CharsEnd; ++c) {
            const int b = CharToCp1251(c);
            t[c] = static_cast<unsigned char>(b < 0 ? '?' : b);
        }
        return t;
    }();
    return table;
}

}  // namespace

wchar_t Cp1251ToChar(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return static_cast<wchar_t>(0x0410 + (byte - 0xC0));
    return kUpperHalf[byte - 0x80];
}

int CharToCp1251(wchar_t ch) {
    if (ch < 0x80)
        return ch;
    if (ch >= kReverseEnd)
        return -1;
    const unsigned char byte = Reverse()[ch];
    return byte ? byte : -1;
}

std::wstring DecodeCp1251(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        text[i] = Cp1251ToChar(static_cast<unsigned char>(bytes[i]));
    return text;
}

std::string EncodeCp1251(std::wstring_view text) {
    std::string bytes(text.size(), '\0');
    ascii_blocks::Narrow(text.data(), text.size(), bytes.data(), EncodeTable().data(), kCp1251CharsEnd);
    return bytes;
}
