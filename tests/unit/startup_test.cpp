// The main window's load step: the default document, the command-line file.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "fakes.h"

namespace {

// Without a command line the document is the empty default beside the
// program, or in the Windows drive's root when the program is in a drive
// root. A first start that may not write the settings goes on quietly.
TEST(Startup, WithoutACommandLineTheDocumentIsTheEmptyDefault) {
    for (const wchar_t* folder : {L"C:\\Tools\\Korveline", L"E:\\"}) {
        FakeProgram p;
        FakeMainView view;
        MainFields fields;
        int registrations = 0;
        p.system.folder = folder;
        p.settings.tasmPath = L"stale";
        fields.doc.DocChanged = 1;
        const bool refused = folder[3] == 0;
        if (refused)
            p.registry.refuseWrites.insert(RegRoot::LocalMachine);
        RunMainLoadStep(p.context, fields, view, [&] { ++registrations; });
        EXPECT_EQ(view.caption, refused ? L"D:\\asm1.asm" : L"C:\\Tools\\Korveline\\asm1.asm");
        EXPECT_EQ(view.text + p.settings.tasmPath, L"");
        EXPECT_EQ(fields.doc.DocChanged + fields.doc.DocHasName, 0);
        EXPECT_EQ(p.system.caretBlink, 700u);
        EXPECT_EQ(registrations, refused ? 0 : 1) << "the first start registers the association";
        EXPECT_TRUE(p.messages.shown.empty());
    }
}

// The whole command line is the path; one that names no file, or a file that
// cannot be read, leaves an unnamed empty document, so that a later Save
// cannot overwrite the unread file unasked.
TEST(Startup, TheCommandLineNamesTheFileToReadAsOneWholePath) {
    const std::wstring path = L"C:\\My Work\\\x43f.asm";
    const std::tuple<std::wstring, const wchar_t*, const wchar_t*> cases[] = {
        {path, path.c_str(), L"mov ax, 1\r\n\x41f\r\n\r\na\nb\r\nlast\r\n"},
        {L"\"" + path + L"\"", L" asm", L""},
        {L"C:\\w\\missing.asm", L" asm", L""},
        {L"C:\\w\\locked.asm", L"C:\\w\\locked.asm", L""},
    };
    for (const auto& [commandLine, caption, text] : cases) {
        FakeProgram p;
        FakeMainView view;
        MainFields fields;
        p.files.Put(path, "mov ax, 1\r\n\xCF\r\ra\nb\r\nlast");
        p.files.Put(L"C:\\w\\locked.asm", "important\r\n");
        p.files.fail[L"c:\\w\\locked.asm"] = 32;
        p.system.commandLine = commandLine;
        fields.doc.DocChanged = 1;
        RunMainLoadStep(p.context, fields, view, [] {});
        EXPECT_EQ(view.caption + L"|" + view.text, caption + (L"|" + std::wstring(text)));
        EXPECT_EQ(fields.doc.DocHasName, *text ? 1 : 0);
        EXPECT_EQ(fields.doc.DocChanged, 0);
    }
}

}  // namespace
