// The main window's load step, and the .asm association.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "fakes.h"
#include "shell/file_association.h"

namespace {

// The command line is one whole path; else the default beside the program (in a
// drive root, in the Windows drive's). A file not read leaves the document unnamed.
TEST(Startup, TheDocumentIsTheCommandLineFileOrTheEmptyDefault) {
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\Tools", L"", L"C:\\Tools\\asm1.asm", L""},
        {L"E:\\", L"", L"D:\\asm1.asm", L""},
        {L"C:\\Tools", L"C:\\M W\\\x43f.a", L"C:\\M W\\\x43f.a", L"mov\r\n\x41f\r\n\r\na\nb\r\n"},
        {L"C:\\Tools", L"\"C:\\M W\\\x43f.a\"", L" asm", L""},
        {L"C:\\Tools", L"C:\\w\\locked.asm", L"C:\\w\\locked.asm", L""},
    };
    for (const auto& [folder, commandLine, caption, text] : cases) {
        FakeProgram p;
        Document doc;
        doc.FollowCaption(L" asm");
        MainFields fields;
        int registrations = 0;
        p.files.Put(L"C:\\M W\\\x43f.a", "mov\r\n\xCF\r\ra\nb");
        p.files.Put(L"C:\\w\\locked.asm", "important\r\n");
        p.files.fail[L"c:\\w\\locked.asm"] = 32;
        p.system.folder = folder, p.system.commandLine = commandLine;
        p.settings.tasmPath = L"stale";
        p.registry.refuseWrites = {RegRoot::LocalMachine};
        doc.DocChanged = 1;
        RunMainLoadStep(p.context, fields, doc, [&] { ++registrations; });
        EXPECT_EQ(doc.Path() + L"|" + doc.Text() + p.settings.tasmPath,
                  caption + (L"|" + std::wstring(text)));
        EXPECT_EQ(doc.DocHasName, *text ? 1 : 0);
        EXPECT_EQ(doc.DocChanged + registrations, 0);
        EXPECT_TRUE(p.system.caretBlink == 700 && p.messages.shown.empty());
    }
}

// Registering replaces what .asm held; removing leaves other programs' sub-keys;
// a refused write stops before the flag.
TEST(Association, ToggleRegistersOverAnOldRegistrationAndRemovesOnlyItsOwnKeys) {
    FakeProgram p;
    bool checked = false;  // mnuReg
    const auto read = [&](Text key, const wchar_t* name = L"") {
        return p.registry.ReadValue(RegRoot::ClassesRoot, key, name).text;
    };
    const wchar_t kCommand[] = L"Korveline.Qorvath\\Shell\\Open\\command";
    p.registry.Set(RegRoot::ClassesRoot, L".asm", L"PerceivedType", RegText(L"text"));
    p.system.folder = L"C:\\My Tools";
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_EQ(read(L".asm") + L"|" + read(L".asm", L"Content Type"), L"Korveline.Qorvath|Korveline");
    EXPECT_EQ(read(kCommand) + L"|" + read(L"Korveline.Qorvath\\DefaultIcon"),
              L"C:\\My Tools\\korveline.exe %1|C:\\My Tools\\korveline.exe,0");
    EXPECT_FALSE(p.registry.Has(RegRoot::ClassesRoot, L".asm", L"PerceivedType"));
    EXPECT_TRUE(checked);
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath") || checked);
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 0u);

    p.system.folder = L"D:\\";
    ToggleAsmFiles(p.platform, p.regShell, checked);
    EXPECT_EQ(read(kCommand), L"D:\\korveline.exe %1");
    p.registry.Set(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command", L"", RegText(L"pr %1"));
    p.registry.refuseWrites = {RegRoot::LocalMachine};
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, checked), PlatformError);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Open") || checked);
    EXPECT_TRUE(p.registry.HasKey(RegRoot::ClassesRoot, L"Korveline.Qorvath\\Shell\\Print\\command"));
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 1u);
    p.registry.refuseWrites = {RegRoot::ClassesRoot};
    EXPECT_THROW(ToggleAsmFiles(p.platform, p.regShell, checked), PlatformError);
    EXPECT_FALSE(checked);
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, L"Software\\asm", L"asmfiles").number, 1u);
}

}  // namespace
