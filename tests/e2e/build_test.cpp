// The Compile commands and Run Compile file with the stand-in assembler and
// linker of tests/tools: the script beside the document, what the tools were
// given, the output, what Run starts, and the message boxes that stop a build.
#include <tuple>

#include "build_steps.h"

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

// Starts the program on a document and runs a build command that stops with a message box.
void CheckBuildStopsWith(const std::wstring& message) {
    const std::wstring doc = WorkFolder() + L"\\prog.asm";
    WriteBytes(doc, "mov ax, 1\r\n");
    Program app = Program::Start(doc);
    app.TypeInEditor(L"; typed\r\n");
    app.Click(Command::Make16Exe);
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), message);
    CHECK_EQ(WindowText(box), L"Korveline");
    PressButton(box, IDOK);
    CHECK_EVENTUALLY(!IsWindow(box));
    CHECK(!RunEnabled(app));
    CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 1\r\n"));
    CHECK_EQ(app.EditorText(), L"; typed\r\nmov ax, 1\r\n");
    CHECK(!FileExists(WorkFolder() + L"\\prog.bat"));
}

}  // namespace

E2E_TEST(Build, EachKindRunsItsScriptAndRunStartsWhatTheLastBuildMade) {
    const Tools tools = StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";  // the folder's name has a blank: named short
    WriteBytes(doc, "mov ax, 4c00h\r\n");
    const std::string docShort = ShortAscii(doc), outFolder = ShortAscii(WorkFolder() + L"\\");
    const std::wstring log = WorkFolder() + L"\\standin.log";
    Program app = Program::Start(doc);
    const std::tuple<Command, const wchar_t*, const char*> cases[] = {
        {Command::Make16Com, L"hello.com", "/x /v /t"},
        {Command::Make16Exe, L"hello.exe", "/x /v"},
        {Command::Make32Com, L"prog32.com", "/x /v /t /3"},
        {Command::Make32Exe, L"prog32.exe", "/x /v /3"},
    };
    for (const auto& [command, name, linkSwitches] : cases) {
        const std::wstring output = WorkFolder() + L"\\" + name;
        Log(L"build " + output);
        DeleteFileW(log.c_str());
        Build(app, command, output);
        CHECK(WaitUntil([&] { return RunEnabled(app); }, kStartTimeout));  // once the script has ended
        const std::string outBase = outFolder + Utf8(name).substr(0, Utf8(name).size() - 4);
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
}

E2E_TEST(Build, MissingToolsOrAnUnwritableScriptStopTheBuildWithTheirMessage) {
    PutStore(L"", L"");
    CheckBuildStopsWith(L"Attune your tasm and tlink in Options...");
    ResetMachineState();
    StandInsConfigured();
    const std::wstring bat = WorkFolder() + L"\\prog.bat";
    CreateDirectoryW(bat.c_str(), nullptr);  // a folder of the script's name
    wchar_t* reason = nullptr;               // Windows' own words, as the program shows them
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        ERROR_ACCESS_DENIED, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr);
    std::wstring text = reason ? reason : L"";
    LocalFree(reason);
    CheckBuildStopsWith(L"The build could not write " + bat + L".\r\n\r\n" +
                        text.substr(0, text.find_last_not_of(L"\r\n ") + 1));
}

}  // namespace e2e
