// Source files: how bytes on disk become the editor's lines, how the
// editor's text becomes bytes, and the paths taken from the caption.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "editor/document.h"
#include "editor/source_file.h"
#include "fakes.h"

namespace {

TEST(ReadSourceText, EveryLineEndsInCrLfWhateverEndedItOnDiskAndALoneLfStaysInside) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"A\r\nB\r\n", L"A\r\nB\r\n"}, {"A\r\nB", L"A\r\nB\r\n"},  // no final line end
        {"A\rB\r", L"A\r\nB\r\n"},     {"A\r\r\nB", L"A\r\n\r\nB\r\n"},   {"\r\n\r\n", L"\r\n\r\n"},
        {"A\nB", L"A\nB\r\n"},         {"A\n\r\nB\n", L"A\n\r\nB\n\r\n"}, {"", L""},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(ReadSourceText(bytes), text) << bytes;
    // The bytes are taken as Windows-1251 without conversion: CP866 "Привет" shows as Џа...
    EXPECT_EQ(ReadSourceText("\x8F\xE0\xA8\xA2\xA5\xE2"), DecodeCp1251("\x8F\xE0\xA8\xA2\xA5\xE2") + L"\r\n");
}

TEST(SourceFileBytes, TheTextInTheDosCodePageThenOneCrLf) {
    EXPECT_EQ(SourceFileBytes(L""), "\r\n");
    EXPECT_EQ(SourceFileBytes(L"\u0430\u0431\u0432 \u0401\u0451"), "\xA0\xA1\xA2 \xF0\xF1\r\n");  // абв Ёё
    EXPECT_EQ(SourceFileBytes(L"a\u4E2Db"), "a?b\r\n");  // outside Windows-1251
    std::wstring text;
    for (int b = 1; b < 256; ++b)
        text.push_back(Cp1251ToChar(static_cast<unsigned char>(b)));
    EXPECT_EQ(SourceFileBytes(text), EncodeCp1251(WinToDos(text)) + "\r\n");
}

// Plain ASCII is read eight bytes at a time: a line end or a byte above 0x7F
// anywhere in such a run, or at the end, is still read as one byte alone is.
TEST(ReadSourceText, LineEndsAndUpperBytesAnywhereInALongRun) {
    const auto oneByOne = [](const std::string& bytes) {
        std::wstring text;
        bool open = false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            open = bytes[i] != '\r';
            text += open ? std::wstring(1, Cp1251ToChar(static_cast<unsigned char>(bytes[i]))) : L"\r\n";
            if (!open && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        }
        return open ? text + L"\r\n" : text;
    };
    const std::string run = "mov ax, word ptr [bx+si]";
    for (const std::string piece : {"\r", "\r\n", "\n", "\xE0", "\x98\r"}) {
        for (std::size_t at = 0; at <= run.size(); ++at) {
            const std::string bytes = run.substr(0, at) + piece + run.substr(at);
            EXPECT_EQ(ReadSourceText(bytes), oneByOne(bytes)) << at;
            EXPECT_EQ(ReadSourceText(bytes.substr(0, at + piece.size())),
                      oneByOne(bytes.substr(0, at + piece.size())));
        }
    }
}

TEST(SourceFileRoundTrip, SavingAReadFileAddsOneEmptyLine) {
    const std::wstring once = ReadSourceText("A\r\nB\r\n");
    EXPECT_EQ(SourceFileBytes(once), "A\r\nB\r\n\r\n");
}

TEST(DocumentPaths, FolderAndBaseNameComeFromTheLastComponent) {
    EXPECT_EQ(DocumentFolder(L"D:\\src\\hello.asm"), L"D:\\src\\");
    EXPECT_EQ(DocumentBaseName(L"D:\\src\\hello.asm"), L"hello");
    EXPECT_EQ(DocumentFolder(L"C:\\asm1.asm"), L"C:\\");
    EXPECT_EQ(DocumentFolder(L"C:\\work\\prog.asm"), L"C:\\work\\");
    EXPECT_EQ(DocumentBaseName(L"C:\\work\\prog.a"), L"pr");
    EXPECT_EQ(DocumentBaseName(L"C:\\work\\program"), L"pro");
    EXPECT_EQ(DocumentBaseName(L"C:\\work\\a.asm"), L"a");  // five characters leave one
    EXPECT_EQ(DocumentBaseName(L"C:\\my.dir\\x.asm.bak"), L"x.asm");
}

// Nothing is left of a name of four characters or fewer; the build refuses it.
TEST(DocumentPaths, ShortNamesHaveAnEmptyBaseName) {
    EXPECT_EQ(DocumentBaseName(L"C:\\a.as"), L"");
    EXPECT_EQ(DocumentBaseName(L"C:\\abcd"), L"");
    EXPECT_EQ(DocumentBaseName(L"C:\\"), L"");
    EXPECT_EQ(DocumentFolder(L"C:\\"), L"C:\\");
}

TEST(AssignEditorText, OnlyADifferentTextCountsAsAChange) {
    FakeMainView view;
    DocumentState doc;
    view.text = L"same";
    AssignEditorText(view, doc, L"same");
    EXPECT_EQ(doc.DocChanged, 0);
    EXPECT_EQ(view.setTextCount, 0);
    AssignEditorText(view, doc, L"other");
    EXPECT_EQ(doc.DocChanged, 1);
    EXPECT_EQ(view.text, L"other");
}

}  // namespace
