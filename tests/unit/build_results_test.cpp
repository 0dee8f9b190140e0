// The assembler's messages read from its listing, and what a finished build
// shows: its rows, whether it is worth a window, and where a row's line is.
#include <gtest/gtest.h>

#include "compile/build_listing.h"
#include "compile/build_results.h"
#include "fakes.h"

namespace {

struct LineCase {
    std::string bytes;
    bool message;
    MessageKind kind;
    std::wstring file;
    std::size_t line;
    std::wstring text;
};

TEST(BuildListing, ReadsTheAssemblersMessageLinesAndNothingElse) {
    const LineCase cases[] = {
        {"**Error** C:\\WORK\\HELLO.ASM(12) Undefined symbol: FOO\r\n", true, MessageKind::Error,
         L"C:\\WORK\\HELLO.ASM", 12, L"Undefined symbol: FOO"},
        {"*Warning* C:\\MY WORK\\HELLO.ASM(7) Argument needs type override", true, MessageKind::Warning,
         L"C:\\MY WORK\\HELLO.ASM", 7, L"Argument needs type override"},
        // Cyrillic in the DOS code page.
        {"**Error** HELLO.ASM(3) \x8E\xE8\xA8\xA1\xAA\xA0 (1)\r\n", true, MessageKind::Error, L"HELLO.ASM", 3,
         L"\x041E\x0448\x0438\x0431\x043A\x0430 (1)"},
        {"**Fatal** Command line: Can't locate file: X(1) \r\n", true, MessageKind::Fatal, L"", 0,
         L"Command line: Can't locate file: X(1)"},
        {"**Error** HELLO.ASM(40) MYMAC(2) Undefined symbol\n", true, MessageKind::Error, L"HELLO.ASM", 40,
         L"MYMAC(2) Undefined symbol"},
        {"      5  0000  B8 0000s   mov ax, foo ; **Error** not here\r\n", false, {}, L"", 0, L""},
        {"*Warnings* 1\r\n", false, {}, L"", 0, L""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.bytes);
        const ParsedListing parsed = ParseListing(c.bytes);
        ASSERT_EQ(parsed.messages.size(), c.message ? 1u : 0u);
        if (!c.message)
            continue;
        const AssemblerMessage& m = parsed.messages[0];
        EXPECT_EQ(m.kind, c.kind);
        EXPECT_EQ(m.file, c.file);
        EXPECT_EQ(m.line, c.line);
        EXPECT_EQ(m.text, c.text);
    }
}

TEST(BuildListing, ALargeListingAndOneStillBeingWritten) {
    std::string listing;
    while (listing.size() < (2u << 20))
        listing +=
            "    123  0000  B8 4C00       mov ax, 4c00h  ; \xAA\xAE\xAC\xAC\xA5\xAD\xE2\xA0\xE0\xA8\xA9\r\n";
    listing += "**Error** A.ASM(1) first\r\n" + listing + "*Warning* A.ASM(2) second\r\n**Error** A.ASM(3";
    const ParsedListing growing = ParseListing(listing, false);
    ASSERT_EQ(growing.messages.size(), 2u);
    EXPECT_EQ(growing.messages[1].text, L"second");
    EXPECT_EQ(growing.consumed, listing.rfind('\n') + 1);
    EXPECT_EQ(ParseListing(listing.substr(growing.consumed) + ") third\r\n").messages.at(0).line, 3u);
    EXPECT_TRUE(ParseListing("").messages.empty());
}

TEST(BuildResults, RowsForMessagesListingAndOutput) {
    const ScriptOutputs out{L"C:\\My Work\\hello.asm", L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\MYWORK~1\\hello",
                            L"C:\\MYWORK~1\\hello.exe"};
    const std::uint64_t start = 500000000;
    struct Case {
        const char* listing;  // nullptr: none
        std::uint64_t listingTime, outputTime;
        int outputSize;  // -1: no output
        std::vector<std::wstring> rows;
        bool worthShowing;
    } cases[] = {
        {"**Error** C:\\MYWORK~1\\HELLO.ASM(4) bad\r\n*Warning* HELLO.ASM(9) odd\r\n"
         "**Error** DEFS.INC(5) there\r\n",
         start,
         0,
         -1,
         {L"Error|4|bad|4", L"Warning|9|odd|9", L"Error|DEFS.INC(5)|there|0",
          L"Output||No output: hello.exe was not written.|0"},
         true},
        {nullptr,
         0,
         start,
         1234,
         {L"Listing||The assembler wrote no listing (hello.LST), so its messages cannot be shown here.|0",
          L"Output||hello.exe written, 1,234 bytes|0"},
         true},
        {"clean\r\n", start, start - 15000000, 20, {L"Output||hello.exe written, 20 bytes|0"}, false},
        {"**Error** HELLO.ASM(1) old\r\n",
         start - 30000000,
         start - 30000000,
         20,
         {L"Listing||The assembler wrote no listing (hello.LST), so its messages cannot be shown here.|0",
          L"Output||No output: hello.exe is from an earlier build; this one wrote none.|0"},
         true},
    };
    for (const Case& c : cases) {
        FakeFileSystem files;
        if (c.listing) {
            files.Put(L"C:\\MYWORK~1\\hello.LST", c.listing);
            files.SetWriteTime(L"C:\\MYWORK~1\\hello.LST", c.listingTime);
        }
        if (c.outputSize >= 0) {
            files.Put(out.outputPath, std::string(static_cast<std::size_t>(c.outputSize), 'x'));
            files.SetWriteTime(out.outputPath, c.outputTime);
        }
        const BuildResults results = CollectBuildResults(out, start, files);
        std::vector<std::wstring> rows;
        for (const ResultRow& r : results.rows)
            rows.push_back(r.kind + L"|" + r.where + L"|" + r.text + L"|" + std::to_wstring(r.line));
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(results.worthShowing, c.worthShowing);
    }
}

TEST(BuildResults, AnAssemblerLineIsFoundInTheEditorsText) {
    const std::wstring text = L"one\r\ntwo\nthree\r\n";  // a lone LF ends a line for the assembler only
    const std::pair<std::size_t, std::size_t> expected[] = {{0, 3}, {5, 8}, {9, 14}, {16, 16}, {16, 16}};
    for (std::size_t line = 1; line <= 5; ++line) {
        const TextSpan span = AssemblerLineSpan(text, line);
        EXPECT_EQ(std::make_pair(span.start, span.end), expected[line - 1]) << "line " << line;
    }
}

}  // namespace
