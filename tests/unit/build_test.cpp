// Building: the Compile commands and Run, the DOSBox route, and the build's results.
#include <gtest/gtest.h>

#include <regex>

#include "compile/build_listing.h"
#include "compile/build_results.h"
#include "compile/build_session.h"
#include "compile/debugger.h"
#include "fakes.h"

namespace {

const wchar_t kDoc[] = L"C:\\W\\HI.ASM";
const wchar_t kBat[] = L"C:\\W\\HI.bat";

// The script for tasm T.EXE and tlink L.EXE with the switches aN and lN.
std::string Script(const std::string& n, const std::string& document, const std::string& out) {
    const std::string outs = out + ", " + out + "\r\n";
    return " prompt $s\r\nT.EXE a" + n + " " + document + ", " + outs + "L.EXE l" + n + " " + outs;
}

class FakeDosHost : public DosHost {
  public:
    bool startsDos = true;
    std::vector<std::wstring> started;  // "<program> <arguments>"
    std::function<void()> appeared;

    bool StartsDosPrograms() override { return startsDos; }
    std::wstring HostRoot() override { return L"Z:\\"; }
    std::wstring HostFolderOfDrive(wchar_t drive) override { return L"/" + std::wstring(1, drive) + L" x/"; }
    void Start(Text program, Text args) override { started.push_back(program + L" " + args); }
    void WatchFor(Text, std::function<void()> then) override { appeared = std::move(then); }
};

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
        doc.SetPath(kDoc);
        doc.Load(L"mov ax, 4c00h\r\n");
        p.processes.onStart = [this] {  // the script makes the file named in produces, as the tools would
            runEnabledWhileScriptRuns = session.RunEnabled();
            if (!produces.empty())
                p.files.Put(produces, "MZ");
        };
    }
    void Build(BuildKind kind, Text chosen = L"C:\\W\\HI.EXE") {
        p.dialogs.Choose(chosen);
        session.Build(kind, p.settings, doc, dialog);
    }
    // A COM build that found its output: Run enabled, lastBuildCom 1; nothing of it logged.
    void EarlierBuild() {
        produces = L"C:\\W\\HI.COM";
        Build(BuildKind::Com16, produces);
        produces.clear();
        p.files.log.clear(), p.processes.started.clear(), p.dialogs.shown.clear();
    }
    // Run enabled, files written, programs started, messages (style unless a stop sign).
    std::wstring Outcome() {
        std::wstring s = session.RunEnabled() ? L"run" : L"-";
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
    Document doc;
    CommonDialog dialog{p.dialogs};
    FakeDosHost host;
    int notified = 0;
    BuildSession session{p.platform, p.user, host, [this] { ++notified; }};
    std::wstring produces;
    bool runEnabledWhileScriptRuns = true;
};

// Each kind's script has its switches and its dialog its filter. Folders go
// short (none when that fails); four characters are cut from the chosen name.
TEST_F(BuildTest, EachKindWritesItsScriptWithItsSwitchesAndShortFolders) {
    const std::tuple<BuildKind, const char*, const wchar_t*> kinds[] = {
        {BuildKind::Exe16, "16e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Exe32, "32e", L"Excutable files(*.exe)|*.exe"},
        {BuildKind::Com16, "16c", L"Command files(*.com)|*.com"},
        {BuildKind::Com32, "32c", L"Command files(*.com)|*.com"},
    };
    for (const auto& [kind, tag, filter] : kinds) {
        Build(kind);
        EXPECT_EQ(p.files.Bytes(kBat), Script(tag, "C:\\W\\HI.ASM", "C:\\W\\HI"));
        EXPECT_EQ(p.dialogs.shown.back().request.filter, filter);
    }
    EXPECT_EQ(p.dialogs.shown[0].request.fileName + std::to_wstring(p.dialogs.shown[0].request.flags),
              L"C:\\W\\HI6");
    EXPECT_EQ(p.processes.slept, std::vector<unsigned>(4, 1000));
    EXPECT_EQ(doc.DocChanged, 0) << "an ASCII document comes back unchanged";
    doc.SetPath(L"C:\\My Work\\hello.asm");
    p.processes.shortPaths[L"c:\\my work\\hello.asm"] = L"C:\\MYWORK~1\\HELLO.ASM";
    p.processes.shortPaths[L"c:\\out dir\\"] = L"C:\\OUTDIR~1\\";
    Build(BuildKind::Exe16, L"C:\\Out Dir\\prog");
    EXPECT_EQ(p.files.Bytes(L"C:\\My Work\\hello.bat"),
              Script("16e", "C:\\MYWORK~1\\HELLO.ASM", "C:\\OUTDIR~1\\"));
    p.processes.shortPathFails = true;
    doc.SetPath(L"C:\\W\\abcd");  // exactly four: nothing left of the name, and it builds
    Build(BuildKind::Exe16);
    EXPECT_EQ(p.files.Bytes(L"C:\\W\\.bat"), Script("16e", "", "HI"));
}

// Run follows an output found after the script (an earlier one counts) and
// starts .com or .exe as lastBuildCom says; a failed start says nothing.
TEST_F(BuildTest, RunFollowsTheOutputOfTheLastBuild) {
    const std::tuple<BuildKind, const wchar_t*, const wchar_t*, bool, int> cases[] = {
        {BuildKind::Com16, L"C:\\W\\HI.com", L"C:\\W\\HI.com", true, 1},
        {BuildKind::Exe32, L"C:\\W\\HI.exe", L"C:\\W\\HI.exe", true, 0},
        {BuildKind::Com32, L"C:\\W\\NO.com", L"", false, 0},
        {BuildKind::Exe16, L"C:\\W\\HI.exe", L"", true, 0},
    };
    for (const auto& [kind, chosen, made, runs, com] : cases) {
        produces = made;
        Build(kind, chosen);
        EXPECT_FALSE(runEnabledWhileScriptRuns);
        EXPECT_EQ(session.RunEnabled(), runs);
        EXPECT_EQ(session.State().lastBuildCom, com);
        session.Run();
        EXPECT_EQ(p.processes.started.back(), std::wstring(chosen).substr(0, 7) + (com ? L".com" : L".exe"));
    }
    p.processes.failStart = true;
    EXPECT_NO_THROW(session.Run());
}

// Up to the dialog a failure is reported and leaves the editor as it was (its
// text, caret and undo); after it a failure is silent, but for an output name
// the script would run. The tool check leaves an earlier build's results.
TEST_F(BuildTest, WhatStopsABuildAndWhatItLeaves) {
    const wchar_t* const written = L"- | create C:\\W\\HI.bat | write C:\\W\\HI.ASM";
    const std::tuple<std::function<void()>, std::wstring> cases[] = {
        {[this] { p.settings.tasmPath = p.settings.tlinkPath = L""; },
         L"run | \"Attune your tasm and tlink in Options...\" 64"},
        {[this] { p.settings.tasmPath = L"", p.settings.tlinkPath = L"L.EXE"; },
         L"run | \"Choose tasm in Options... > Tasm.\" 0"},
        {[this] { p.settings.tlinkPath = L""; }, L"run | \"Choose tlink in Options... > Tlink.\" 0"},
        {[this] { doc.SetPath(L"C:\\W\\x.s"); },
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
        {[this] { doc.SetPath(L"C:\\W\\HI^.ASM"); },
         L"- | create C:\\W\\HI^.bat | write C:\\W\\HI^.ASM | \"The document's path C:\\W\\HI^.ASM holds the "
         L"character \"^\", which the build script would run as a command. Rename the document or its folder "
         L"so "
         L"that its path has no \"^\", then build again.\""},
        {[this] { p.processes.failStart = true; },
         std::wstring(written) + L" | write C:\\W\\HI.bat | start C:\\W\\HI.bat"},
    };
    const std::wstring text = L"; \u0411\r\n";  // Б
    for (const auto& [arrange, outcome] : cases) {
        p.settings.tasmPath = L"T.EXE",
        p.settings.tlinkPath = L"C:\\L";  // set but missing passes when the other exists
        p.files.fail.clear(), p.dialogs.fail = false;
        doc.SetPath(kDoc);
        EarlierBuild();
        p.processes.watching(0);  // its script ended, its results not yet shown
        doc.Load(L"; \u0411");
        doc.Select(4, 4);
        doc.ReplaceSelection(L"\r\n");
        doc.DocChanged = 0;
        p.dialogs.answers = {L"C:\\W\\HI.COM"};
        arrange();
        session.Build(BuildKind::Com16, p.settings, doc, dialog);
        // A document with Cyrillic, once written, counts as changed and has nothing to undo.
        const bool docWritten =
            outcome.find(L".ASM") != std::wstring::npos && outcome.find(L"not write") == std::wstring::npos;
        EXPECT_EQ(doc.DocChanged, docWritten);
        EXPECT_EQ(doc.Model().CanUndo(), !docWritten);
        EXPECT_EQ(Outcome(), outcome);
        EXPECT_EQ(doc.Text() + std::to_wstring(doc.Model().Caret()), text + (docWritten ? L"0" : L"5"));
        EXPECT_EQ(session.State().lastBuildCom, 1);
        EXPECT_EQ(session.TakeEnded().has_value(), outcome.rfind(L"run", 0) == 0) << outcome;
    }
    EXPECT_EQ(p.files.Bytes(kDoc), "; \x81\r\n\r\n");       // in the DOS code page
    EXPECT_EQ(p.processes.slept.size(), std::size(cases));  // the earlier builds' only
}

// A header of 40h bytes whose new-header offset (at 3Ch) is `at`, then `tail`.
std::string Mz(unsigned at, const std::string& tail) {
    return "MZ" + std::string(0x3A, '\0') + std::string(1, char(at)) + std::string(3, '\0') + tail;
}
const std::string kWindowsProgram = Mz(0x40, std::string("PE\0\0", 4));

TEST(DosProgram, ToldApartByTheHeaderTheMzHeaderNames) {
    const std::tuple<std::string, bool, bool> cases[] = {
        {kWindowsProgram, false, false},    // also under a .com name
        {Mz(0x40, "NE"), false, false},     // a 16-bit Windows program
        {Mz(0x40, "PE"), true, true},       // cut short: no PE signature
        {Mz(0x00, ""), true, true},         // points at its own "MZ"
        {Mz(0xF0, ""), true, true},         // points past the end
        {"MZ\x90", true, true},             // too short for a new header
        {"\xB4\x4C\xCD\x21", false, true},  // a memory image: a DOS .com
        {"", false, false},
    };
    for (const auto& [bytes, dosExe, dosProgram] : cases) {
        EXPECT_EQ(IsDosExe(bytes), dosExe) << testing::PrintToString(bytes);
        EXPECT_EQ(IsDosProgram(bytes), dosProgram) << testing::PrintToString(bytes);
    }
}

// A COM program built with DOS tools, through the DOS route.
class DosRouteTest : public BuildTest {
  protected:
    DosRouteTest() {
        host.startsDos = false;
        p.files.Put(L"T.EXE", Mz(0, "dos"));
        p.files.Put(L"L.EXE", Mz(0, "dos"));
    }
    void Build() { BuildTest::Build(BuildKind::Com16, L"C:\\W\\HI.COM"); }
};

// Declined DOSBox, a system that starts DOS programs, or Windows tools: as before.
TEST_F(DosRouteTest, WithoutDosBoxOrWithoutTheNeedTheScriptStartsDirectly) {
    Build();  // DOSBox nowhere: the offer to locate it, declined
    EXPECT_EQ(p.messages.shown.at(0).style, kMbYesNo | 0x20u);
    host.startsDos = true;
    Build();
    host.startsDos = false;
    p.files.Put(L"T.EXE", kWindowsProgram);
    p.files.Put(L"L.EXE", kWindowsProgram);
    Build();
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>(3, L"C:\\W\\HI.bat"));
    EXPECT_EQ(p.processes.slept, std::vector<unsigned>(3, 1000));
    EXPECT_TRUE(host.started.empty() && p.messages.shown.size() == 1 && p.registry.log.empty());
}

// DOSBox nowhere: Yes locates it in an Open dialog, and the choice is kept for the next builds.
TEST_F(DosRouteTest, ALocatedDosBoxIsKeptUnderTheUsersKey) {
    p.files.Put(L"E:\\db\\dosbox.exe", "MZ");
    p.messages.answers = {kIdYes};
    p.dialogs.answers = {L"E:\\db\\dosbox.exe"};  // DOSBox, then the output
    Build();
    Build();
    EXPECT_EQ(p.messages.shown.size() + p.dialogs.shown.size(), 4u);  // asked once: locate, save, save
    EXPECT_EQ(p.dialogs.shown[0].request.filter,
              L"DOSBox (dosbox*)|dosbox*|Programs (*.exe)|*.exe|All files (*.*)|*.*");
    EXPECT_EQ(p.registry.ReadValue(RegRoot::CurrentUser, L"Software\\Korveline", L"DOSBox").text,
              L"E:\\db\\dosbox.exe");
    ASSERT_EQ(host.started.size(), 2u);
    EXPECT_EQ(host.started[1].rfind(L"E:\\db\\dosbox.exe -c", 0), 0u);
}

// DOSBox found on PATH runs the script: each drive mounted once, a marker of
// its own. Run follows the script's end, the latest build's only.
TEST_F(DosRouteTest, DosToolsRunInDosBoxAndRunFollowsTheScriptsEnd) {
    p.system.environment[L"PATH"] = L"C:\\bin;\"D:\\Dos Box\\\";E:\\x";
    p.files.Put(L"D:\\Dos Box\\dosbox.exe", "MZ");
    Build();
    EXPECT_TRUE(p.processes.started.empty());
    EXPECT_TRUE(p.processes.slept.empty());
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        host.started[0],
        std::wregex(LR"(D:\\Dos Box\\dosbox.exe -c "@mount C \\"/C x/\\"" -c @C: -c "@cd \\W" )"
                    LR"(-c "call HI.bat" -c "@echo done>C:\\W\\KV[0-9A-F]{6}\.END")"
                    LR"( -c @pause -c @exit)")))
        << testing::PrintToString(host.started[0]);
    EXPECT_EQ(QuoteArgument(L"a\\ \"b\\"), L"\"a\\ \\\"b\\\\\"");  // backslashes doubled only before a quote
    EXPECT_FALSE(session.TakeEnded());                             // not this script's end: nothing yet
    EXPECT_FALSE(session.RunEnabled());

    p.files.Put(L"C:\\W\\HI.COM", "\xB4\x4C\xCD\x21");
    host.appeared();
    EXPECT_EQ(notified, 1);
    EXPECT_TRUE(session.TakeEnded());
    EXPECT_TRUE(session.RunEnabled());
    EXPECT_EQ(session.State().lastBuildCom, 1);
    session.Run();  // a DOS program, in DOSBox
    EXPECT_EQ(host.started.size(), 2u);

    const auto earlierEnd = host.appeared;
    Build();  // a later build: the earlier script's end no longer counts
    earlierEnd();
    EXPECT_FALSE(session.TakeEnded());
    EXPECT_FALSE(session.RunEnabled());

    p.files.Put(L"C:\\W\\HI.EXE", kWindowsProgram);
    BuildTest::Build(BuildKind::Exe16);
    host.appeared();
    session.TakeEnded();
    session.Run();  // a Windows program starts as it always has
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\W\\HI.exe"});
}

// TD.EXE for DOS programs and TD32.EXE for 32-bit Windows ones, looked for as
// the user chose, then beside the assembler and the linker; started in the
// program's folder with its name, through DOSBox where DOS needs it.
TEST_F(DosRouteTest, DebugStartsTheProgramsDebuggerInItsFolder) {
    const std::tuple<std::string, std::optional<DebuggerKind>> programs[] = {
        {Mz(0, "dos"), DebuggerKind::Dos},
        {"\xB4\x4C\xCD\x21", DebuggerKind::Dos},
        {kWindowsProgram, DebuggerKind::Windows32},
        {Mz(0x40, std::string("PE\0", 3)), DebuggerKind::Dos},
        {Mz(0x40, "NE"), std::nullopt},
        {"", std::nullopt}};
    for (const auto& [bytes, kind] : programs)
        EXPECT_EQ(DebuggerFor(bytes), kind) << testing::PrintToString(bytes);
    SharedSettings tools;
    tools.tasmPath = L"C:\\TASM\\TASM.EXE", tools.tlinkPath = L"TLINK.EXE";
    EXPECT_EQ(DebuggerCandidates(DebuggerKind::Windows32, L"D:\\td32.exe", tools),
              (std::vector<std::wstring>{L"D:\\td32.exe", L"C:\\TASM\\TD32.EXE"}));
    EXPECT_EQ(DebugLaunchFor(L"C:\\HI.COM").folder + L"|" + DebugLaunchFor(L"C:\\W\\HI.EXE").folder,
              L"C:\\|C:\\W");

    session.Debug(p.settings);  // nothing built: nothing to debug
    p.settings.tasmPath = L"C:\\TASM\\T.EXE", p.settings.tlinkPath = L"C:\\TL\\L.EXE";
    p.files.Put(p.settings.tasmPath, Mz(0, "dos"));
    p.files.Put(p.settings.tlinkPath, Mz(0, "dos"));
    p.files.Put(L"D:\\dosbox.exe", "MZ");
    p.user.SetPath(UserPath::DosBox, L"D:\\dosbox.exe");
    Build();
    p.files.Put(L"C:\\W\\HI.COM", kWindowsProgram);  // a 32-bit Windows program
    host.appeared();
    session.TakeEnded();
    session.Debug(p.settings);  // no TD32.EXE: asked once, declined, then told where to choose it
    session.Debug(p.settings);
    EXPECT_EQ(p.messages.shown.size(), 2u);
    EXPECT_EQ(p.messages.shown[0].style, kMbYesNo | kMbIconQuestion);
    EXPECT_NE(p.messages.shown[1].text.find(L"\"Debugger...\""), std::wstring::npos);
    p.files.Put(L"C:\\TL\\TD32.EXE", kWindowsProgram);
    session.Debug(p.settings);
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\TL\\TD32.EXE HI.com in C:\\W"});
    p.files.Put(L"C:\\W\\HI.COM", "\xB4\x4C\xCD\x21");  // a DOS program: TD.EXE, in DOSBox
    p.files.Put(L"C:\\TASM\\TD.EXE", Mz(0, "td"));
    session.Debug(p.settings);
    ASSERT_EQ(host.started.size(), 2u);
    EXPECT_NE(host.started[1].find(L"-c \"C:\\TASM\\TD.EXE HI.com\""), std::wstring::npos) << host.started[1];
    EXPECT_NE(host.started[1].find(L"-c \"@cd \\W\""), std::wstring::npos) << host.started[1];
}

// "kind|file|line|text" of each message, the kind as F(atal), E(rror) or W(arning);
// the same whatever pieces the bytes come in.
std::vector<std::wstring> Messages(const std::string& bytes, bool ended = true, std::size_t keep = 9) {
    std::vector<std::wstring> whole;
    for (std::size_t piece : {bytes.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
        ListingReader reader(keep);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            reader.Take(std::string_view(bytes).substr(at, piece));
        if (ended)
            reader.Finish();
        std::vector<std::wstring> out;
        for (const AssemblerMessage& m : reader.Kept())
            out.push_back(L"FEW"[static_cast<int>(m.kind)] +
                          (L"|" + m.file + L"|" + std::to_wstring(m.line) + L"|" + m.text));
        if (reader.NotKept() > 0)
            out.push_back(L"+" + std::to_wstring(reader.NotKept()));
        EXPECT_EQ(out, piece > bytes.size() ? (whole = out) : whole) << "in pieces of " << piece;
    }
    return whole;
}

TEST(BuildListing, ReadsTheAssemblersMessageLinesAndNothingElse) {
    const std::string longText(2000, 'x');
    const std::pair<std::string, std::wstring> cases[] = {
        {"**Error** C:\\WORK\\HELLO.ASM(12) Undefined symbol: FOO\r\n",
         L"E|C:\\WORK\\HELLO.ASM|12|Undefined symbol: FOO"},
        {"*Warning* C:\\MY WORK\\A.ASM(7) Needs type override",
         L"W|C:\\MY WORK\\A.ASM|7|Needs type override"},
        {"**Error** A.ASM(3) \x8E\xE8\xA8\xA1\xAA\xA0 (1)\r\n",
         L"E|A.ASM|3|\x041E\x0448\x0438\x0431\x043A\x0430 (1)"},
        {"**Fatal** Command line: Can't locate file: X(1) \r\n",
         L"F||0|Command line: Can't locate file: X(1)"},
        {"**Error** A.ASM(40) MYMAC(2) Undefined\n", L"E|A.ASM|40|MYMAC(2) Undefined"},
        {"**Error** C:\\V(2)A\\B(X)\\A.ASM(9) Bad\r\n",
         L"E|C:\\V(2)A\\B(X)\\A.ASM|9|Bad"},           // brackets in folders
        {"  **Error** A.ASM(2) " + longText + "\r\n",  // a line is read up to its first 1,024 bytes
         L"E|A.ASM|2|" + std::wstring(ListingReader::kLongestLine - 21, L'x')},
        {"      5  0000  B8 0000s   mov ax, foo ; **Error** not here\r\n", L""},
        {"*Warnings* 1\r\n", L""},
        {"", L""},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(Messages(bytes), expected.empty() ? std::vector<std::wstring>{} : std::vector{expected})
            << bytes;
    // A listing still being written: only its ended lines count.
    const std::string partial = "**Error** A.ASM(1) first\r\n**Error** A.ASM(3";
    EXPECT_EQ(Messages(partial, false), std::vector<std::wstring>{L"E|A.ASM|1|first"});
    // Past the messages kept, the rest are counted.
    EXPECT_EQ(Messages(partial + ")\n*warning* B.ASM(4) w\n", true, 1),
              (std::vector<std::wstring>{L"E|A.ASM|1|first", L"+2"}));
}

TEST(BuildResults, RowsForMessagesListingAndOutput) {
    const ScriptOutputs out{L"C:\\My Work\\hello.asm", L"C:\\MYWORK~1\\HELLO.ASM", L"C:\\MYWORK~1\\hello",
                            L"C:\\MYWORK~1\\hello.exe"};
    const std::uint64_t t = 500000000;  // the script's start; two seconds are 20,000,000
    const std::wstring noListing =
        L"Listing||The assembler wrote no listing (hello.LST), so its messages cannot be shown here.|0\n";
    const std::wstring unread = L"Listing||hello.LST could not be read to its end (",
                       missing = L"), so messages may be missing here.|0\n",
                       written = L"Output||hello.exe written, 20 bytes|0\n!";
    struct Case {
        const char* listing;  // nullptr: none
        std::uint64_t listingTime, outputTime;
        int outputSize;  // -1: no output
        std::wstring rows;
        const wchar_t* failing = nullptr;  // ".LST": reading it fails after its first piece
        std::uint32_t code = FakeFileSystem::kOutOfMemory;
    } cases[] = {
        {"**Error** C:\\MYWORK~1\\HELLO.ASM(4) bad\r\n*Warning* HELLO.ASM(9) odd\r\n**Error** DEFS.INC(5) "
         "x\r\n",
         t, 0, -1,
         L"Error|4|bad|4\nWarning|9|odd|9\nError|DEFS.INC(5)|x|0\nOutput||No output: hello.exe was not "
         L"written.|0\n!"},
        {nullptr, 0, t, 1234, noListing + L"Output||hello.exe written, 1,234 bytes|0\n!"},
        {"clean\r\n", t, t - 15000000, 20, L"Output||hello.exe written, 20 bytes|0\n"},  // not worth a window
        {"**Error** HELLO.ASM(1) old\r\n", t - 30000000, t - 30000000, 20,
         noListing + L"Output||No output: hello.exe is from an earlier build; this one wrote none.|0\n!"},
        {"**Error** HELLO.ASM(4) bad\r\n", t, t, 20,
         L"Error|4|bad|4\n" + unread + L"Windows error 32" + missing + written, L".LST", 32},
        {"clean\r\n", t, t, 20, unread + L"not enough memory" + missing + written, L".LST"},
    };
    for (const Case& c : cases) {
        FakeFileSystem files;
        if (c.listing)
            files.Put(out.outBase + L".LST", c.listing, 0, c.listingTime);
        if (c.outputSize >= 0)
            files.Put(out.outputPath, std::string(static_cast<std::size_t>(c.outputSize), 'x'), 0,
                      c.outputTime);
        if (c.failing)
            files.fail[Lower(out.outBase + c.failing)] = c.code;
        const BuildResults results = CollectBuildResults(out, t, files);
        std::wstring rows;  // a row a line; "!" when it is worth a window
        for (const ResultRow& r : results.rows)
            rows += r.kind + L"|" + r.where + L"|" + r.text + L"|" + std::to_wstring(r.line) + L"\n";
        EXPECT_EQ(rows + (results.worthShowing ? L"!" : L""), c.rows);
    }
    // A listing of any size: the first 5,000 messages and a count of the rest.
    FakeFileSystem files;
    std::string listing;
    for (int n = 0; n < 5003; ++n)
        listing += "**Error** HELLO.ASM(1) bad\n";
    files.Put(out.outBase + L".LST", listing, 0, t);
    const BuildResults many = CollectBuildResults(out, t, files);
    ASSERT_EQ(many.rows.size(), 5002u);
    EXPECT_EQ(many.rows[5000].text, L"... and 3 more messages, in hello.LST.");
    struct NoMemory : FakeFileSystem {
        FileStamp Stamp(Text) override { throw std::bad_alloc(); }
    } noMemory;
    noMemory.Put(out.outBase + L".LST", "", 0, t);
    const BuildResults failed = CollectBuildResults(out, t, noMemory);
    ASSERT_EQ(failed.rows.size(), 1u);
    EXPECT_EQ(failed.rows[0].text, L"The build's results could not be gathered (not enough memory).");
}

TEST(BuildResults, AnAssemblerLineIsFoundInTheEditorsText) {
    const std::wstring text = L"one\r\ntwo\nthree\r\n";  // a lone LF ends a line for the assembler only
    const std::pair<std::size_t, std::size_t> spans[] = {{0, 3}, {5, 8}, {9, 14}, {16, 16}, {16, 16}};
    for (std::size_t line = 1; line <= 5; ++line) {
        const TextSpan span = AssemblerLineSpan(text, line);
        EXPECT_EQ(std::make_pair(span.start, span.end), spans[line - 1]) << line;
    }
}

}  // namespace
