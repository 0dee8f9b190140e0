// The document: source files read and written (line ends, the code page), the caption's paths, and the File
// menu: what each command asks, writes, shows and leaves.
#include <gtest/gtest.h>

#include "codepage/cp1251.h"
#include "editor/document_commands.h"
#include "editor/source_file.h"
#include "fakes.h"

namespace {

// The file o holds a text, r is read-only, f can be neither read nor written; n is none yet.
struct Scene {
    FakeProgram p;
    Document doc;
    CommonDialog dialog{p.dialogs};
    DocumentCommands commands{p.platform, doc, dialog};

    Scene(Text path, int named, Text typed) {
        p.files.Put(L"o", "A\rB\nC");
        p.files.Put(L"r", "ro\r\n", 0x21);  // read-only among other attributes
        p.files.Put(L"f", "f\r\n");
        p.files.fail[L"f"] = 112;
        doc.SetPath(path);
        doc.ReplaceSelection(typed);
        doc.DocHasName = static_cast<std::int16_t>(named);
    }
    // The flags, path and text; then in order: the question, the file dialog with its
    // file name, the writes and what it said (a question Yes/No, the rest OK with a stop sign).
    std::wstring Outcome() {
        std::wstring s = L"changed " + std::to_wstring(doc.DocChanged) + L", named " +
                         std::to_wstring(doc.DocHasName) + L", path " + doc.Path() + L", text [" +
                         doc.Text() + L"]",
                     said;
        for (const auto& m : p.messages.shown) {
            const bool question = m.text == kNewQuestion || m.text == kExitQuestion;
            (question ? s : said) += m.text == kNewQuestion                           ? L"; new asks to save"
                                     : m.text == kExitQuestion                        ? L"; exit asks to save"
                                     : m.text == kReadOnlyText                        ? L"; says read-only"
                                     : m.text == SaveFailureText(L"f", L"Error 112.") ? L"; says failed"
                                                                                      : L"; says " + m.text;
            if (m.style != (question ? 68u : 16u))
                s += L" (style " + std::to_wstring(m.style) + L")";
        }
        for (const auto& d : p.dialogs.shown)
            s += (d.save ? L"; save dialog" : L"; open dialog") +
                 (d.request.fileName.empty() ? L"" : L" at " + d.request.fileName);
        for (const std::wstring& w : p.files.log)
            s += L"; " + w;
        return s + said;
    }
};

// Every line ends in CR LF whatever ended it on disk; a lone LF stays inside a line; the bytes are
// Windows-1251. ASCII is read eight bytes at a time: a line end or upper byte anywhere reads as alone.
TEST(ReadSourceText, EveryLineEndsInCrLfAnywhereInALongRun) {
    const auto ended = [](std::wstring t) {
        return t.size() > 1 && t.rfind(L"\r\n") == t.size() - 2 ? t : t + L"\r\n";
    };
    const std::string run = "mov ax, word ptr [bx+si]";
    const std::pair<std::string, std::wstring> pieces[] = {
        {"\r", L"\r\n"},         {"\r\n", L"\r\n"},       {"\n", L"\n"},         {"\xE0", L"\x0430"},
        {"\x98\r", L"\x98\r\n"}, {"\r\r\n", L"\r\n\r\n"}, {"\n\r\n", L"\n\r\n"}, {"\x8F", L"\x040F"}};
    EXPECT_EQ(ReadSourceText(""), L"");
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

// Listeners hear of every change: the path, a whole new text, an edit from its first line (an undo
// from the higher of the lines the caret leaves and lands on), a selection. A build's round trip through
// the DOS code page assigns a text with Cyrillic again, marking it changed; either way Undo is emptied.
TEST(Document, ListenersHearOfEveryChangeAndItsFirstLine) {
    struct Heard : Document::Listener {
        std::string log;
        void DocumentChanged(DocumentChange change, std::size_t fromLine) override {
            log += "PRES"[static_cast<int>(change)] + std::to_string(fromLine) + " ";
        }
    } heard;
    Document doc;
    doc.Listen(heard);
    doc.SetPath(L"p");
    doc.Load(L"a\r\nb\r\nc");
    doc.Select(6, 6);
    doc.ReplaceSelection(L"x\r\ny");
    doc.DocChanged = 0;
    doc.Undo();
    doc.Undo();
    doc.ShowDosRoundTrip();
    const std::wstring ascii =
        doc.Text() + std::to_wstring(doc.DocChanged) + std::to_wstring(doc.Model().CanUndo());
    doc.Assign(L"\u0411");  // the program's own assignment: a change when the text differs
    doc.DocChanged = 0;
    doc.Assign(L"\u0411");  // the same text: no change
    doc.Assign(L"\u0412");  // another as long
    doc.ShowDosRoundTrip();
    EXPECT_EQ(heard.log, "P0 R0 S0 E2 E2 E2 R0 R0 R0 ");
    EXPECT_EQ(ascii + doc.Text() + std::to_wstring(doc.DocChanged) + std::to_wstring(doc.Model().CanUndo()) +
                  std::to_wstring(doc.Generation()),
              L"a\r\nb\r\nx\r\nyc10\u0412101");
}

// A cancel or a read-only refusal settles a save under the caption; Save As keeps
// the old binding when nothing was saved; New clears unless the save failed, and
// leaves the document changed and unnamed; a failed read or dialog (!) changes nothing.
TEST(DocumentCommands, WhatEachCommandAsksWritesAndLeaves) {
    const std::tuple<char, const wchar_t*, int, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        // S(ave), (save) A(s), N(ew), (e)X(it) or O(pen); path, named, the file chosen ("!": the dialog
        // fails), the answer to the question ("-": the document is unchanged); outcome
        {'S', L"p", 1, L"", L"", L"changed 0, named 1, path p, text [t]; write p"},
        {'S', L"f", 1, L"", L"", L"changed 1, named 1, path f, text [t]; write f; says failed"},
        {'S', L"p", 0, L"o", L"", L"changed 0, named 1, path o, text [t]; save dialog at p; write o"},
        {'S', L"p", 0, L"n", L"", L"changed 0, named 1, path n, text [t]; save dialog at p; write n"},  // new
        {'S', L"p", 0, L"", L"", L"changed 0, named 1, path p, text [t]; save dialog at p"},
        {'S', L"p", 0, L"r", L"", L"changed 0, named 1, path p, text [t]; save dialog at p; says read-only"},
        {'S', L"p", 0, L"f", L"",
         L"changed 1, named 0, path p, text [t]; save dialog at p; write f; says failed"},
        {'S', L"p", 0, L"!", L"", L"changed 1, named 0, path p, text [t]; save dialog at p"},
        {'A', L"p", 1, L"o", L"", L"changed 0, named 1, path o, text [t]; save dialog at p; write o"},
        {'A', L"p", 1, L"", L"", L"changed 0, named 1, path p, text [t]; save dialog at p"},
        {'A', L"p", 1, L"f", L"",
         L"changed 1, named 1, path p, text [t]; save dialog at p; write f; says failed"},
        {'N', L"p", 1, L"", L"-", L"changed 0, named 1, path p, text [t]"},  // unchanged
        {'N', L"p", 1, L"", L"N", L"changed 1, named 0, path p, text []; new asks to save"},
        {'N', L"p", 1, L"o", L"Y",
         L"changed 1, named 0, path o, text []; new asks to save; save dialog at p; write o"},
        {'N', L"p", 1, L"", L"Y", L"changed 1, named 0, path p, text []; new asks to save; save dialog at p"},
        {'N', L"p", 1, L"r", L"Y",
         L"changed 1, named 0, path p, text []; new asks to save; save dialog at p; says read-only"},
        {'N', L"p", 1, L"f", L"Y",
         L"changed 1, named 1, path p, text [t]; new asks to save; save dialog at p; write f; says failed"},
        {'N', L"p", 1, L"!", L"Y",
         L"changed 1, named 1, path p, text [t]; new asks to save; save dialog at p"},
        {'X', L"p", 1, L"", L"-", L"changed 0, named 1, path p, text [t]"},  // unchanged
        {'X', L"p", 1, L"", L"N", L"changed 1, named 1, path p, text [t]; exit asks to save"},
        {'X', L"p", 1, L"", L"Y", L"changed 0, named 1, path p, text [t]; exit asks to save; write p"},
        {'X', L"p", 0, L"o", L"Y",
         L"changed 0, named 1, path o, text [t]; exit asks to save; save dialog at p; write o"},
        {'O', L"p", 1, L"o", L"", L"changed 0, named 1, path o, text [A\r\nB\nC\r\n]; open dialog"},
        {'O', L"p", 1, L"", L"", L"changed 1, named 1, path p, text [t]; open dialog"},
        {'O', L"p", 1, L"f", L"", L"changed 1, named 1, path p, text [t]; open dialog"},
        {'O', L"p", 1, L"!", L"", L"changed 1, named 1, path p, text [t]; open dialog"},
    };
    for (const auto& [command, path, named, choice, answer, outcome] : cases) {
        Scene s(path, named, L"t");
        if (*answer == L'-')
            s.doc.DocChanged = 0;
        s.p.dialogs.fail = *choice == L'!';
        s.p.dialogs.Choose(choice);
        s.p.messages.answers = {*answer == L'Y' ? kIdYes : kIdNo};
        DocumentCommands& c = s.commands;
        command == 'S'   ? c.mnuSave_Click()
        : command == 'A' ? c.mnuSaveAs_Click()
        : command == 'N' ? c.mnuNew_Click()
        : command == 'X' ? c.ExitCheck()
                         : c.mnuOpen_Click();
        EXPECT_EQ(s.Outcome(), outcome) << command;
        // A save ends the editor's undo memory; anything else that leaves the text keeps it.
        const bool saved =
            !s.p.files.log.empty() && std::wstring(outcome).find(L"failed") == std::wstring::npos;
        EXPECT_EQ(s.doc.Model().CanUndo(), s.doc.Text() == L"t" && !saved) << outcome;
    }
}

}  // namespace
