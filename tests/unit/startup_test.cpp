// The main window's load step: the caption rule and the command-line file.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "fakes.h"

namespace {

class StartupTest : public ::testing::Test {
  protected:
    void Load() {
        RunMainLoadStep(p.context, fields, view, [&] { ++registrations; });
    }
    FakeProgram p;
    FakeMainView view;
    MainFields fields;
    int registrations = 0;
};

TEST_F(StartupTest, DefaultDocumentPath) {
    EXPECT_EQ(DefaultDocumentPath(L"C:\\Tools\\Korveline", L"D:\\WINDOWS"),
              L"C:\\Tools\\Korveline\\asm1.asm");
    // In a drive root the document goes to the root of the Windows drive.
    EXPECT_EQ(DefaultDocumentPath(L"E:\\", L"D:\\WINDOWS"), L"D:\\asm1.asm");
}

TEST_F(StartupTest, WithoutACommandLineTheDocumentIsTheEmptyDefault) {
    p.settings.tasmPath = L"stale";
    fields.doc.DocChanged = 1;
    Load();
    EXPECT_EQ(view.caption, L"C:\\Tools\\Korveline\\asm1.asm");
    EXPECT_EQ(view.text, L"");
    EXPECT_EQ(fields.doc.DocChanged, 0);
    EXPECT_EQ(fields.doc.DocHasName, 0);
    EXPECT_EQ(p.system.caretBlink, 700u);
    EXPECT_EQ(p.settings.tasmPath, L"");
    EXPECT_EQ(registrations, 1) << "the first start registers the association";
    EXPECT_EQ(fields.settings.settingsMarker, 0);
}

TEST_F(StartupTest, CommandLineFileIsReadAsOneWholePath) {
    const std::wstring path = L"C:\\My Work\\\x43f\x440\x438\x432\x435\x442.asm";
    // Cyrillic bytes, a lone CR, a lone LF and no final line end.
    p.files.Put(path, std::string("mov ax, 1\r\n\xCF\xF0\xE8\r\ra\nb\r\nlast"));
    p.system.commandLine = path;
    Load();
    EXPECT_EQ(view.caption, path);
    EXPECT_EQ(view.text, L"mov ax, 1\r\n\x41f\x440\x438\r\n\r\na\nb\r\nlast\r\n");
    EXPECT_EQ(fields.doc.DocHasName, 1);
    EXPECT_EQ(fields.doc.DocChanged, 0);
}

TEST_F(StartupTest, CommandLineThatNamesNoFileLoadsNothing) {
    p.files.Put(L"C:\\w\\a.asm", "x\r\n");
    for (const wchar_t* line : {L"\"C:\\w\\a.asm\"", L"C:\\w\\a.asm /x", L"C:\\w\\missing.asm"}) {
        FakeMainView v;
        MainFields f;
        p.system.commandLine = line;
        RunMainLoadStep(p.context, f, v, [] {});
        EXPECT_EQ(v.caption, L" asm") << std::string(line, line + wcslen(line));
        EXPECT_EQ(v.text, L"");
        EXPECT_EQ(f.doc.DocHasName, 0);
    }
}

TEST_F(StartupTest, UnreadableFileLeavesAnUnnamedEmptyDocument) {
    p.files.Put(L"C:\\w\\locked.asm", "important\r\n");
    p.files.locked.insert(L"c:\\w\\locked.asm");
    p.system.commandLine = L"C:\\w\\locked.asm";
    Load();
    EXPECT_EQ(view.caption, L"C:\\w\\locked.asm");
    EXPECT_EQ(view.text, L"");
    EXPECT_EQ(fields.doc.DocHasName, 0) << "a later Save must not overwrite the unread file unasked";
}

TEST_F(StartupTest, FailuresInTheLoadStepAreSkipped) {
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    Load();
    EXPECT_EQ(view.caption, L"C:\\Tools\\Korveline\\asm1.asm");
    EXPECT_TRUE(p.messages.shown.empty());
}

}  // namespace
