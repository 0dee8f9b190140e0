// Building: the Compile commands and Run, the DOSBox route, and the build's results. One file
// of over 400 lines, as the compile part is one room: its tests share the build fixture and DOS host.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sstream>

#include "codepage/cp1251.h"
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

// Wine's host unless told otherwise: Z: is the host's root, another drive X: is /x.
class FakeDosHost : public DosHost {
  public:
    bool startsDos = true, wine = true;
    std::uint32_t failStart = 0;
    std::vector<DosSession> started;

    static std::wstring Swapped(std::wstring path, wchar_t from, wchar_t to) {
        std::replace(path.begin(), path.end(), from, to);
        return path;
    }
    bool StartsDosPrograms() override { return startsDos; }
    std::wstring FromHostPath(Text path) override { return wine ? L"Z:" + Swapped(path, L'/', L'\\') : L""; }
    std::wstring ToHostPath(Text path) override {
        if (!wine || path.size() < 3 || path[1] != L':')
            return L"";
        const std::wstring rest = Swapped(path.substr(2), L'\\', L'/');
        return path[0] == L'Z' ? rest : L"/" + std::wstring(1, std::towlower(path[0])) + rest;
    }
    std::optional<std::string> AnsiText(Text text) override {  // a Russian Windows
        for (wchar_t c : text)
            if (c >= 0x80 && (c < 0x410 || c > 0x44F))
                return std::nullopt;
        return EncodeCp1251(text);
    }
    void Start(DosSession session) override {
        started.push_back(session);
        if (failStart)
            throw PlatformError(L"start", failStart);
    }
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
    // Run enabled, files written, programs started, messages up to their first comma (style unless a stop
    // sign).
    std::wstring Outcome() {
        std::wstring s = session.RunEnabled() ? L"run" : L"-";
        for (const std::wstring& w : p.files.log)
            s += L" | " + w;
        for (const std::wstring& w : p.processes.started)
            s += L" | start " + w;
        for (const auto& m : p.messages.shown)
            s += L" | \"" + m.text.substr(0, m.text.find(L", ")) + L"\"" +
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
        {BuildKind::Com32, L"C:\\W\\HI.com", L"C:\\W\\HI.com", true, 1},
        {BuildKind::Exe32, L"C:\\W\\HI.exe", L"C:\\W\\HI.exe", true, 0},
        {BuildKind::Com16, L"C:\\W\\NO.com", L"", false, 0},
        {BuildKind::Exe16, L"C:\\W\\HI.exe", L"", true, 0},
        {BuildKind::Com16, L"HI.com", L"HI.com", true, 1},  // a name without a folder
    };
    for (const auto& [kind, chosen, made, runs, com] : cases) {
        produces = made;
        Build(kind, chosen);
        EXPECT_FALSE(runEnabledWhileScriptRuns);
        EXPECT_EQ(session.RunEnabled(), runs);
        EXPECT_EQ(session.State().lastBuildCom, com);
        session.Run();
        EXPECT_EQ(p.processes.started.back(),
                  std::wstring(chosen).substr(0, std::wcslen(chosen) - 4) + (com ? L".com" : L".exe"));
    }
    EXPECT_EQ(session.LatestBuild(), 5u);
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
         L"- | \"The document's name is too short to build. Save it under a name of four characters or "
         L"more\""},
        {[this] { p.files.fail[L"c:\\w\\hi.bat"] = 3; },
         L"- | create C:\\W\\HI.bat | \"The build could not write C:\\W\\HI.bat.\r\n\r\nError 3.\""},
        {[this] { p.files.fail[L"c:\\w\\hi.asm"] = 5; },
         std::wstring(written) + L" | \"The build could not write C:\\W\\HI.ASM.\r\n\r\nError 5.\""},
        {[this] { p.dialogs.answers = {L""}; }, written},
        {[this] { p.dialogs.answers = {L"C:\\W\\HEL"}; }, written},  // fewer than the four to cut
        {[this] { p.dialogs.fail = true; }, written},
        {[this] { p.dialogs.answers = {L"C:\\W\\x&calc.exe"}; },
         std::wstring(written) + L" | \"The output name C:\\W\\x&calc holds the character \"&\"\""},
        {[this] { doc.SetPath(L"C:\\W\\HI^.ASM"); },
         L"- | create C:\\W\\HI^.bat | write C:\\W\\HI^.ASM | \"The document's path C:\\W\\HI^.ASM holds the "
         L"character \"^\"\""},
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
        // A document with Cyrillic, once written, counts as changed and has nothing to undo (its caret
        // at the start); the earlier build's COM flag stays, and its results too when the tool check stops.
        const bool docWritten =
            outcome.find(L".ASM") != std::wstring::npos && outcome.find(L"not write") == std::wstring::npos;
        EXPECT_EQ(Outcome(), outcome);
        EXPECT_EQ(std::make_tuple(doc.DocChanged == 1, doc.Model().CanUndo(), doc.Text(), doc.Model().Caret(),
                                  session.State().lastBuildCom, session.TakeEnded().has_value()),
                  std::make_tuple(docWritten, !docWritten, text, docWritten ? 0u : 5u, std::int16_t{1},
                                  outcome.rfind(L"run", 0) == 0));
    }
    EXPECT_EQ(p.files.Bytes(kDoc), "; \x81\r\n\r\n");       // in the DOS code page
    EXPECT_EQ(p.processes.slept.size(), std::size(cases));  // the earlier builds' only
}

// A header of 40h bytes whose new-header offset (the double word at 3Ch) is `at`, then `tail`.
std::string Mz(std::uint32_t at, const std::string& tail) {
    std::string header = "MZ" + std::string(0x3E, '\0');
    for (int i = 0; i < 4; ++i)
        header[0x3C + i] = char(at >> 8 * i);
    return header + tail;
}
const std::string kPe = std::string("PE\0\0\x4C\x01", 6);  // the signature, then the file header's machine
const std::string kWindowsProgram = Mz(0x40, kPe), kElf = "\177ELF\2\1\1";

// x a DOS .exe, d a DOS program, w a Windows program, h a host program; the debugger: T TD.EXE, W TD32.EXE.
TEST(DosProgram, ToldApartByTheHeaderTheMzHeaderNames) {
    const std::pair<std::string, const char*> cases[] = {
        {kWindowsProgram, "wW"},  // also under a .com name
        {Mz(0x140, std::string(0x100, '\0') + kPe), "wW"},
        {Mz(0x10040, std::string(0x10000, '\0') + kPe), "wW"},
        {"MZ" + std::string(0x36, '\0') + std::string("PE\0\0\x38\0\0\0", 8), "wW"},  // all in 64 bytes
        {Mz(0x40, "NE"), ""},     // a 16-bit Windows program
        {Mz(0x40, "PE"), "xdT"},  // cut short: no PE signature
        {Mz(0x00, ""), "xdT"},    // points at its own "MZ"
        {Mz(0xF0, ""), "xdT"},    // points past the end
        {Mz(0x41, ""), "xdT"},
        {Mz(0xFFFFFFFE, "PE"), "xdT"},  // past what a 32-bit sum holds
        {"MZ\x90", "xdT"},              // too short for a new header
        {"MZ", "xdT"},
        {"\xB4\x4C\xCD\x21", "dT"},  // a memory image: a DOS .com
        {kElf, "dhT"},
        {"#!/bin/sh\n", "dhT"},
        {"", ""},
    };
    for (const auto& [b, flags] : cases) {
        const std::optional<DebuggerKind> debugger = DebuggerFor(b);
        EXPECT_EQ(std::string(IsDosExe(b) ? "x" : "") + (IsDosProgram(b) ? "d" : "") +
                      (IsWindowsProgram(b) ? "w" : "") + (IsHostProgram(b) ? "h" : "") +
                      (!debugger                        ? ""
                       : *debugger == DebuggerKind::Dos ? "T"
                                                        : "W"),
                  flags)
            << testing::PrintToString(b);
    }
}

// What DOSBox can be given: 8.3 names of letters, digits and marks; full paths on a drive; a drive
// letter per folder (compared without case) from C: to Y:; UTF-8 for a host program; quoted arguments.
TEST(DosNames, NamesPathsDrivesAndArgumentsAsDosBoxTakesThem) {
    const std::wstring tried[] = {L"AZaz09_-",  L"!#$&'(){.}~@", L"^",      L"HI.X",
                                  L"123456789", L"A.1234",       L"A.",     L".A",
                                  L"A B",       L"A%",           L"A/",     L"A:",
                                  L"A[",        L"A`",           L"\u042F", std::wstring(L"A\0", 2),
                                  L"C:\\",      L"C:",           L"1:\\",   L"\u042F:\\",
                                  L"c:/"};
    std::wstring names;  // a DOS name or a drive path: +
    for (const std::wstring& name : tried)
        names += IsDosName(name) || IsDrivePath(name) ? L'+' : L'-';
    EXPECT_EQ(names, L"++++------------+----");
    std::vector<DosDrive> drives;
    std::wstring letters;
    for (const wchar_t* folder :
         {L"C:\\Az\\", L"c:\\aZ\\", L"C:\\\u0401\u0416\u042F\\", L"C:\\\u0451\u0436\u044F\\", L"C:\\A\\"})
        letters += DriveFor(drives, folder, L"");
    for (int n = 0; n < 21; ++n)
        letters += DriveFor(drives, std::to_wstring(n), L"") ? L"" : L"0";
    EXPECT_EQ(letters + drives.back().letter, L"CCDDE0Y");
    EXPECT_EQ(Utf8({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xD83D, 0xDE00, 0xDBFF, 0xDFFF, 0xDC00, 0xD800, 0xE000,
                    0xD800}),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xED\xB0\x80\xED"
              "\xA0\x80\xEE\x80\x80\xED\xA0\x80");
    EXPECT_EQ(QuoteArgument(L"HI.COM") + QuoteArgument(L"") + QuoteArgument(L"a\\\"b c\\") +
                  QuoteArgument(L"a\\b\tc"),
              L"HI.COM\"\"\"a\\\\\\\"b c\\\\\"\"a\\b\tc\"");
    EXPECT_EQ(CommandLine({L"a b", L"", L"c"}), L"\"a b\" \"\" c");
}

// A COM program built with the DOS tools in C:\TASM, through DOSBox.
class DosRouteTest : public BuildTest {
  protected:
    DosRouteTest() {
        Restart();
        p.files.Put(p.settings.tasmPath, Mz(0, "dos")), p.files.Put(p.settings.tlinkPath, Mz(0, "dos"));
        p.files.Put(L"Z:\\usr\\bin\\dosbox", kElf);
    }
    void Build(Text output = L"C:\\W\\HI.COM") {
        p.dialogs.Choose(output);
        dos->Build(BuildKind::Com16, p.settings, doc, dialog);
    }
    // The last session's command line (only a program's path is quoted, so that Microsoft's rules and
    // SDL 1.2's read it alike), its mounts and the script copy's tool lines; "KV*" for each session's name.
    std::string Session() {
        std::string text = Utf8(host.started.back().commandLine) + "\n";
        for (const char* type : {"CNF", "BAT"}) {
            std::istringstream lines(Written(type));
            for (std::string l; std::getline(lines, l);)
                if (l.rfind("@mount", 0) == 0 ||
                    (!l.empty() && std::isalpha(static_cast<unsigned char>(l[0]))))
                    text += l + "\n";
        }
        return std::regex_replace(text, std::regex("KV[0-9A-F]{6}"), "KV*");
    }
    std::string Written(const char* type) {  // the last session file of the type written, "KV*" for its name
        for (auto w = p.files.log.rbegin(); w != p.files.log.rend(); ++w)
            if (std::regex_search(
                    *w, std::wregex(L"KV[0-9A-F]{6}\\." + std::wstring(type, type + std::strlen(type)))))
                return std::regex_replace(p.files.Bytes(w->substr(6)), std::regex("KV[0-9A-F]{6}"), "KV*");
        return "(none)";
    }

    void WindowsDosBox() {  // no host DOSBox, but one for Windows on the PATH
        host.wine = false, p.system.environment[L"PATH"] = L"C:\\DB";
        p.files.Put(L"C:\\DB\\dosbox.exe", kWindowsProgram);
    }
    void Restart() {  // the program started anew, nothing found or declined yet, the machine as at first
        dos.emplace(p.platform, p.user, host, [this] { ++notified; });
        host.wine = true, host.startsDos = false, doc.SetPath(kDoc);
        p.system.environment = {{L"TEMP", L"C:\\users\\u\\Temp"}};
        p.settings.tasmPath = L"C:\\TASM\\TASM.EXE", p.settings.tlinkPath = L"C:\\TASM\\TLINK.EXE";
    }

    FakeDosHost host;
    int notified = 0;
    std::optional<BuildSession> dos;
};

// Windows tools, a system that starts DOS programs, or DOSBox declined (asked once until the next start).
TEST_F(DosRouteTest, WithoutDosBoxOrWithoutTheNeedTheScriptStartsDirectly) {
    p.files.Put(p.settings.tasmPath, kWindowsProgram), p.files.Put(p.settings.tlinkPath, kWindowsProgram);
    Build();
    p.files.Put(p.settings.tasmPath, Mz(0, "dos")), p.files.Put(p.settings.tlinkPath, Mz(0, "dos"));
    host.startsDos = true;
    Build();
    host.startsDos = false, host.wine = false;  // no host DOSBox, none anywhere
    Build();                                    // the offer to locate DOSBox, declined
    Build();                                    // not offered again
    EXPECT_EQ(p.messages.shown.at(0).style, kMbYesNo | 0x20u);
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>(4, L"C:\\W\\HI.bat"));
    EXPECT_TRUE(host.started.empty() && p.messages.shown.size() == 1 && p.registry.log.empty());
}

// The script beside the document as ever; DOSBox runs a copy that names each folder's own drive.
TEST_F(DosRouteTest, EveryFolderIsADriveOfItsOwnAndOnlyTheProgramIsOnTheCommandLine) {
    Build();
    EXPECT_EQ(p.files.Bytes(kBat),
              " prompt $s\r\nC:\\TASM\\TASM.EXE a16c C:\\W\\HI.ASM, C:\\W\\HI, C:\\W\\HI\r\n"
              "C:\\TASM\\TLINK.EXE l16c C:\\W\\HI, C:\\W\\HI\r\n");
    EXPECT_EQ(Written("CNF"),
              "[autoexec]\r\n@mount C /c/W/\r\n@mount D /c/TASM/\r\n@mount E /c/users/u/Temp/\r\n"
              "@C:\r\n@call E:\\KV*.BAT\r\n@echo done>E:\\KV*.END\r\n@pause\r\n@exit\r\n");
    EXPECT_EQ(
        Written("BAT"),
        " prompt $s\r\n@if not exist D:\\TASM.EXE echo tasm missing>>E:\\KV*.STA\r\n"
        "D:\\TASM.EXE a16c C:\\HI.ASM, C:\\HI, C:\\HI\r\n"
        "@if exist D:\\TASM.EXE if errorlevel 1 echo tasm failed>>E:\\KV*.STA\r\n"
        "@if not exist D:\\TLINK.EXE echo tlink missing>>E:\\KV*.STA\r\nD:\\TLINK.EXE l16c C:\\HI, C:\\HI\r\n"
        "@if exist D:\\TLINK.EXE if errorlevel 1 echo tlink failed>>E:\\KV*.STA\r\n");
    EXPECT_EQ(Written("SH"), "'/usr/bin/dosbox' -conf KV*.CNF\necho $? >KV*.GON\n");
    EXPECT_EQ(Session().substr(0, 16), "Z:\\bin\\sh KV*.SH");
    const DosSession& s = host.started.back();
    EXPECT_TRUE(std::regex_match(
        s.folder + L"|" + s.endMarker + L"|" + s.goneMarker,
        std::wregex(LR"(C:\\users\\u\\Temp\\\|(C:\\users\\u\\Temp\\KV[0-9A-F]{6}\.)END\|\1GON)")));
    std::wstring work;  // the files the host removes when the session has ended
    for (Text file : s.workFiles)
        work += file.substr(file.size() - 3) + L" ";
    EXPECT_EQ(work, L"BAT STA END CNF .SH GON ");

    const std::pair<std::function<void()>, std::string> forms[] = {
        {[this] { doc.SetPath(L"Z:\\home\\u\\hi.asm"); },
         "@mount C /home/u/\r\n@mount D /c/W/"},  // the host's drive
        {[this] { doc.SetPath(L"C:\\Мои работы\\Лабы 2\\hi.asm"); }, u8"@mount C \"/c/Мои работы/Лабы 2/\""},
        {[this] {  // a drive root, each tool in a folder of its own
             doc.SetPath(L"Q:\\HI.ASM");
             p.settings.tasmPath = L"Q:\\TASM\\100%\\TASM.EXE", p.settings.tlinkPath = L"R:\\LINK\\TLINK.EXE";
             p.files.Put(p.settings.tasmPath, Mz(0, "dos"));
         },
         "@mount C /q/\r\n@mount D /c/W/\r\n@mount E /q/TASM/100%%/\r\n@mount F /r/LINK/\r\n"
         "@mount G /c/users/u/Temp/\r\nE:\\TASM.EXE a16c C:\\HI.ASM, D:\\HI, D:\\HI"},
        {[this] {  // DOSBox for Windows: Windows folders, short where they hold Cyrillic
             host.wine = false, p.system.environment[L"ProgramFiles"] = L"C:\\Program Files";
             p.system.environment[L"TMP"] = p.system.environment[L"TEMP"],
             p.system.environment[L"TEMP"] = L"tmp";
             p.files.Put(L"C:\\Program Files\\DOSBox-0.74-3\\DOSBox.exe", kWindowsProgram);
             doc.SetPath(L"C:\\My Work\\Лабы\\hi.asm");
             p.processes.shortPaths[L"c:\\my work\\Лабы\\"] = L"C:\\MYWORK~1\\8A7B~1\\";
         },
         "\"C:\\Program Files\\DOSBox-0.74-3\\DOSBox.exe\" -conf KV*.CNF\n@mount C C:\\MYWORK~1\\8A7B~1\r\n"
         "@mount D C:\\W\r\n@mount E C:\\TASM\r\n@mount F C:\\users\\u\\Temp\r\n"},
        {[this] {  // no short names: Cyrillic in the ANSI code page; a drive root keeps its backslash
             host.wine = false, p.system.environment[L"PATH"] = L"relative;\"D:\\Программы\\DOSBox\";C:\\W";
             p.files.Put(L"D:\\Программы\\DOSBox\\dosbox.exe", kWindowsProgram);
             doc.SetPath(L"D:\\Лабы\\hi.asm");
             p.settings.tasmPath = L"E:\\TASM.EXE", p.settings.tlinkPath = L"E:\\TLINK.EXE";
             p.files.Put(p.settings.tasmPath, Mz(0, "dos"));
         },
         u8"D:\\Программы\\DOSBox\\dosbox.exe -conf KV*.CNF\n@mount C D:\\\xCB\xE0\xE1\xFB\r\n"
         "@mount D C:\\W\r\n@mount E E:\\\r\n"},
        // A missing tool in a folder DOSBox cannot be given: Y:, never mounted.
        {[this] { WindowsDosBox(), p.settings.tlinkPath = L"C:\\\u03A9\\TLINK.EXE"; },
         "@mount E C:\\users\\u\\Temp\r\nD:\\TASM.EXE a16c C:\\HI.ASM, C:\\HI, C:\\HI\r\nY:\\TLINK.EXE l16c"},
        {[this] { WindowsDosBox(), p.settings.tasmPath = L"C:\\\u03A9\\TASM.EXE"; },
         "@mount E C:\\users\\u\\Temp\r\nY:\\TASM.EXE a16c C:\\HI.ASM, C:\\HI, C:\\HI\r\nD:\\TLINK.EXE"},
        {[this] { p.processes.shortPathFails = true; },
         "@mount C /c/W/\r\n@mount D /c/TASM/"},  // output: the folder itself
    };
    for (const auto& [arrange, expected] : forms) {
        Restart();
        arrange();
        Build();
        EXPECT_NE(Session().find(expected), std::string::npos) << Session();
    }
}
// A path DOSBox cannot reach or name is refused in plain words: before anything is written, but for the
// output, which the dialog names.
TEST_F(DosRouteTest, APathDosBoxCannotNameIsRefusedBeforeItIsWritten) {
    const std::tuple<std::function<void()>, std::wstring, bool> cases[] = {
        {[this] { doc.SetPath(L" asm"); }, L"the document, \" asm\", is not one. Save it elsewhere", false},
        {[this] { doc.SetPath(L"hi.asm"); }, L"DOSBox reaches only files in a folder of a", false},
        {[this] { doc.SetPath(L"\\\\srv\\share\\hi.asm"); }, L"path of the document, \"\\\\srv\\", false},
        {[this] { doc.SetPath(L"C:\\W\\лаба.asm"); }, L"The name of the document, \"лаба.asm\", is", false},
        {[this] { doc.SetPath(L"C:\\W\\long name.asm"); }, L"The name of the document, \"long name", false},
        {[this] { p.settings.tasmPath = L"C:\\TASM\\tasm 5.exe"; }, L"assembler, \"tasm 5.exe\"", false},
        {[this] { p.settings.tlinkPath = L"TLINK.EXE"; }, L"linker, \"TLINK.EXE\", is not", false},
        {[this] { WindowsDosBox(), doc.SetPath(L"C:\\\u03A9\\hi.asm"); },  // not in the ANSI code page
         L"DOSBox cannot be given the folder \"C:\\\u03A9\\\" of the document: its name holds", false},
        {[this] { WindowsDosBox(), p.dialogs.answers = {L"C:\\\u03A9\\HI.COM"}; },
         L"the folder \"C:\\\u03A9\\\" of the output", true},
        {[this] { p.dialogs.answers = {L"C:\\W\\my prog.com"}; }, L"output, \"my prog\", is not", true},
        {[this] { p.dialogs.answers = {L"C:\\W\\HI.X.COM"}; }, L"output, \"HI.X\", is not", true},
        {[this] { p.dialogs.answers = {L"\\\\srv\\share\\HI.COM"}; }, L"\"\\\\srv\\share\\HI\"", true},
    };
    for (const auto& [arrange, refusal, afterDialog] : cases) {
        Restart();
        p.files.log.clear(), p.messages.shown.clear(), p.dialogs.answers = {L"C:\\W\\HI.COM"};
        arrange();
        dos->Build(BuildKind::Com16, p.settings, doc, dialog);
        ASSERT_EQ(p.messages.shown.size(), 1u) << refusal;
        EXPECT_NE(p.messages.shown[0].text.find(refusal), std::wstring::npos) << p.messages.shown[0].text;
        EXPECT_EQ(p.files.log.size(), afterDialog ? 2u : 0u);  // the empty script and the document, or none
        EXPECT_TRUE(host.started.empty() && p.processes.started.empty());
    }
}

// How the session ended: Run follows the output, DOSBox's part is rows of the results, and DOSBox that
// cannot start is one message with the system's wording.
TEST_F(DosRouteTest, WhatHappenedInDosBoxIsReportedAndRunFollowsTheOutput) {
    const std::wstring tasm = L"The assembler",
                       failed = L" reported a failure; its messages are in the DOSBox window.\n",
                       notStarted = L"DOSBox could not be started: Z:\\usr\\bin\\dosbox\r\n\r\nError ";
    const std::tuple<DosSessionEnd, bool, std::wstring> cases[] = {
        // DOSBox's rows, "!": worth a window, said
        {{true, "tasm missing\r\n", -1}, false, tasm + L" C:\\TASM\\TASM.EXE was not found in DOSBox.\n!"},
        {{false, "tasm failed\r\n", 0},
         false,
         L"The build did not finish in DOSBox: DOSBox ended before the build script did.\n" + tasm + failed +
             L"!"},
        {{false, "", 127}, false, notStarted + L"2."},
        {{false, "", 126}, false, notStarted + L"5."},
        {{true, "tlink failed\r\n", -1}, true, L"The linker" + failed + L"!"},  // worth a window though made
        {{true, "", -1}, true, L""},
    };
    p.files.Put(L"C:\\W\\HI.LST", "");
    for (const auto& [end, made, expected] : cases) {
        Build();
        p.messages.shown.clear();
        if (made)
            p.files.Put(L"C:\\W\\HI.COM", "\xB4\x4C\xCD\x21");
        EXPECT_FALSE(dos->TakeEnded());  // not yet: nothing
        host.started.back().ended(end);
        const std::optional<BuildResults> results = dos->TakeEnded();
        ASSERT_TRUE(results);
        std::wstring outcome;
        for (const ResultRow& r : results->rows)
            outcome += r.kind == L"DOSBox" ? r.text + L"\n" : L"";
        outcome += results->worthShowing ? L"!" : L"";
        for (const auto& m : p.messages.shown)
            outcome += m.text;
        EXPECT_EQ(outcome, expected);
        EXPECT_EQ(std::make_pair(dos->RunEnabled(), dos->State().lastBuildCom),
                  std::make_pair(made, std::int16_t(made)));
    }
    EXPECT_EQ(notified, 6);
    const auto earlierEnd = host.started.back().ended;
    Build();  // a later build: the earlier session's end no longer counts
    earlierEnd({true, "", -1});
    EXPECT_FALSE(dos->TakeEnded() || dos->RunEnabled());
    host.failStart = 5;
    Build();
    EXPECT_EQ(p.messages.shown.back().text, notStarted + L"5.");
    host.failStart = 0;

    dos->Run();  // Run: a DOS program, its folder as C:
    EXPECT_NE(Written("CNF").find("@mount C /c/W/\r\n@C:\r\n@HI.com\r\n@pause"), std::string::npos);
    p.files.Put(L"C:\\W\\HI.COM", kWindowsProgram);  // a Windows program starts as it always has
    dos->Run();
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>{L"C:\\W\\HI.com"});
    Build();  // a session ends, its results not yet taken, and then a direct .exe build finds no output
    host.started.back().ended({true, "", -1});
    host.startsDos = true;
    p.dialogs.Choose(L"C:\\W\\HI.EXE");
    dos->Build(BuildKind::Exe16, p.settings, doc, dialog);
    EXPECT_FALSE(dos->TakeEnded() || dos->RunEnabled());
    Restart();  // Run after a direct build, DOSBox not looked for yet: through DOSBox; when it does not
    host.startsDos = true;  // start, or has gone, the program starts as it always has
    p.files.Put(L"C:\\W\\HI.COM", "\xB4\x4C\xCD\x21");
    Build();
    host.startsDos = false, host.started.clear(), p.processes.started.clear();
    dos->Run();
    host.failStart = 5;
    dos->Run();
    host.failStart = 0, p.files.Remove(L"Z:\\usr\\bin\\dosbox");
    dos->Run();
    EXPECT_EQ(std::to_string(host.started.size()) + std::to_string(p.processes.started.size()), "22");
}

// TD.EXE for DOS programs and TD32.EXE for 32-bit Windows ones, looked for as the user chose, then beside the
// assembler and the linker; started in the program's folder with its name, through DOSBox where DOS needs it.
TEST_F(DosRouteTest, DebugStartsTheProgramsDebuggerInItsFolder) {
    EXPECT_EQ(DebugLaunchFor(L"C:\\HI.COM").folder + L"|" + DebugLaunchFor(L"C:\\W\\HI.EXE").folder,
              L"C:\\|C:\\W");

    dos->Debug(p.settings);  // nothing built: nothing to debug
    p.settings.tlinkPath = L"C:\\TL\\TLINK.EXE";
    p.files.Put(p.settings.tlinkPath, Mz(0, "dos"));
    Build();
    p.files.Put(L"C:\\W\\HI.COM", kWindowsProgram);  // a 32-bit Windows program, no TD32.EXE yet: asked once
    host.started.back().ended({true, "", -1});
    dos->TakeEnded();
    dos->Debug(p.settings), dos->Debug(p.settings);     // No is kept: a note
    p.files.Put(L"C:\\TL\\TD32.EXE", kWindowsProgram);  // beside the linker
    dos->Debug(p.settings), p.files.Remove(L"C:\\TL\\TD32.EXE");
    p.messages.answers = {kIdYes, kIdYes};  // Debugger... cancelled asks again; Yes locates and keeps it
    dos->ChooseDebugger(p.settings), p.dialogs.Choose(L"C:\\D\\MY.EXE"),
        p.files.Put(L"C:\\D\\MY.EXE", kWindowsProgram);
    dos->Debug(p.settings), dos->Debug(p.settings);
    std::wstring styles;  // Yes/No question, note, Yes/No/Cancel, Yes/No
    for (const auto& m : p.messages.shown)
        styles += std::to_wstring(m.style) + L" ";
    EXPECT_EQ(styles, L"36 64 35 36 ");
    EXPECT_EQ(p.processes.started, (std::vector<std::wstring>{L"C:\\TL\\TD32.EXE HI.com in C:\\W",
                                                              L"C:\\D\\MY.EXE HI.com in C:\\W",
                                                              L"C:\\D\\MY.EXE HI.com in C:\\W"}));
    p.files.Put(L"C:\\W\\HI.COM", "\xB4\x4C\xCD\x21");  // a DOS program: TD.EXE, in DOSBox, by a DOS name
    p.user.SetPath(UserPath::Debugger16, L"C:\\TASM\\TD 2.EXE");
    p.files.Put(L"C:\\TASM\\TD 2.EXE", Mz(0, "td"));
    dos->Debug(p.settings);
    EXPECT_TRUE(p.messages.shown.size() == 5 &&
                p.messages.shown[4].text.find(L"The name of the debugger, \"TD 2.EXE\", is not") !=
                    std::wstring::npos);
    p.user.ForgetPath(UserPath::Debugger16);
    p.files.Put(L"C:\\TASM\\TD.EXE", Mz(0, "td"));
    dos->Debug(p.settings);
    EXPECT_NE(
        Written("CNF").find("@mount C /c/W/\r\n@mount D /c/TASM/\r\n@C:\r\n@D:\\TD.EXE HI.com\r\n@pause"),
        std::string::npos)
        << Written("CNF");
}

// The context menu's DOSBox...: which DOSBox is in use, another chosen (a program only), or the choice
// forgotten.
TEST_F(DosRouteTest, TheDosBoxInUseIsShownAndCanBeChangedOrForgotten) {
    const std::wstring db = L"E:\\db\\dosbox.exe", found = L"\r\n\r\nZ:\\usr\\bin\\dosbox\r\n\r\nDo you want";
    p.files.Put(db, kWindowsProgram), p.files.Put(L"C:\\x.txt", "");
    const std::tuple<std::wstring, int, std::deque<std::wstring>, std::wstring, std::wstring> cases[] = {
        {L"", kIdNo, {}, L"", L"DOSBox it found:" + found + L" to choose another one? 36"},
        {L"", kIdYes, {L"C:\\x.txt", db}, db, L"36 | C:\\x.txt is not a program. Choose DOSBox itself"},
        {db, kIdNo, {}, L"", L"you chose:\r\n\r\n" + db + L"\r\n\r\nDo you want to choose another one? No"},
    };
    for (const auto& [stored, answers, chosen, kept, shown] : cases) {
        Restart();
        p.messages.shown.clear(), p.messages.answers = {answers}, p.dialogs.answers = chosen;
        if (!stored.empty())
            p.user.SetPath(UserPath::DosBox, stored);
        dos->ChooseDosBox();
        std::wstring said;
        for (const auto& m : p.messages.shown)
            said += (said.empty() ? L"" : L" | ") + m.text + L" " + std::to_wstring(m.style);
        EXPECT_NE(said.find(shown), std::wstring::npos) << said;
        EXPECT_EQ(p.user.Path(UserPath::DosBox), kept);
        p.user.ForgetPath(UserPath::DosBox);
    }
    // None found: a build asks, and after No builds directly; DOSBox... then locates one. Once that has
    // gone, a build asks again, and after Yes and a cancelled dialog builds directly.
    p.files.Put(L"Z:\\usr\\bin\\dosbox", "");
    p.messages.shown.clear(), p.messages.answers = {kIdNo, kIdYes, kIdYes};
    p.dialogs.answers = {L"C:\\W\\HI.COM", db, L"C:\\W\\HI.COM", L"", L"C:\\W\\HI.COM"};
    dos->Build(BuildKind::Com16, p.settings, doc, dialog);
    dos->ChooseDosBox();
    dos->Build(BuildKind::Com16, p.settings, doc, dialog);
    p.files.Remove(db);
    dos->Build(BuildKind::Com16, p.settings, doc, dialog);
    EXPECT_EQ(std::to_string(host.started.size()) + std::to_string(p.messages.shown.size()) +
                  std::to_string(p.processes.started.size()),
              "132");
    EXPECT_EQ(host.started.back().commandLine.rfind(db + L" -conf KV", 0), 0u);
    EXPECT_EQ(p.user.Path(UserPath::DosBox), db);
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
        // The place is the first "name(digits)" (up to nine) with a blank or nothing after it.
        {"**Error**\r\n", L"E||0|"},
        {"**Err\r\n", L""},
        {"**Error** A((3) t\r\n", L"E|A(|3|t"},
        {"**Error** (12) x\r\n", L"E||0|(12) x"},
        {"**Error** A (12) x\r\n", L"E||0|A (12) x"},
        {"**Error** A(123456789) x\r\n", L"E|A|123456789|x"},
        {"**Error** A(1234567890) x\r\n", L"E||0|A(1234567890) x"},
        {"**Error** A(12\r\n", L"E||0|A(12"},
        {"**Error** A() x\r\n", L"E||0|A() x"},
        {"**Error** A(1)x B(2)\r\n", L"E|A(1)x B|2|"},
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

// The document named by its path or name alone, in any case; the output's size; a file counts as
// this build's from two seconds before its start (the FAT's resolution); every failure is a row.
TEST(BuildResults, RowsForMessagesListingAndOutput) {
    const ScriptOutputs out{L"C:\\\u041C\\az\u0430\u044F\u0451.asm", L"C:\\MYWORK~1\\HELLO.ASM",
                            L"C:\\MYWORK~1\\hello", L"C:\\MYWORK~1\\hello.exe"};
    const std::uint64_t t = 500000000;  // the script's start; two seconds are 20,000,000
    const std::wstring noListing =
        L"Listing||The assembler wrote no listing (hello.LST), so its messages cannot be shown here.|0\n";
    const std::wstring
        unread = L"Listing||hello.LST could not be read to its end (",
        missing = L"), so messages may be missing here.|0\n",
        written = L"Output||hello.exe written, 20 bytes|0\n!",
        earlier = L"Output||No output: hello.exe is from an earlier build; this one wrote none.|0\n!";
    struct Case {
        const char* listing;  // nullptr: none
        std::uint64_t listingTime, outputTime;
        int outputSize;  // -1: no output
        std::wstring rows;
        const wchar_t* failing = nullptr;  // ".LST": reading it fails after its first piece
        std::uint32_t code = FakeFileSystem::kOutOfMemory;
        int stamp = 0;  // reading a stamp fails: 1 out of memory, 2 refused
    } cases[] = {
        {"**Error** C:\\MYWORK~1\\HELLO.ASM(4) bad\r\n*Warning* AZ\x80\x9F\xF0.ASM(9) odd\r\n**Error** "
         "HELLO.INC(5) x",  // its last line unended
         t, 0, -1,
         L"Error|4|bad|4\nWarning|9|odd|9\nError|HELLO.INC(5)|x|0\nOutput||No output: hello.exe was not "
         L"written.|0\n!"},
        {nullptr, 0, t, 1234567, noListing + L"Output||hello.exe written, 1,234,567 bytes|0\n!"},
        {"clean\r\n", t, t - 20000000, 999,
         L"Output||hello.exe written, 999 bytes|0\n"},  // not worth a window
        {"**Error** HELLO.ASM(1) old\r\n", t - 20000001, t - 20000001, 20, noListing + earlier},
        {"**Error** HELLO.ASM(4) bad\r\n", t, t, 20,
         L"Error|4|bad|4\n" + unread + L"Windows error 32" + missing + written, L".LST", 32},
        {"clean\r\n", t, t, 20, unread + L"not enough memory" + missing + written, L".LST"},
        {"", t, t, 20, noListing + earlier, nullptr, 0, 2},
        {"", t, t, 20, L"Build||The build's results could not be gathered (not enough memory).|0\n!", nullptr,
         0, 1},
    };
    struct Files : FakeFileSystem {
        int stamp = 0;
        FileStamp Stamp(Text path) override {
            if (stamp)
                stamp == 1 ? throw std::bad_alloc() : throw PlatformError(L"stamp", 5);
            return FakeFileSystem::Stamp(path);
        }
    };
    for (const Case& c : cases) {
        Files files;
        files.stamp = c.stamp;
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
}

TEST(BuildResults, AnAssemblerLineIsFoundInTheEditorsText) {
    const std::wstring text = L"\none\r\ntwo\nthree\r\n";  // a lone LF ends a line for the assembler only
    const std::pair<std::size_t, std::size_t> spans[] = {{0, 0},   {1, 4},   {6, 9},
                                                         {10, 15}, {17, 17}, {17, 17}};
    for (std::size_t line = 1; line <= 6; ++line) {
        const TextSpan span = AssemblerLineSpan(text, line);
        EXPECT_EQ(std::make_pair(span.start, span.end), spans[line - 1]) << line;
    }
}

}  // namespace
