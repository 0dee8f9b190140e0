// Source files: how bytes on disk become the editor's lines, how the
// editor's text becomes bytes, and the paths taken from the caption.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "editor/document.h"
#include "editor/source_file.h"

namespace {

// Every line ends in CR LF whatever ended it on disk; a lone LF stays inside
// a line. The bytes are Windows-1251, taken without conversion.
TEST(ReadSourceText, EveryLineEndsInCrLfAndALoneLfStaysInside) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"A\r\nB\r\n", L"A\r\nB\r\n"},     {"A\r\nB", L"A\r\nB\r\n"},         {"A\rB\r", L"A\r\nB\r\n"},
        {"A\r\r\nB", L"A\r\n\r\nB\r\n"},   {"A\n\r\nB\n", L"A\n\r\nB\n\r\n"}, {"", L""},
        {"\x8F\xE0", L"\x040F\x0430\r\n"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(ReadSourceText(bytes), text) << bytes;
}

// Plain ASCII is read eight bytes at a time: a line end or a byte above 0x7F
// anywhere in such a run, or at its end, is still read as one byte alone is.
TEST(ReadSourceText, LineEndsAndUpperBytesAnywhereInALongRun) {
    const auto ended = [](const std::wstring& t) {
        return t.size() >= 2 && t.compare(t.size() - 2, 2, L"\r\n") == 0 ? t : t + L"\r\n";
    };
    const std::string run = "mov ax, word ptr [bx+si]";
    const std::pair<std::string, std::wstring> pieces[] = {
        {"\r", L"\r\n"}, {"\r\n", L"\r\n"}, {"\n", L"\n"}, {"\xE0", L"\x0430"}, {"\x98\r", L"\x98\r\n"}};
    for (const auto& [piece, wide] : pieces) {
        for (std::size_t at = 0; at <= run.size(); ++at) {
            const std::wstring before = DecodeCp1251(run.substr(0, at)) + wide;
            EXPECT_EQ(ReadSourceText(run.substr(0, at) + piece + run.substr(at)),
                      ended(before + DecodeCp1251(run.substr(at))));
            EXPECT_EQ(ReadSourceText(run.substr(0, at) + piece), ended(before)) << at;
        }
    }
}

TEST(SourceFileBytes, TheTextInTheDosCodePageThenOneCrLf) {
    EXPECT_EQ(SourceFileBytes(L""), "\r\n");
    EXPECT_EQ(SourceFileBytes(L"\u0430\u0431\u0432 \u0401\u0451 a\u4E2Db"), "\xA0\xA1\xA2 \xF0\xF1 a?b\r\n");
    EXPECT_EQ(SourceFileBytes(ReadSourceText("A\r\nB\r\n")), "A\r\nB\r\n\r\n");  // a save adds a line
}

// The base name is the file's name less its last four characters, whatever
// they are; nothing is left of a name of four characters or fewer.
TEST(DocumentPaths, FolderAndBaseNameComeFromTheLastComponent) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"D:\\src\\hello.asm", L"D:\\src\\", L"hello"},
        {L"C:\\work\\a.asm", L"C:\\work\\", L"a"},
        {L"C:\\my.dir\\x.asm.bak", L"C:\\my.dir\\", L"x.asm"},
        {L"C:\\abcd", L"C:\\", L""},
        {L"C:\\", L"C:\\", L""},
    };
    for (const auto& [path, folder, base] : cases) {
        EXPECT_EQ(DocumentFolder(path), folder);
        EXPECT_EQ(DocumentBaseName(path), base);
    }
}

}  // namespace
