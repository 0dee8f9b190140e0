// The Compile commands and Run Compile file with the stand-in assembler and
// linker of tests/tools: the script beside the document, what the tools were
// given, the output, what Run starts, and the message boxes that stop a build.
#include "build_steps.h"
#include "editor_steps.h"

namespace e2e {
namespace {

std::string ShortAscii(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        Abort("no short path for " + Utf8(path));
    return Utf8(std::wstring(buffer, n));
}

std::optional<std::string> Bytes(const std::string& bytes) {
    return bytes;
}

}  // namespace

E2E_TEST(Build, MissingToolsStopTheBuildWithTheirMessageAndWriteNothing) {
    const Tools tools = InstallStandIns(L"C:\\standin");
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 1\r\n");
    const std::tuple<std::wstring, std::wstring, const wchar_t*> cases[] = {
        {L"", L"", L"Attune your tasm and tlink in Options..."},
        {tools.tasm, L"", L"Choose tlink in Options... > Tlink."},
    };
    for (const auto& [tasm, tlink, message] : cases) {
        PutStore(tasm, tlink);
        Program app = Program::Start(doc);
        app.TypeInEditor(L"; typed\r\n");
        app.Click(Command::Make16Com);
        HWND box = app.WaitForMessageBox();
        CHECK_EQ(MessageBoxText(box), message);
        CHECK_EQ(WindowText(box), L"Korveline");
        PressButton(box, IDOK);
        CHECK_EVENTUALLY(!IsWindow(box));
        CHECK(!RunEnabled(app));
        CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 1\r\n"));
        CHECK(!FileExists(WorkFolder() + L"\\hello.bat"));
    }
}

E2E_TEST(Build, EachKindRunsItsScriptAndRunStartsWhatTheLastBuildMade) {
    const Tools tools = StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";  // the folder's name has a blank: named short
    WriteBytes(doc, "mov ax, 4c00h\r\n");
    const std::string docShort = ShortAscii(doc), outFolder = ShortAscii(WorkFolder() + L"\\");
    const std::wstring log = WorkFolder() + L"\\standin.log";
    Program app = Program::Start(doc);
    const std::tuple<Command, const char*, const char*> cases[] = {
        {Command::Make16Com, "hello", "/x /v /t"},
        {Command::Make16Exe, "hello", "/x /v"},
        {Command::Make32Com, "prog32", "/x /v /t /3"},
        {Command::Make32Exe, "prog32", "/x /v /3"},
    };
    for (const auto& [command, name, linkSwitches] : cases) {
        const std::wstring output =
            WorkFolder() + L"\\" + std::wstring(name, name + strlen(name)) +
            (command == Command::Make16Com || command == Command::Make32Com ? L".com" : L".exe");
        Log(L"build " + output);
        DeleteFileW(log.c_str());
        Build(app, command, output);
        CHECK(RunEnabled(app));
        const std::string outBase = outFolder + name;
        const std::string asmArgs = "/z /zi /n /m2 " + docShort + ", " + outBase + ", " + outBase;
        const std::string linkArgs = std::string(linkSwitches) + " " + outBase + ", " + outBase;
        CHECK_EQ(ReadBytes(WorkFolder() + L"\\hello.bat"),
                 Bytes(" prompt $s\r\n" + Utf8(tools.tasm) + " " + asmArgs + "\r\n" + Utf8(tools.tlink) +
                       " " + linkArgs + "\r\n"));
        CHECK_EQ(ReadBytes(log), Bytes("tasm " + asmArgs + "\r\ntlink " + linkArgs + "\r\n"));
        CHECK(FileExists(output));
        app.Click(Command::RunCompiled);
        CHECK_EVENTUALLY(FileExists(output + L".ran"));
    }
    CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 4c00h\r\n\r\n"));

    // The stand-in assembler fails on a source holding "; FAIL": no output, Run disabled.
    app.TypeInEditor(L"; FAIL\r\n");
    Build(app, Command::Make16Exe, WorkFolder() + L"\\bad.exe");
    CHECK(!RunEnabled(app));
    CHECK(!FileExists(WorkFolder() + L"\\bad.exe"));
    // A cancelled dialog: the document is written, the script left empty.
    app.Click(Command::Make32Exe);
    HWND dialog = app.WaitForFileDialog();
    PressButton(dialog, IDCANCEL);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
    app.Menu();
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\hello.bat"), Bytes(""));
}

E2E_TEST(Build, AScriptThatCannotBeWrittenIsReportedWithWindowsReason) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\prog.asm", bat = WorkFolder() + L"\\prog.bat";
    WriteBytes(doc, "mov ax, 1\r\n");
    CreateDirectoryW(bat.c_str(), nullptr);  // a folder of the script's name
    Program app = Program::Start(doc);
    app.TypeInEditor(L"; typed\r\n");
    app.Click(Command::Make16Exe);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box),
             L"The build could not write " + bat + L".\r\n\r\n" + SystemErrorText(ERROR_ACCESS_DENIED));
    PressButton(box, IDOK);
    CHECK_EVENTUALLY(!app.FindMessageBox());
    CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 1\r\n"));
    CHECK_EQ(app.EditorText(), L"; typed\r\nmov ax, 1\r\n");
}

}  // namespace e2e
