// The .asm file association under HKEY_CLASSES_ROOT and its menu switch
// "Open with *.asm".
#include <windows.h>

#include <shellapi.h>

#include "driver/program.h"
#include "driver/registry.h"

namespace e2e {
namespace {

const HKEY kHkcr = HKEY_CLASSES_ROOT;
const wchar_t kCommandKey[] = L"Korveline.Qorvath\\Shell\\Open\\command";
const wchar_t kIconKey[] = L"Korveline.Qorvath\\DefaultIcon";

// The keys a registration writes, for the program at `exe`.
void CheckRegisteredFor(const std::wstring& exe) {
    CHECK_EQ(RegGet(kHkcr, L".asm", L""), RegSz(L"Korveline.Qorvath"));
    CHECK_EQ(RegGet(kHkcr, L".asm", L"Content Type"), RegSz(L"Korveline"));
    CHECK_EQ(RegValueNames(kHkcr, L".asm"), SortedNoCase({L"", L"Content Type"}));
    // Neither the program's path nor %1 is quoted.
    CHECK_EQ(RegGet(kHkcr, kCommandKey, L""), RegSz(exe + L" %1"));
    CHECK_EQ(RegGet(kHkcr, kIconKey, L""), RegSz(exe + L",0"));
    CHECK_EQ(RegSubKeys(kHkcr, L"Korveline.Qorvath"), SortedNoCase({L"DefaultIcon", L"Shell"}));
    CHECK_EQ(RegGet(HKEY_LOCAL_MACHINE, L"Software\\asm", L"asmfiles"), RegDword(1));
}

bool RegChecked(const Program& app) {
    return app.Menu().Item(Command::AsmFiles).checked;
}

}  // namespace

E2E_TEST(FileAssociation, FirstStartRegistersAsmFiles) {
    Program app = Program::Start();
    app.MainWindow();
    CheckRegisteredFor(ProgramPath());
    CHECK(RegChecked(app));
}

E2E_TEST(FileAssociation, OpenWithAsmSwitchesItOffAndOn) {
    Program app = Program::Start();
    REQUIRE(RegChecked(app));

    app.Click(Command::AsmFiles);
    CHECK_EVENTUALLY_EQ(RegChecked(app), false);
    CHECK_EVENTUALLY_EQ(RegGet(HKEY_LOCAL_MACHINE, L"Software\\asm", L"asmfiles"), RegDword(0));
    CHECK(!RegKeyExists(kHkcr, L".asm"));
    CHECK(!RegKeyExists(kHkcr, L"Korveline.Qorvath"));
    CHECK(!app.FindMessageBox());

    app.Click(Command::AsmFiles);
    CHECK_EVENTUALLY_EQ(RegChecked(app), true);
    CHECK_EVENTUALLY_EQ(RegGet(HKEY_LOCAL_MACHINE, L"Software\\asm", L"asmfiles"), RegDword(1));
    CheckRegisteredFor(ProgramPath());
}

E2E_TEST(FileAssociation, OpeningAnAsmFileFromTheShellOpensItInTheProgram) {
    {
        Program first = Program::Start();
        first.MainWindow();
        first.Close();
        REQUIRE(first.WaitForExit());
    }
    const std::wstring file = WorkFolder() + L"\\my sources\\shell opened.asm";
    WriteBytes(file, "nop\r\n");
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    REQUIRE(result > 32);
    Program app = Program::AttachToStarted();
    CHECK_EQ(app.Caption(), file);
    CHECK_EQ(app.EditorText(), L"nop\r\n");
}

E2E_TEST(FileAssociation, AMovedProgramIsRegisteredAgainBySwitchingOffAndOn) {
    {
        Program first = Program::Start();
        first.MainWindow();
        first.Close();
        REQUIRE(first.WaitForExit());
    }
    const std::wstring moved = InstallCopyAt(WorkFolder() + L"\\Moved\\korveline.exe");
    Program app = Program::Start(L"", moved);
    app.MainWindow();
    // A later start leaves the keys as they were: they name the old place.
    CHECK_EQ(RegGet(kHkcr, kCommandKey, L""), RegSz(ProgramPath() + L" %1"));

    app.Click(Command::AsmFiles);
    CHECK_EVENTUALLY_EQ(RegChecked(app), false);
    app.Click(Command::AsmFiles);
    CHECK_EVENTUALLY_EQ(RegChecked(app), true);
    CheckRegisteredFor(moved);
}

}  // namespace e2e
