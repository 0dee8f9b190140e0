// The main window's load step: the default document, the command-line file.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "fakes.h"

namespace {

TEST(Startup, WithoutACommandLineTheDocumentIsTheEmptyDefaultBesideTheProgram) {
    for (const wchar_t* folder : {L"C:\\Tools\\Korveline", L"E:\\"}) {
        FakeProgram p;
        FakeMainView view;
        MainFields fields;
        int registrations = 0;
        p.system.folder = folder;
        p.settings.tasmPath = L"stale";
        fields.doc.DocChanged = 1;
        RunMainLoadStep(p.context, fields, view, [&] { ++registrations; });
        // In a drive root the document goes to the root of the Windows drive.
        EXPECT_EQ(view.caption, folder[3] ? L"C:\\Tools\\Korveline\\asm1.asm" : L"D:\\asm1.asm");
        EXPECT_EQ(view.text, L"");
        EXPECT_EQ(fields.doc.DocChanged + fields.doc.DocHasName, 0);
        EXPECT_EQ(p.system.caretBlink, 700u);
        EXPECT_EQ(p.settings.tasmPath, L"");
        EXPECT_EQ(registrations, 1) << "the first start registers the association";
    }
}

// The whole command line is the path; one that names no file, or a file that
// cannot be read, leaves an unnamed empty document, so that a later Save
// cannot overwrite the unread file unasked.
TEST(Startup, TheCommandLineNamesTheFileToReadAsOneWholePath) {
    const std::wstring path = L"C:\\My Work\\\x43f\x440\x438.asm";
    const std::tuple<const wchar_t*, std::wstring, const wchar_t*> cases[] = {
        {path.c_str(), path, L"mov ax, 1\r\n\x41f\x440\x438\r\n\r\na\nb\r\nlast\r\n"},
        {L"\"C:\\My Work\\\x43f\x440\x438.asm\"", L" asm", L""},
        {L"C:\\w\\missing.asm", L" asm", L""},
        {L"C:\\w\\locked.asm", L"C:\\w\\locked.asm", L""},
    };
    for (const auto& [commandLine, caption, text] : cases) {
        FakeProgram p;
        FakeMainView view;
        MainFields fields;
        p.files.Put(path, "mov ax, 1\r\n\xCF\xF0\xE8\r\ra\nb\r\nlast");
        p.files.Put(L"C:\\w\\locked.asm", "important\r\n");
        p.files.fail[L"c:\\w\\locked.asm"] = 32;
        p.system.commandLine = commandLine;
        fields.doc.DocChanged = 1;
        RunMainLoadStep(p.context, fields, view, [] {});
        EXPECT_EQ(view.caption, caption);
        EXPECT_EQ(view.text, text);
        EXPECT_EQ(fields.doc.DocHasName, *text ? 1 : 0);
        EXPECT_EQ(fields.doc.DocChanged, 0);
    }
}

TEST(Startup, FailuresInTheLoadStepAreSkipped) {
    FakeProgram p;
    FakeMainView view;
    MainFields fields;
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    RunMainLoadStep(p.context, fields, view, [] {});
    EXPECT_EQ(view.caption, L"C:\\Tools\\Korveline\\asm1.asm");
    EXPECT_TRUE(p.messages.shown.empty());
}

}  // namespace
