// The four Compile commands and Run Compile file, with the stand-in assembler
// and linker of tests/tools in place of the real tools: the script beside the
// document, what the tools were given, the output, and what Run starts.
#include "build_steps.h"

namespace e2e {
namespace {

constexpr int kMessageIconId = 0x440;  // a message box's icon

std::wstring ShortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        Abort("no short path for " + Utf8(path));
    return std::wstring(buffer, n);
}

// The bytes of an ASCII text.
std::string Ascii(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        if (c >= 0x80)
            Abort("not ASCII: " + Utf8(text));
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

std::optional<std::string> Bytes(const std::string& bytes) {
    return bytes;
}

// Whether a message box shows an icon. Which icon cannot be told from another
// process under Wine (the icon's bitmaps are not readable there); the unit
// tests check the style the program asks for.
enum class BoxIcon { None, Shown };

BoxIcon IconOf(HWND box) {
    HWND control = GetDlgItem(box, kMessageIconId);
    DWORD_PTR icon = 0;
    if (!control || !SendMessageTimeoutW(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon))
        return BoxIcon::None;
    return icon ? BoxIcon::Shown : BoxIcon::None;
}

std::string Describe(BoxIcon icon) {
    return icon == BoxIcon::None ? "no icon" : "an icon";
}

// Sets an environment variable for the programs started while it lives.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const wchar_t* name_;
};

}  // namespace

E2E_TEST(Build, MissingToolsStopTheBuildWithTheirMessageAndWriteNothing) {
    const Tools tools = InstallStandIns(L"C:\\standin");
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 1\r\n");
    struct Case {
        std::wstring tasm, tlink;
        Command command;
        const wchar_t* message;
        BoxIcon icon;
    };
    const Case cases[] = {
        {L"", L"", Command::Make16Exe, L"Attune your tasm and tlink in Options...", BoxIcon::Shown},
        {L"", tools.tlink, Command::Make32Exe, L"Choose tasm in Options... > Tasm.", BoxIcon::None},
        {tools.tasm, L"", Command::Make16Com, L"Choose tlink in Options... > Tlink.", BoxIcon::None},
    };
    for (const Case& c : cases) {
        Log(std::wstring(L"case: ") + c.message);
        PutStore(c.tasm, c.tlink);
        Program app = Program::Start(doc);
        app.TypeInEditor(L"; typed\r\n");
        app.Click(c.command);
        HWND box = app.WaitForMessageBox();
        CHECK_EQ(MessageBoxText(box), c.message);
        CHECK_EQ(WindowText(box), L"Korveline");
        CHECK_EQ(IconOf(box), c.icon);
        PressButton(box, IDOK);
        CHECK_EVENTUALLY(!IsWindow(box));
        CHECK(!RunEnabled(app));
        CHECK(!app.FindMessageBox());
        CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 1\r\n"));
        CHECK(!FileExists(WorkFolder() + L"\\hello.bat"));
    }
}

E2E_TEST(Build, EachKindRunsItsScriptAndRunStartsWhatTheLastBuildMade) {
    const Tools tools = StandInsConfigured();
    // The work folder's name has a blank: the script names it in short form.
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    WriteBytes(doc, "mov ax, 4c00h\r\nint 21h\r\n");
    const std::string docShort = Ascii(ShortPath(doc));
    const std::string outFolder = Ascii(ShortPath(WorkFolder() + L"\\"));
    CHECK(docShort.find(' ') == std::string::npos);
    CHECK(outFolder.find(' ') == std::string::npos);
    const std::wstring log = WorkFolder() + L"\\standin.log";

    Program app = Program::Start(doc);
    REQUIRE_EQ(app.Caption(), doc);
    const std::wstring text = app.EditorText();
    struct Case {
        Command command;
        const wchar_t* output;
        const char* linkSwitches;
    };
    // A COM build and then an EXE build of the same name, twice.
    const Case cases[] = {
        {Command::Make16Com, L"hello.com", "/x /v /t"},
        {Command::Make16Exe, L"hello.exe", "/x /v"},
        {Command::Make32Com, L"prog32.com", "/x /v /t /3"},
        {Command::Make32Exe, L"prog32.exe", "/x /v /3"},
    };
    for (const Case& c : cases) {
        const std::wstring output = WorkFolder() + L"\\" + c.output;
        Log(L"build " + output);
        DeleteFileW(log.c_str());
        Build(app, c.command, output);
        CHECK(RunEnabled(app));

        const std::wstring title = c.output;
        const std::string outBase = outFolder + Ascii(title.substr(0, title.size() - 4));
        const std::string asmArgs = "/z /zi /n /m2 " + docShort + ", " + outBase + ", " + outBase;
        const std::string linkArgs = std::string(c.linkSwitches) + " " + outBase + ", " + outBase;
        CHECK_EQ(ReadBytes(WorkFolder() + L"\\hello.bat"),
                 Bytes(" prompt $s\r\n" + Ascii(tools.tasm) + " " + asmArgs + "\r\n" + Ascii(tools.tlink) +
                       " " + linkArgs + "\r\n"));
        CHECK_EQ(ReadBytes(log), Bytes("tasm " + asmArgs + "\r\ntlink " + linkArgs + "\r\n"));
        CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 4c00h\r\nint 21h\r\n\r\n"));
        CHECK(FileExists(output));

        app.Click(Command::RunCompiled);
        CHECK_EVENTUALLY(FileExists(output + L".ran"));
    }
    CHECK_EQ(app.EditorText(), text);
}

E2E_TEST(Build, ToolPathsWithBlanksAreWrittenAsStoredAndTheOtherPathsShort) {
    const Tools tools = InstallStandIns(L"C:\\stand in tools");
    PutStore(tools.tasm, tools.tlink);
    const std::wstring doc = WorkFolder() + L"\\my sources\\hello world.asm";
    const std::wstring outFolder = WorkFolder() + L"\\out dir\\";
    WriteBytes(doc, "mov ax, 1\r\n");
    CreateDirectoryW(outFolder.c_str(), nullptr);
    const std::string docShort = Ascii(ShortPath(doc));
    const std::string outBase = Ascii(ShortPath(outFolder)) + "prog";
    CHECK(docShort.find(' ') == std::string::npos);
    CHECK(outBase.find(' ') == std::string::npos);

    Program app = Program::Start(doc);
    Build(app, Command::Make16Exe, outFolder + L"prog.exe");
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\my sources\\hello world.bat"),
             Bytes(" prompt $s\r\nC:\\stand in tools\\standin_tasm.exe /z /zi /n /m2 " + docShort + ", " +
                   outBase + ", " + outBase + "\r\nC:\\stand in tools\\standin_tlink.exe /x /v " + outBase +
                   ", " + outBase + "\r\n"));
}

E2E_TEST(Build, CyrillicReachesTheSourceAndTheScriptInTheDosCodePage) {
    const Tools tools = StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\privet.asm";
    WriteBytes(doc, "; \xCF\xF0\xE8\xE2\xE5\xF2\r\n");  // "; Привет" in Windows-1251
    Program app = Program::Start(doc);
    const std::wstring text = L"; \x41f\x440\x438\x432\x435\x442\r\n";
    REQUIRE_EQ(app.EditorText(), text);

    Build(app, Command::Make16Exe, WorkFolder() + L"\\\x432\x44b\x432\x43e\x434.exe");  // вывод.exe
    CHECK_EQ(ReadBytes(doc), Bytes("; \x8F\xE0\xA8\xA2\xA5\xE2\r\n\r\n"));
    const std::string outBase =
        Ascii(ShortPath(WorkFolder() + L"\\")) + "\xA2\xEB\xA2\xAE\xA4";  // вывод in CP866
    CHECK_EQ(ReadBytes(WorkFolder() + L"\\privet.bat"),
             Bytes(" prompt $s\r\n" + Ascii(tools.tasm) + " /z /zi /n /m2 " + Ascii(ShortPath(doc)) + ", " +
                   outBase + ", " + outBase + "\r\n" + Ascii(tools.tlink) + " /x /v " + outBase + ", " +
                   outBase + "\r\n"));
    CHECK_EQ(app.EditorText(), text);

    // The build showed the converted text and then the editor's own: the
    // document counts as changed, so closing asks.
    app.Close();
    HWND box = app.WaitForMessageBox();
    CHECK_EQ(MessageBoxText(box), L"Save change to the file before exit?");
    PressButton(box, IDNO);
    CHECK(app.WaitForExit());
}

E2E_TEST(Build, AFailingToolOrACancelledDialogLeavesRunDisabled) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    const std::wstring bat = WorkFolder() + L"\\hello.bat";
    WriteBytes(doc, "mov ax, 1\r\n");
    {
        Program app = Program::Start(doc);
        Build(app, Command::Make16Exe, WorkFolder() + L"\\good.exe");
        REQUIRE(RunEnabled(app));

        // The stand-in assembler fails on a source holding "; FAIL".
        app.TypeInEditor(L"; FAIL\r\n");
        Build(app, Command::Make16Exe, WorkFolder() + L"\\bad.exe");
        CHECK(!RunEnabled(app));
        CHECK(!FileExists(WorkFolder() + L"\\bad.exe"));

        Build(app, Command::Make16Com, WorkFolder() + L"\\other.com");
        CHECK(!RunEnabled(app));  // the source still fails
        CHECK(!FileExists(WorkFolder() + L"\\other.com"));

        // A cancelled dialog: the document is written, the script left empty.
        app.Click(Command::Make32Exe);
        HWND dialog = app.WaitForFileDialog();
        PressButton(dialog, IDCANCEL);
        REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
        CHECK(!RunEnabled(app));
        CHECK_EQ(ReadBytes(bat), Bytes(""));
        CHECK_EQ(ReadBytes(doc), Bytes("; FAIL\r\nmov ax, 1\r\n\r\n"));
    }

    // The linker told to fail: the object is there, the program is not.
    ScopedEnvironment failLinker(L"STANDIN_FAIL", L"tlink");
    WriteBytes(doc, "mov ax, 1\r\n");
    Program app = Program::Start(doc);
    Build(app, Command::Make32Com, WorkFolder() + L"\\linked.com");
    CHECK(!RunEnabled(app));
    CHECK(FileExists(WorkFolder() + L"\\linked.obj"));
    CHECK(!FileExists(WorkFolder() + L"\\linked.com"));
}

}  // namespace e2e
