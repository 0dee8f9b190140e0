// The four Compile commands and Run Compile file, against the fakes.
#include <gtest/gtest.h>

#include "compile/build_pipeline.h"
#include "compile/build_script.h"
#include "compile/script_names.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\WORK\\HELLO.ASM";
const wchar_t kBat[] = L"C:\\WORK\\HELLO.bat";
const wchar_t kTasm[] = L"C:\\TASM\\BIN\\TASM.EXE";
const wchar_t kTlink[] = L"C:\\TASM\\BIN\\TLINK.EXE";

class BuildTest : public ::testing::Test {
  protected:
    BuildTest() {
        SharedSettings& s = p.settings;
        s.tasmPath = kTasm;
        s.tlinkPath = kTlink;
        s.opt16EXETasm = L"a16e", s.opt16EXETlink = L"l16e", s.opt32EXETasm = L"a32e",
        s.opt32EXETlink = L"l32e";
        s.opt16COMTasm = L"a16c", s.opt16COMTlink = L"l16c", s.opt32COMTasm = L"a32c",
        s.opt32COMTlink = L"l32c";
        p.files.Put(kTasm, "tool");
        p.files.Put(kTlink, "tool");
        view.caption = kDoc;
        view.text = L"mov ax, 4c00h\r\n";
        // The script "produces" the file named in produces, as the tools would.
        p.processes.onStart = [this](const std::wstring&) {
            runEnabledWhileScriptRuns = view.runEnabled;
            if (!produces.empty())
                p.files.Put(produces, "MZ");
        };
    }
    void Build(BuildKind kind, const std::wstring& chosen = L"C:\\WORK\\HELLO.EXE") {
        p.dialogs.Choose(chosen);
        RunBuild(kind, p.platform, p.settings, doc, build, view, dialog);
    }
    std::string Script() const { return p.files.Bytes(kBat); }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    BuildState build;
    CommonDialog dialog{p.dialogs};
    std::wstring produces;
    bool runEnabledWhileScriptRuns = true;
};

TEST(BuildScript, ThreeLinesEachEndedByCrLfWithPartsAsGiven) {
    const ScriptParts parts{
        L"C:\\Program Files\\tasm.exe", L" /z  ", L"C:\\W\\H.ASM", L"D:\\tl.exe", L"/x", L"C:\\W\\H"};
    EXPECT_EQ(BuildScriptBytes(parts),
              " prompt $s\r\nC:\\Program Files\\tasm.exe  /z   C:\\W\\H.ASM, C:\\W\\H, C:\\W\\H\r\n"
              "D:\\tl.exe /x C:\\W\\H, C:\\W\\H\r\n");
}

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
        Build(kind);
        EXPECT_EQ(p.files.Bytes(kDoc), "mov ax, 4c00h\r\n\r\n");
        EXPECT_EQ(Script(),
                  " prompt $s\r\nC:\\TASM\\BIN\\TASM.EXE a" + std::string(tag) +
                      " C:\\WORK\\HELLO.ASM, C:\\WORK\\HELLO, C:\\WORK\\HELLO\r\nC:\\TASM\\BIN\\TLINK.EXE l" +
                      tag + " C:\\WORK\\HELLO, C:\\WORK\\HELLO\r\n");
        ASSERT_EQ(p.dialogs.shown.size(), 1u);
        EXPECT_TRUE(p.dialogs.shown[0].save);
        EXPECT_EQ(p.dialogs.shown[0].request.filter, filter);
        EXPECT_EQ(p.dialogs.shown[0].request.flags, 6);
        EXPECT_EQ(p.dialogs.shown[0].request.fileName, L"C:\\WORK\\HELLO");
        EXPECT_EQ(p.processes.started, std::vector<std::wstring>{kBat});
        EXPECT_EQ(p.processes.slept, std::vector<unsigned>{1000});
        EXPECT_EQ(build.srcFolder + build.srcBase, L"C:\\WORK\\HELLO");
        EXPECT_TRUE(p.messages.shown.empty());
        EXPECT_EQ(doc.DocChanged, 0);  // ASCII text: the round trip changes nothing
    }
}

TEST_F(BuildTest, ToolCheckStopsWithItsMessageAndWritesNothing) {
    struct Case {
        std::wstring tasm, tlink, message;
        unsigned style;
    };
    const Case cases[] = {
        {L"", L"", L"Attune your tasm and tlink in Options...", kMbOk | kMbIconInformation},
        {L"C:\\gone\\tasm.exe", L"C:\\gone\\tlink.exe", L"Attune your tasm and tlink in Options...",
         kMbOk | kMbIconInformation},
        {L"", kTlink, L"Choose tasm in Options... > Tasm.", kMbOk},
        {kTasm, L"", L"Choose tlink in Options... > Tlink.", kMbOk},
        {kTasm, L"C:\\gone\\tlink.exe", L"", 0},  // set but missing passes when the other exists
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        p.messages.shown.clear();
        p.settings.tasmPath = c.tasm;
        p.settings.tlinkPath = c.tlink;
        view.runEnabled = true;
        p.dialogs.Cancel();
        RunBuild(BuildKind::Exe16, p.platform, p.settings, doc, build, view, dialog);
        if (c.message.empty()) {
            EXPECT_TRUE(p.messages.shown.empty());
            EXPECT_EQ(p.dialogs.shown.size(), 1u);
            continue;
        }
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_EQ(p.messages.shown[0].text, c.message);
        EXPECT_EQ(p.messages.shown[0].style, c.style);
        EXPECT_TRUE(view.runEnabled);
        EXPECT_TRUE(p.files.log.empty());
    }
}

TEST_F(BuildTest, CyrillicReachesFilesInTheDosCodePageAndMarksTheDocumentChanged) {
    const std::wstring text = L"; \u041f\u0440\u0438\u0432\u0435\u0442\r\n";  // Привет
    view.text = text;
    p.settings.tasmPath = L"C:\\\u0422\u0410\u0421\u041c\\TASM.EXE";  // ТАСМ
    p.files.Put(p.settings.tasmPath, "tool");
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(kDoc), "; \x8F\xE0\xA8\xA2\xA5\xE2\r\n\r\n");
    EXPECT_EQ(Script().substr(12, 16), "C:\\\x92\x80\x91\x8C\\TASM.EXE");
    EXPECT_EQ(view.text, text);
    EXPECT_EQ(view.setTextCount, 2);  // the converted text, then its own again
    EXPECT_EQ(doc.DocChanged, 1);
    EXPECT_EQ(view.caption, kDoc);
}

TEST_F(BuildTest, AsciiTextIsWrittenWithoutMarkingTheDocumentChangedAndLeavesNothingToUndo) {
    view.ReplaceSelection(L"; ");
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(kDoc), "; mov ax, 4c00h\r\n\r\n");
    EXPECT_EQ(doc.DocChanged, 0);
    view.Undo();
    EXPECT_EQ(view.text, L"; mov ax, 4c00h\r\n");
}

TEST_F(BuildTest, FoldersAreWrittenShortAndToolPathsAsStoredAndFourCharactersAreCut) {
    view.caption = L"C:\\My Work\\hello.asm";
    p.settings.tasmPath = L"C:\\Program Files\\TASM.EXE";
    p.files.Put(p.settings.tasmPath, "tool");
    p.processes.shortPaths[L"c:\\my work\\hello.asm"] = L"C:\\MYWORK~1\\HELLO.ASM";
    p.processes.shortPaths[L"c:\\out dir\\"] = L"C:\\OUTDIR~1\\";
    Build(BuildKind::Exe16, L"C:\\Out Dir\\prog.exe");
    EXPECT_EQ(
        p.files.Bytes(L"C:\\My Work\\hello.bat"),
        " prompt $s\r\nC:\\Program Files\\TASM.EXE a16e C:\\MYWORK~1\\HELLO.ASM, C:\\OUTDIR~1\\prog, "
        "C:\\OUTDIR~1\\prog\r\nC:\\TASM\\BIN\\TLINK.EXE l16e C:\\OUTDIR~1\\prog, C:\\OUTDIR~1\\prog\r\n");
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\My Work\\hello.bat"});

    view.caption = kDoc;
    Build(BuildKind::Exe16, L"C:\\WORK\\HELLO");  // typed without an extension
    EXPECT_EQ(build.outBase, L"C:\\WORK\\H");
    p.processes.shortPathIsIdentity = false;  // a failed short path leaves the folder out
    Build(BuildKind::Exe16);
    EXPECT_EQ(
        Script(),
        " prompt $s\r\nC:\\Program Files\\TASM.EXE a16e , HELLO, HELLO\r\nC:\\TASM\\BIN\\TLINK.EXE l16e "
        "HELLO, HELLO\r\n");
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

TEST_F(BuildTest, FailuresFromTheDialogOnEndSilentlyAfterTheDocumentAndAnEmptyScript) {
    const std::function<void()> arrangements[] = {
        [this] { p.dialogs.Cancel(); },
        [this] { p.dialogs.Choose(L"C:\\WORK\\HEL"); },  // fewer than the four to cut
        [this] { p.dialogs.fail = true; },
        [this] { p.dialogs.Choose(L"C:\\WORK\\HELLO.EXE"), p.processes.failStart = true; },
    };
    for (const auto& arrange : arrangements) {
        p.dialogs.fail = false;
        p.files.Put(kBat, "old script");
        p.files.Remove(kDoc);
        view.runEnabled = true;
        build.lastBuildCom = 1;
        arrange();
        RunBuild(BuildKind::Com16, p.platform, p.settings, doc, build, view, dialog);
        EXPECT_FALSE(view.runEnabled);
        EXPECT_EQ(build.lastBuildCom, 1);
        EXPECT_TRUE(p.files.Has(kDoc));
        EXPECT_TRUE(p.processes.slept.empty());
        EXPECT_TRUE(p.messages.shown.empty());
        EXPECT_EQ(Script().empty(), !p.processes.failStart);
    }
    EXPECT_EQ(p.processes.started.size(), 1u);  // only the script that failed to start
}

TEST_F(BuildTest, ANameShorterThanTheCutIsRefusedBeforeAnythingIsWritten) {
    for (const wchar_t* caption : {L"C:\\WORK\\x.s", L"C:\\WORK\\a"}) {
        p.messages.shown.clear();
        view.caption = caption;
        view.runEnabled = true;
        Build(BuildKind::Exe16);
        EXPECT_EQ(p.messages.shown.back().style, kMbOk | kMbIconStop);
        EXPECT_FALSE(view.runEnabled);
    }
    EXPECT_TRUE(p.files.log.empty());
    EXPECT_TRUE(p.dialogs.shown.empty());
}

TEST_F(BuildTest, NamesOfExactlyFourCharactersBuildWithNothingLeftAfterTheCut) {
    view.caption = L"C:\\WORK\\abcd";
    Build(BuildKind::Exe16, L"C:\\OUT\\HELL");
    EXPECT_EQ(build.batPath, L"C:\\WORK\\.bat");
    EXPECT_EQ(build.outBase, L"C:\\OUT\\");
    EXPECT_EQ(p.files.Bytes(build.batPath),
              " prompt $s\r\nC:\\TASM\\BIN\\TASM.EXE a16e C:\\WORK\\abcd, C:\\OUT\\, C:\\OUT\\\r\n"
              "C:\\TASM\\BIN\\TLINK.EXE l16e C:\\OUT\\, C:\\OUT\\\r\n");
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\WORK\\.bat"});
    EXPECT_TRUE(p.messages.shown.empty());
}

TEST(ScriptNames, AnOperatorOfTheCommandInterpreterInEitherNameIsRefusedByName) {
    EXPECT_FALSE(RefuseUnsafeScriptNames(L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\OUT\\my (1),x;y=\u0416!"));
    for (const wchar_t c : std::wstring(L"&|<>^%")) {
        const std::wstring quoted = std::wstring(L"\"") + c + L"\"";
        const auto document = RefuseUnsafeScriptNames(std::wstring(L"C:\\A") + c + L"B.ASM", L"C:\\x&y");
        ASSERT_TRUE(document);
        EXPECT_NE(document->find(quoted), std::wstring::npos) << *document;
        EXPECT_NE(document->find(L"Rename the document"), std::wstring::npos) << *document;
        const auto output = RefuseUnsafeScriptNames(L"C:\\WORK\\HELLO.ASM", std::wstring(L"C:\\O") + c);
        ASSERT_TRUE(output);
        EXPECT_NE(output->find(quoted), std::wstring::npos) << *output;
        EXPECT_NE(output->find(L"choose an output name"), std::wstring::npos) << *output;
    }
}

TEST_F(BuildTest, AnOutputNameThatWouldRunACommandIsRefusedBeforeTheScriptIsWritten) {
    view.runEnabled = true;
    Build(BuildKind::Exe16, L"C:\\WORK\\x&calc.exe");
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text,
              L"The output name C:\\WORK\\x&calc holds the character \"&\", which the build script would run "
              L"as a command. Build again and choose an output name and folder without \"&\".");
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    EXPECT_EQ(Script(), "");
    EXPECT_TRUE(p.processes.started.empty());
    EXPECT_FALSE(view.runEnabled);
}

TEST_F(BuildTest, AnUnwritableScriptOrDocumentIsReportedAndTheEditorIsLeftAsItWas) {
    view.caption = L"C:\\Gone\\HELLO.ASM";
    p.files.missingFolders.insert(L"c:\\gone\\");
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.messages.shown.at(0).text, L"The build could not write C:\\Gone\\HELLO.bat.\r\n\r\nError 3.");
    EXPECT_EQ(p.files.log, std::vector<std::wstring>{L"create C:\\Gone\\HELLO.bat"});

    const std::wstring text = L"; \u0411\r\n";  // Б
    view.caption = kDoc;
    view.text = text;
    p.files.Put(kDoc, "old", kAttributeReadOnly);
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.messages.shown.at(1).text, L"The build could not write C:\\WORK\\HELLO.ASM.\r\n\r\nError 5.");
    EXPECT_EQ(p.files.Bytes(kDoc), "old");
    EXPECT_EQ(Script(), "");
    EXPECT_EQ(view.text, text);
    EXPECT_EQ(doc.DocChanged, 0);
    EXPECT_EQ(p.dialogs.shown.size(), 0u);
}

}  // namespace
