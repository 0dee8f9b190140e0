// The four Compile commands and Run Compile file, against the fakes.
#include <gtest/gtest.h>

#include "compile/build_pipeline.h"
#include "compile/script_names.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\WORK\\HELLO.ASM";
const wchar_t kBat[] = L"C:\\WORK\\HELLO.bat";
const wchar_t kTlink[] = L"C:\\TASM\\BIN\\TLINK.EXE";

// The script for tasm "T.EXE" and kTlink with the switches aN and lN.
std::string Script(const std::string& n, const std::string& document, const std::string& out) {
    return " prompt $s\r\nT.EXE a" + n + " " + document + ", " + out + ", " + out + "\r\n" +
           "C:\\TASM\\BIN\\TLINK.EXE l" + n + " " + out + ", " + out + "\r\n";
}

class BuildTest : public ::testing::Test {
  protected:
    BuildTest() {
        SharedSettings& s = p.settings;
        s.tasmPath = L"T.EXE";
        s.tlinkPath = kTlink;
        s.opt16EXETasm = L"a16e", s.opt16EXETlink = L"l16e", s.opt32EXETasm = L"a32e",
        s.opt32EXETlink = L"l32e";
        s.opt16COMTasm = L"a16c", s.opt16COMTlink = L"l16c", s.opt32COMTasm = L"a32c",
        s.opt32COMTlink = L"l32c";
        p.files.Put(s.tasmPath, "tool");
        p.files.Put(kTlink, "tool");
        view.caption = kDoc;
        view.text = L"mov ax, 4c00h\r\n";
        // The script "produces" the file named in produces, as the tools would.
        p.processes.onStart = [this] {
            runEnabledWhileScriptRuns = view.runEnabled;
            if (!produces.empty())
                p.files.Put(produces, "MZ");
        };
    }
    void Build(BuildKind kind, const std::wstring& chosen = L"C:\\WORK\\HELLO.EXE") {
        p.dialogs.Choose(chosen);
        RunBuild(kind, p.platform, p.settings, doc, build, view, dialog);
    }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    BuildState build;
    CommonDialog dialog{p.dialogs};
    std::wstring produces;
    bool runEnabledWhileScriptRuns = true;
};

TEST_F(BuildTest, EachKindWritesTheDocumentAndItsScriptAsksWithItsFilterAndStartsTheScript) {
    const std::tuple<BuildKind, const char*, const wchar_t*> kinds[] = {
        {BuildKind::Exe16, "16e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Exe32, "32e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Com16, "16c", L"Command files(*.com)|*.com"},
        {BuildKind::Com32, "32c", L"Command files(*.com)|*.com"},
    };
    for (const auto& [kind, tag, filter] : kinds) {
        SCOPED_TRACE(tag);
        p.dialogs.shown.clear();
        p.processes.started.clear();
        p.processes.slept.clear();
        view.text = L"mov ax, 4c00h\r\n";
        view.SetSelection(0, 0);
        view.ReplaceSelection(L";");
        Build(kind);
        EXPECT_EQ(p.files.Bytes(kDoc), ";mov ax, 4c00h\r\n\r\n");
        EXPECT_EQ(p.files.Bytes(kBat), Script(tag, "C:\\WORK\\HELLO.ASM", "C:\\WORK\\HELLO"));
        ASSERT_EQ(p.dialogs.shown.size(), 1u);
        EXPECT_TRUE(p.dialogs.shown[0].save);
        EXPECT_EQ(p.dialogs.shown[0].request.filter, filter);
        EXPECT_EQ(p.dialogs.shown[0].request.flags, 6);
        EXPECT_EQ(p.dialogs.shown[0].request.fileName, L"C:\\WORK\\HELLO");
        EXPECT_EQ(p.processes.started, std::vector<std::wstring>{kBat});
        EXPECT_EQ(p.processes.slept, std::vector<unsigned>{1000});
        EXPECT_TRUE(p.messages.shown.empty());
        EXPECT_EQ(doc.DocChanged, 0);  // ASCII text: the round trip changes nothing
        view.Undo();
        EXPECT_EQ(view.text, L";mov ax, 4c00h\r\n") << "and leaves nothing to undo";
    }
}

// Both tools unset or missing: one message; else the first unset one is
// named. Set but missing passes when the other exists.
TEST_F(BuildTest, ToolCheckStopsWithItsMessageAndWritesNothing) {
    const std::tuple<std::wstring, std::wstring, std::wstring, unsigned> cases[] = {
        {L"", L"", L"Attune your tasm and tlink in Options...", kMbOk | kMbIconInformation},
        {L"C:\\gone\\tasm.exe", L"C:\\gone\\tlink.exe", L"Attune your tasm and tlink in Options...",
         kMbOk | kMbIconInformation},
        {L"", kTlink, L"Choose tasm in Options... > Tasm.", kMbOk},
        {L"T.EXE", L"", L"Choose tlink in Options... > Tlink.", kMbOk},
        {L"T.EXE", L"C:\\gone\\tlink.exe", L"", 0},
    };
    for (const auto& [tasm, tlink, message, style] : cases) {
        SCOPED_TRACE(message.size());
        p.messages.shown.clear();
        p.settings.tasmPath = tasm;
        p.settings.tlinkPath = tlink;
        view.runEnabled = true;
        Build(BuildKind::Exe16, L"");
        if (message.empty()) {
            EXPECT_TRUE(p.messages.shown.empty());
            EXPECT_EQ(p.dialogs.shown.size(), 1u);
            continue;
        }
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_EQ(p.messages.shown[0].text, message);
        EXPECT_EQ(p.messages.shown[0].style, style);
        EXPECT_TRUE(view.runEnabled);
        EXPECT_TRUE(p.files.log.empty());
    }
}

TEST_F(BuildTest, CyrillicReachesFilesInTheDosCodePageAndMarksTheDocumentChanged) {
    const std::wstring text = L"; \u041f\u0440\r\n";  // Пр
    view.text = text;
    p.settings.tasmPath = L"C:\\\u0422\\T.EXE";  // Т
    p.files.Put(p.settings.tasmPath, "tool");
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(kDoc), "; \x8F\xE0\r\n\r\n");
    EXPECT_EQ(p.files.Bytes(kBat).substr(12, 11), "C:\\\x92\\T.EXE ");
    EXPECT_EQ(view.text, text);
    EXPECT_EQ(view.setTextCount, 2);  // the converted text, then its own again
    EXPECT_EQ(doc.DocChanged, 1);
    EXPECT_EQ(view.caption, kDoc);
}

// Folders are written short and tool paths as stored; a failed short path
// leaves the folder out; four characters are cut from the chosen name
// whatever they are.
TEST_F(BuildTest, NamesInTheScript) {
    view.caption = L"C:\\My Work\\hello.asm";
    p.processes.shortPaths[L"c:\\my work\\hello.asm"] = L"C:\\MYWORK~1\\HELLO.ASM";
    p.processes.shortPaths[L"c:\\out dir\\"] = L"C:\\OUTDIR~1\\";
    Build(BuildKind::Exe16, L"C:\\Out Dir\\prog.exe");
    EXPECT_EQ(p.files.Bytes(L"C:\\My Work\\hello.bat"),
              Script("16e", "C:\\MYWORK~1\\HELLO.ASM", "C:\\OUTDIR~1\\prog"));
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\My Work\\hello.bat"});

    view.caption = kDoc;
    Build(BuildKind::Exe16, L"C:\\WORK\\HELLO");  // typed without an extension
    EXPECT_EQ(build.outBase, L"C:\\WORK\\H");
    p.processes.shortPathFails = true;
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(kBat), Script("16e", "", "HELLO"));

    view.caption = L"C:\\WORK\\abcd";  // exactly four: nothing left after the cut, and it builds
    p.processes.shortPathFails = false;
    Build(BuildKind::Exe16, L"C:\\OUT\\HELL");
    EXPECT_EQ(p.files.Bytes(L"C:\\WORK\\.bat"), Script("16e", "C:\\WORK\\abcd", "C:\\OUT\\"));
    EXPECT_EQ(p.processes.started.back(), L"C:\\WORK\\.bat");
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST_F(BuildTest, RunFollowsTheOutputOfTheLastBuild) {
    produces = L"C:\\WORK\\HELLO.com";
    Build(BuildKind::Com16, L"C:\\WORK\\HELLO.com");
    EXPECT_TRUE(view.runEnabled);
    EXPECT_EQ(build.lastBuildCom, 1);
    RunCompiledProgram(build, p.processes);
    EXPECT_EQ(p.processes.started.back(), L"C:\\WORK\\HELLO.com");

    produces = L"C:\\WORK\\HELLO.exe";
    Build(BuildKind::Exe32);
    EXPECT_FALSE(runEnabledWhileScriptRuns);
    EXPECT_TRUE(view.runEnabled);
    EXPECT_EQ(build.lastBuildCom, 0);
    RunCompiledProgram(build, p.processes);
    EXPECT_EQ(p.processes.started.back(), L"C:\\WORK\\HELLO.exe");

    produces.clear();  // no output: Run stays disabled; an output left by an earlier build counts
    build.lastBuildCom = 1;
    Build(BuildKind::Com32, L"C:\\WORK\\NONE.com");
    EXPECT_FALSE(view.runEnabled);
    EXPECT_EQ(build.lastBuildCom, 0);
    Build(BuildKind::Exe16, L"C:\\WORK\\HELLO.exe");
    EXPECT_TRUE(view.runEnabled);
    p.processes.failStart = true;
    EXPECT_NO_THROW(RunCompiledProgram(build, p.processes));
}

// From the dialog on, a failure ends the command silently after the document
// and an empty script have been written, and Run stays disabled.
TEST_F(BuildTest, FailuresFromTheDialogOnEndSilently) {
    const std::function<void()> arrangements[] = {
        [this] { p.dialogs.Cancel(); },
        [this] { p.dialogs.Choose(L"C:\\WORK\\HEL"); },  // fewer than the four to cut
        [this] { p.dialogs.fail = true; },
        [this] { p.dialogs.Choose(L"C:\\WORK\\x&calc.exe"); },  // refused with a message
        [this] { p.dialogs.Choose(L"C:\\WORK\\HELLO.EXE"), p.processes.failStart = true; },
    };
    for (const auto& arrange : arrangements) {
        p.dialogs.fail = false;
        p.files.Put(kBat, "old script");
        p.files.Put(kDoc, "old");
        view.runEnabled = true;
        build.lastBuildCom = 1;
        arrange();
        RunBuild(BuildKind::Com16, p.platform, p.settings, doc, build, view, dialog);
        EXPECT_FALSE(view.runEnabled);
        EXPECT_EQ(build.lastBuildCom, 1);
        EXPECT_EQ(p.files.Bytes(kDoc), "mov ax, 4c00h\r\n\r\n");
        EXPECT_TRUE(p.processes.slept.empty());
        EXPECT_EQ(p.files.Bytes(kBat).empty(), !p.processes.failStart);
    }
    EXPECT_EQ(p.processes.started.size(), 1u);  // only the script that failed to start
    EXPECT_EQ(p.messages.Texts(),
              std::vector<std::wstring>{
                  L"The output name C:\\WORK\\x&calc holds the character \"&\", which the build script would "
                  L"run as a command. Build again and choose an output name and folder without \"&\"."});
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
}

TEST(ScriptNames, AnOperatorOfTheCommandInterpreterInEitherNameIsRefusedByName) {
    EXPECT_FALSE(RefuseUnsafeScriptNames(L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\OUT\\my (1),x;y=\u0416!"));
    for (const wchar_t c : std::wstring(L"&|<>^%")) {
        const std::wstring quoted = std::wstring(L"\"") + c + L"\"";
        const auto document = RefuseUnsafeScriptNames(std::wstring(L"C:\\A") + c + L"B.ASM", L"C:\\x&y");
        EXPECT_EQ(document.value_or(L"").find(L"The document's path C:\\A"), 0u);
        EXPECT_NE(document.value_or(L"").find(L"has no " + quoted + L", then"), std::wstring::npos);
        const auto output = RefuseUnsafeScriptNames(L"C:\\WORK\\HELLO.ASM", std::wstring(L"C:\\O") + c);
        EXPECT_NE(output.value_or(L"").find(L"holds the character " + quoted), std::wstring::npos);
    }
}

// Before the dialog: a name with no four characters to cut, or a script or
// document that cannot be written, is reported and nothing more happens.
TEST_F(BuildTest, WhatIsRefusedBeforeTheDialogIsReportedAndTheEditorIsLeftAsItWas) {
    for (const wchar_t* caption : {L"C:\\WORK\\x.s", L"C:\\WORK\\a"}) {
        view.caption = caption;
        view.runEnabled = true;
        Build(BuildKind::Exe16);
        EXPECT_EQ(p.messages.shown.back().style, kMbOk | kMbIconStop);
        EXPECT_FALSE(view.runEnabled);
    }
    EXPECT_TRUE(p.files.log.empty());
    p.messages.shown.clear();

    view.caption = L"C:\\Gone\\HELLO.ASM";
    p.files.fail[L"c:\\gone\\hello.bat"] = 3;
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.log, std::vector<std::wstring>{L"create C:\\Gone\\HELLO.bat"});

    const std::wstring text = L"; \u0411\r\n";  // Б
    view.caption = kDoc;
    view.text = text;
    p.files.fail[L"c:\\work\\hello.asm"] = 5;
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.messages.Texts(),
              (std::vector<std::wstring>{L"The build could not write C:\\Gone\\HELLO.bat.\r\n\r\nError 3.",
                                         L"The build could not write C:\\WORK\\HELLO.ASM.\r\n\r\nError 5."}));
    EXPECT_EQ(p.files.Bytes(kBat), "");
    EXPECT_EQ(view.text, text);
    EXPECT_EQ(doc.DocChanged, 0);
    EXPECT_TRUE(p.dialogs.shown.empty());
}

}  // namespace
