// DOS tools built and run through DOSBox, against the fakes.
#include <gtest/gtest.h>

#include <regex>

#include "compile/build_pipeline.h"
#include "fakes.h"

namespace {

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

TEST(DosBoxArguments, MountEachDriveRunTheCommandMarkItsEndAndWaitForAKey) {
    const DosBoxSession session{{{L'C', L"/home/a b/drive_c/"}, {L'D', L"/d/"}},
                                L"C:\\WORK",
                                L"call HELLO.BAT",
                                L"C:\\WORK\\KV000001.END"};
    EXPECT_EQ(DosBoxArguments(session),
              L"-c \"@mount C \\\"/home/a b/drive_c/\\\"\" -c \"@mount D /d/\" -c @C: -c \"@cd \\WORK\" "
              L"-c \"call HELLO.BAT\" -c \"@echo done>C:\\WORK\\KV000001.END\" -c @pause -c @exit");
    EXPECT_EQ(QuoteArgument(L"a\\ \"b\\"), L"\"a\\ \\\"b\\\\\"");
}

class FakeDosHost : public DosHost {
  public:
    bool startsDos = false;
    std::vector<std::wstring> started;  // "<program> <arguments>"
    std::function<void()> appeared;

    bool StartsDosPrograms() override { return startsDos; }
    std::wstring HostRoot() override { return L"Z:\\"; }
    std::wstring HostFolderOfDrive(wchar_t drive) override { return L"/" + std::wstring(1, drive) + L"/"; }
    void Start(const std::wstring& program, const std::wstring& args) override {
        started.push_back(program + L" " + args);
    }
    void WatchFor(const std::wstring&, std::function<void()> then) override { appeared = std::move(then); }
};

class DosRouteTest : public ::testing::Test {
  protected:
    DosRouteTest() {
        p.settings.tasmPath = L"C:\\TASM\\TASM.EXE";
        p.settings.tlinkPath = L"C:\\TASM\\TLINK.EXE";
        p.files.Put(p.settings.tasmPath, Mz(0, "dos"));
        p.files.Put(p.settings.tlinkPath, Mz(0, "dos"));
        view.caption = L"C:\\WORK\\HELLO.ASM";
    }
    void Build() {
        p.dialogs.Choose(L"C:\\WORK\\HELLO.COM");
        RunBuild(BuildKind::Com16, p.platform, p.settings, doc, build, view, dialog, &route);
    }

    FakeProgram p;
    FakeDosHost host;
    int notified = 0;
    DosRoute route{p.platform, host, [this] { ++notified; }};
    FakeMainView view;
    DocumentState doc;
    BuildState build;
    CommonDialog dialog{p.dialogs};
};

// Declined DOSBox, a system that starts DOS programs, and Windows tools all
// build as before: the script started directly.
TEST_F(DosRouteTest, WithoutDosBoxOrWithoutTheNeedTheScriptStartsDirectly) {
    Build();  // DOSBox nowhere: the offer to locate it, declined
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].style, kMbYesNo | 0x20u);
    EXPECT_FALSE(p.registry.HasKey(RegRoot::CurrentUser, L"Software\\Korveline"));
    host.startsDos = true;
    Build();
    host.startsDos = false;
    p.files.Put(p.settings.tasmPath, kWindowsProgram);
    p.files.Put(p.settings.tlinkPath, kWindowsProgram);
    Build();
    EXPECT_EQ(p.processes.started, std::vector<std::wstring>(3, L"C:\\WORK\\HELLO.bat"));
    EXPECT_EQ(p.processes.slept, std::vector<unsigned>(3, 1000));
    EXPECT_TRUE(host.started.empty());
    EXPECT_EQ(p.messages.shown.size(), 1u);
}

// DOSBox found on PATH (its folders quoted or not) runs the script: each
// drive mounted once, and a marker of its own written at the script's end.
TEST_F(DosRouteTest, DosToolsRunInDosBoxAndRunFollowsTheScriptsEnd) {
    p.system.environment[L"PATH"] = L"C:\\bin;\"D:\\Dos Box\\\";E:\\x";
    p.files.Put(L"D:\\Dos Box\\dosbox.exe", "MZ");
    Build();
    EXPECT_TRUE(p.processes.started.empty());
    EXPECT_TRUE(p.processes.slept.empty());
    ASSERT_EQ(host.started.size(), 1u);
    EXPECT_TRUE(std::regex_match(
        host.started[0], std::wregex(LR"(D:\\Dos Box\\dosbox.exe -c "@mount C /C/" -c @C: -c "@cd \\WORK" )"
                                     LR"(-c "call HELLO.bat" -c "@echo done>C:\\WORK\\KV[0-9A-F]{6}\.END")"
                                     LR"( -c @pause -c @exit)")))
        << testing::PrintToString(host.started[0]);
    route.ScriptEnded(build, view);  // not this script's end: nothing yet
    EXPECT_FALSE(view.runEnabled);

    p.files.Put(L"C:\\WORK\\HELLO.COM", "\xB4\x4C\xCD\x21");
    host.appeared();
    EXPECT_EQ(notified, 1);
    route.ScriptEnded(build, view);
    EXPECT_TRUE(view.runEnabled);
    EXPECT_EQ(build.lastBuildCom, 1);

    const auto earlierEnd = host.appeared;
    Build();  // a later build: the earlier script's end no longer counts
    earlierEnd();
    route.ScriptEnded(build, view);
    EXPECT_FALSE(view.runEnabled);

    EXPECT_TRUE(route.RunProgram(L"C:\\WORK\\HELLO.COM"));
    p.files.Put(L"C:\\WORK\\WIN.EXE", kWindowsProgram);
    EXPECT_FALSE(route.RunProgram(L"C:\\WORK\\WIN.EXE"));
}

}  // namespace
