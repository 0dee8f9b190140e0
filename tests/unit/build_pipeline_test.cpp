// The four Compile commands and Run Compile file, against the fakes.
#include <gtest/gtest.h>

#include "compile/build_pipeline.h"
#include "compile/script_names.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\W\\HI.ASM";
const wchar_t kBat[] = L"C:\\W\\HI.bat";

// The script for tasm T.EXE and tlink L.EXE with the switches aN and lN.
std::string Script(const std::string& n, const std::string& document, const std::string& out) {
    const std::string outs = out + ", " + out + "\r\n";
    return " prompt $s\r\nT.EXE a" + n + " " + document + ", " + outs + "L.EXE l" + n + " " + outs;
}

class BuildTest : public ::testing::Test {
  protected:
    BuildTest() {
        SharedSettings& s = p.settings;
        s.tasmPath = L"T.EXE", s.tlinkPath = L"L.EXE";
        s.opt16EXETasm = L"a16e", s.opt16EXETlink = L"l16e", s.opt32EXETasm = L"a32e",
        s.opt32EXETlink = L"l32e";
        s.opt16COMTasm = L"a16c", s.opt16COMTlink = L"l16c", s.opt32COMTasm = L"a32c",
        s.opt32COMTlink = L"l32c";
        p.files.Put(s.tasmPath, "tool");
        p.files.Put(s.tlinkPath, "tool");
        view.caption = kDoc;
        view.text = L"mov ax, 4c00h\r\n";
        p.processes.onStart = [this] {  // the script makes the file named in produces, as the tools would
            runEnabledWhileScriptRuns = view.runEnabled;
            if (!produces.empty())
                p.files.Put(produces, "MZ");
        };
    }
    void Build(BuildKind kind, Text chosen = L"C:\\W\\HI.EXE") {
        p.dialogs.Choose(chosen);
        view.runEnabled = true;
        RunBuild(kind, p.platform, p.settings, doc, build, view, dialog);
    }
    // Run enabled or not, then the files written, the programs started and the
    // messages (with their style unless a stop sign) since the last look.
    std::wstring Outcome() {
        std::wstring s = view.runEnabled ? L"run" : L"-";
        for (const std::wstring& w : p.files.log)
            s += L" | " + w;
        for (const std::wstring& w : p.processes.started)
            s += L" | start " + w;
        for (const auto& m : p.messages.shown)
            s += L" | \"" + m.text + L"\"" +
                 (m.style == (kMbOk | kMbIconStop) ? L"" : L" " + std::to_wstring(m.style));
        p.files.log.clear(), p.processes.started.clear(), p.messages.shown.clear();
        return s;
    }

    FakeProgram p;
    FakeMainView view;
    DocumentState doc;
    BuildState build;
    CommonDialog dialog{p.dialogs};
    std::wstring produces;
    bool runEnabledWhileScriptRuns = true;
};

// Each kind writes the document, then its script with its own switches, asks
// for the output with its filter, starts the script and waits a second. An
// ASCII document is not marked changed and leaves nothing to undo.
TEST_F(BuildTest, EachKindWritesTheDocumentAndItsScriptAndStartsIt) {
    const std::tuple<BuildKind, const char*, const wchar_t*> kinds[] = {
        {BuildKind::Exe16, "16e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Exe32, "32e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Com16, "16c", L"Command files(*.com)|*.com"},
        {BuildKind::Com32, "32c", L"Command files(*.com)|*.com"},
    };
    for (const auto& [kind, tag, filter] : kinds) {
        view.ReplaceSelection(L";");
        Build(kind);
        EXPECT_EQ(
            Outcome(),
            L"- | create C:\\W\\HI.bat | write C:\\W\\HI.ASM | write C:\\W\\HI.bat | start C:\\W\\HI.bat");
        EXPECT_EQ(p.files.Bytes(kBat), Script(tag, "C:\\W\\HI.ASM", "C:\\W\\HI"));
        EXPECT_EQ(p.dialogs.shown.back().request.filter, filter);
    }
    EXPECT_EQ(p.files.Bytes(kDoc), ";;;;mov ax, 4c00h\r\n\r\n");
    view.Undo();
    EXPECT_EQ(view.text + std::to_wstring(doc.DocChanged), L";;;;mov ax, 4c00h\r\n0");
    const FileDialogRequest& asked = p.dialogs.shown[0].request;
    EXPECT_EQ(asked.fileName + L"|" + std::to_wstring(asked.flags), L"C:\\W\\HI|6");
    EXPECT_EQ(p.processes.slept, std::vector<unsigned>(4, 1000));
}

// Folders are written short and tool paths as stored; a failed short path
// leaves the folder out; four characters are cut from the chosen name
// whatever they are, and a name of exactly four leaves nothing.
TEST_F(BuildTest, NamesInTheScript) {
    view.caption = L"C:\\My Work\\hello.asm";
    p.processes.shortPaths[L"c:\\my work\\hello.asm"] = L"C:\\MYWORK~1\\HELLO.ASM";
    p.processes.shortPaths[L"c:\\out dir\\"] = L"C:\\OUTDIR~1\\";
    Build(BuildKind::Exe16, L"C:\\Out Dir\\prog.exe");
    EXPECT_EQ(p.files.Bytes(L"C:\\My Work\\hello.bat"),
              Script("16e", "C:\\MYWORK~1\\HELLO.ASM", "C:\\OUTDIR~1\\prog"));
    view.caption = L"C:\\W\\abcd";
    Build(BuildKind::Exe16, L"C:\\O\\HELL");
    EXPECT_EQ(p.files.Bytes(L"C:\\W\\.bat"), Script("16e", "C:\\W\\abcd", "C:\\O\\"));
    view.caption = kDoc;
    Build(BuildKind::Exe16, L"C:\\W\\HELLO");  // typed without an extension
    EXPECT_EQ(build.outBase, L"C:\\W\\H");
    p.processes.shortPathFails = true;
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(kBat), Script("16e", "", "HI"));
    EXPECT_EQ(p.processes.started,
              (std::vector<std::wstring>{L"C:\\My Work\\hello.bat", L"C:\\W\\.bat", kBat, kBat}));
}

// Run is disabled while the script runs and enabled by an output found after
// it (one left by an earlier build counts); it starts the last build's output,
// a COM kind's when lastBuildCom says so, and a failed start says nothing.
TEST_F(BuildTest, RunFollowsTheOutputOfTheLastBuild) {
    const std::tuple<BuildKind, const wchar_t*, const wchar_t*, bool, int> cases[] = {
        {BuildKind::Com16, L"C:\\W\\HI.com", L"C:\\W\\HI.com", true, 1},
        {BuildKind::Exe32, L"C:\\W\\HI.exe", L"C:\\W\\HI.exe", true, 0},
        {BuildKind::Com32, L"C:\\W\\NO.com", L"", false, 0},
        {BuildKind::Exe16, L"C:\\W\\HI.exe", L"", true, 0},
    };
    for (const auto& [kind, chosen, made, runs, com] : cases) {
        produces = made;
        build.lastBuildCom = 1;
        Build(kind, chosen);
        EXPECT_FALSE(runEnabledWhileScriptRuns);
        EXPECT_EQ(view.runEnabled, runs);
        EXPECT_EQ(build.lastBuildCom, com);
        RunCompiledProgram(build, p.processes);
        EXPECT_EQ(p.processes.started.back(), std::wstring(chosen).substr(0, 7) + (com ? L".com" : L".exe"));
    }
    p.processes.failStart = true;
    EXPECT_NO_THROW(RunCompiledProgram(build, p.processes));
}

// Before the dialog tools not set, a name with no four characters to cut, or
// a script or document that cannot be written, is reported and the editor
// left as it was. From the dialog on a failure ends the command silently, but
// for an output name the script would run as a command. Run is disabled once
// the tools are found.
TEST_F(BuildTest, WhatStopsABuildAndWhatItLeaves) {
    const wchar_t* const written = L"- | create C:\\W\\HI.bat | write C:\\W\\HI.ASM";
    const std::tuple<std::function<void()>, std::wstring> cases[] = {
        // Both tools unset or missing: one message; else the first unset one is named.
        {[this] { p.settings.tasmPath = p.settings.tlinkPath = L""; },
         L"run | \"Attune your tasm and tlink in Options...\" 64"},
        {[this] { p.settings.tasmPath = L"C:\\T", p.settings.tlinkPath = L"C:\\L"; },
         L"run | \"Attune your tasm and tlink in Options...\" 64"},
        {[this] { p.settings.tasmPath = L"", p.settings.tlinkPath = L"L.EXE"; },
         L"run | \"Choose tasm in Options... > Tasm.\" 0"},
        {[this] { p.settings.tlinkPath = L""; }, L"run | \"Choose tlink in Options... > Tlink.\" 0"},
        {[this] { view.caption = L"C:\\W\\x.s"; },
         L"- | \"The document's name is too short to build. Save it under a name of four characters or more, "
         L"such as prog.asm.\""},
        {[this] { p.files.fail[L"c:\\w\\hi.bat"] = 3; },
         L"- | create C:\\W\\HI.bat | \"The build could not write C:\\W\\HI.bat.\r\n\r\nError 3.\""},
        {[this] { p.files.fail[L"c:\\w\\hi.asm"] = 5; },
         std::wstring(written) + L" | \"The build could not write C:\\W\\HI.ASM.\r\n\r\nError 5.\""},
        {[this] { p.dialogs.answers = {L""}; }, written},
        {[this] { p.dialogs.answers = {L"C:\\W\\HEL"}; }, written},  // fewer than the four to cut
        {[this] { p.dialogs.fail = true; }, written},
        {[this] { p.dialogs.answers = {L"C:\\W\\x&calc.exe"}; },
         std::wstring(written) +
             L" | \"The output name C:\\W\\x&calc holds the character \"&\", which the build "
             L"script would run as a command. Build again and choose an output name and folder "
             L"without \"&\".\""},
        {[this] { p.processes.failStart = true; },
         std::wstring(written) + L" | write C:\\W\\HI.bat | start C:\\W\\HI.bat"},
    };
    const std::wstring text = L"; \u0411\r\n";  // Б
    for (const auto& [arrange, outcome] : cases) {
        view.caption = kDoc, view.text = text, view.runEnabled = true;
        p.settings.tasmPath = L"T.EXE",
        p.settings.tlinkPath = L"C:\\L";  // set but missing passes when the other exists
        doc.DocChanged = 0, build.lastBuildCom = 1;
        p.files.fail.clear(), p.dialogs.fail = false, p.dialogs.answers = {L"C:\\W\\HI.COM"};
        arrange();
        RunBuild(BuildKind::Com16, p.platform, p.settings, doc, build, view, dialog);
        // A document with Cyrillic, once written, counts as changed.
        EXPECT_EQ(doc.DocChanged,
                  outcome.find(written) == 0 && outcome.find(L"not write") == std::wstring::npos);
        EXPECT_EQ(Outcome(), outcome);
        EXPECT_EQ(view.text, text);
        EXPECT_EQ(build.lastBuildCom, 1);
    }
    EXPECT_EQ(p.files.Bytes(kDoc), "; \x81\r\n\r\n");  // in the DOS code page
    EXPECT_TRUE(p.processes.slept.empty());
}

// Either name holding one of the command interpreter's operators is refused, naming it.
TEST(ScriptNames, AnOperatorInEitherNameIsRefusedByName) {
    EXPECT_FALSE(RefuseUnsafeScriptNames(L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\OUT\\my (1),x;y=\u0416!"));
    for (const wchar_t c : std::wstring(L"&|<>^%")) {
        const std::wstring quoted = std::wstring(L"\"") + c + L"\"";
        const auto document = RefuseUnsafeScriptNames(std::wstring(L"C:\\A") + c + L"B.ASM", L"C:\\x&y");
        EXPECT_EQ(document.value_or(L"").find(L"The document's path C:\\A" + quoted.substr(1, 1)), 0u);
        EXPECT_NE(document.value_or(L"").find(L"has no " + quoted + L", then"), std::wstring::npos);
        const auto output = RefuseUnsafeScriptNames(L"C:\\WORK\\HELLO.ASM", std::wstring(L"C:\\O") + c);
        EXPECT_NE(output.value_or(L"").find(L"holds the character " + quoted), std::wstring::npos);
    }
}

}  // namespace
