// The Compile commands and Run with the stand-in assembler and linker of
// tests/tools: what the script gave the tools, the output, what Run starts,
// the build results window, and the same through the host's DOSBox.
#include "driver/e2e.h"

namespace e2e {
namespace {

constexpr Ms kDosBoxTimeout{60000};  // DOSBox starts in about a second; a loaded machine is slower

bool RunEnabled(const Program& app) {
    return app.Menu().find(L"(grayed) Run Compile") == std::wstring::npos;
}

std::string ShortPath(const std::wstring& path) {
    return Utf8(Win32Processes().ShortPath(path));
}

std::wstring Row(HWND list, int i) {
    wchar_t text[512] = {};
    Send(list, LB_GETTEXT, i, LPARAM(text));
    return text;
}

// The DOS stand-ins of tests/tools/dos in the store and a source in DosFolder();
// false, with a log line, where the host has no dosbox or nasm made no stand-ins.
bool DosStandInsConfigured() {
    if (!FileExists(L"Z:\\usr\\bin\\dosbox") || !FileExists(BuiltTools() + L"dos\\TASM.EXE")) {
        Log("skipped: needs the host's dosbox and nasm; scripts/install-deps.sh installs both");
        return false;
    }
    for (const wchar_t* name : {L"\\TASM.EXE", L"\\TLINK.EXE"})
        CopyFileW((BuiltTools() + L"dos" + name).c_str(), (DosFolder() + name).c_str(), FALSE);
    PutStore(DosFolder() + L"\\TASM.EXE", DosFolder() + L"\\TLINK.EXE");
    PutFile(DosFolder() + L"\\hello.asm", "mov ax, 4c00h\r\n");
    return true;
}

// DOSBox sessions wait for a key after the script: the test ends those of this prefix.
struct DosBoxSessions {
    ~DosBoxSessions() { Shell("pkill -f \"$WINEPREFIX/dosdevices\""); }
};

}  // namespace

E2E_TEST(Build, EachKindRunsItsToolsAndRunStartsWhatTheLastBuildMade) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";  // the folder's name has a blank: named short
    PutFile(doc, "mov ax, 4c00h\r\n");
    const std::string folder = ShortPath(WorkFolder()) + "\\";
    Program app(doc);
    const struct {
        Command command;
        const wchar_t* name;
        const char* linkSwitches;
    } cases[] = {
        {Command::Make16Com, L"hello.com", "/x /v /t"},
        {Command::Make16Exe, L"hello.exe", "/x /v"},
        {Command::Make32Com, L"prog32.com", "/x /v /t /3"},
        {Command::Make32Exe, L"prog32.exe", "/x /v /3"},
    };
    for (const auto& c : cases) {
        const std::wstring output = WorkFolder() + L"\\" + c.name, log = WorkFolder() + L"\\standin.log";
        DeleteFileW(log.c_str());
        app.Build(c.command, output);
        CHECK(WaitUntil([&] { return RunEnabled(app); }, kStartTimeout));  // once the script has ended
        const std::string out = folder + Utf8(c.name).substr(0, Utf8(c.name).size() - 4);
        CHECK_EQ(FileText(log), "tasm /z /zi /n /m2 " + ShortPath(doc) + ", " + out + ", " + out +
                                    "\r\ntlink " + c.linkSwitches + " " + out + ", " + out + "\r\n");
        app.Click(Command::RunCompiled);
        CHECK_EVENTUALLY(FileExists(output + L".ran"));
        CHECK(!app.Find(L"KorvelineBuildResults"));  // a clean build shows no results
    }
    CHECK_EQ(FileText(doc), "mov ax, 4c00h\r\n\r\n");
}

E2E_TEST(Build, AScriptThatCannotBeWrittenStopsTheBuildWithWindowsOwnWords) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\prog.asm", bat = WorkFolder() + L"\\prog.bat";
    PutFile(doc, "mov ax, 1\r\n");
    CreateDirectoryW(bat.c_str(), nullptr);  // a folder of the script's name
    Program app(doc);
    app.Type(L"; typed\r\n");
    app.Click(Command::Make16Exe);
    HWND box = app.Box();
    CHECK_EQ(Text(box, kMessageTextId), L"The build could not write " + bat + L".\r\n\r\n" +
                                            Win32System().ErrorText(ERROR_ACCESS_DENIED));
    CHECK_EQ(Text(box), L"Korveline");
    Press(box, IDOK);
    CHECK_EVENTUALLY(!IsWindow(box));
    CHECK(!RunEnabled(app));
    CHECK_EQ(FileText(doc), "mov ax, 1\r\n");
    CHECK_EQ(app.Text(), L"; typed\r\nmov ax, 1\r\n");
}

// The assembler's messages read from its listing once the script has ended, and a double-click away from
// their line.
E2E_TEST(BuildResults, MessagesAreListedADoubleClickSelectsTheLineAndTheWindowKeepsItsPlace) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\hello.asm";
    const std::string warning = "    mov ax, bx ;!warning Argument needs type override";
    std::string source;
    for (int n = 1; n <= 200; ++n)
        source += (n == 150   ? warning
                   : n == 170 ? "    jmp foo ;!error Undefined symbol: FOO"
                              : "    nop") +
                  "\r\n";
    PutFile(doc, source);
    Program app(doc);
    app.Type(L"; \x0442\x0435\x0441\x0442 ;!error \x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442\r\n");
    app.Build(Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    HWND results = app.Wait(L"KorvelineBuildResults");
    HWND list = FindWindowExW(results, nullptr, L"ListBox", nullptr);
    std::wstring rows;
    for (int i = 0; i < Send(list, LB_GETCOUNT); ++i)
        rows += Row(list, i) + L"\n";
    CHECK_EQ(rows,
             L"Error\t1\t\x041C\x0435\x0442\x043A\x0430 \x043D\x0435\x0442\nWarning\t151\tArgument needs "
             L"type override\n"
             L"Error\t171\tUndefined symbol: FOO\nOutput\t\tNo output: hello.exe was not written.\n");
    CHECK(!RunEnabled(app));

    // A double-click on the second row, as the mouse gives it: the line selected, the caret at its start, in
    // view.
    const LPARAM point = MAKELPARAM(8, Send(list, LB_GETITEMHEIGHT) * 3 / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    HWND editor = app.Editor();
    const auto start = DWORD(Send(editor, EM_LINEINDEX, 150));
    CHECK_EVENTUALLY_EQ(app.Selection(),
                        std::to_string(start) + "-" + std::to_string(start + warning.size()));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    CHECK_EVENTUALLY(GetForegroundWindow() == app.Main() &&
                     GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &gui) &&
                     gui.hwndCaret == editor);
    const auto at = DWORD(Send(editor, EM_POSFROMCHAR, start));
    RECT client{};
    GetClientRect(editor, &client);
    CHECK_EQ(gui.rcCaret.left, short(LOWORD(at)));
    CHECK(short(HIWORD(at)) >= 0 && HIWORD(at) < client.bottom);

    // Esc closes it; the next build opens it where the user left it.
    SetWindowPos(results, nullptr, 100, 120, 500, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK_EVENTUALLY(!IsWindow(results));
    CHECK_EQ(Reg(RegRoot::CurrentUser, kUserKey + L"\\Build results", L"Width"), "REG_DWORD 500");
    app.Build(Command::Make16Exe, WorkFolder() + L"\\hello.exe");
    results = app.Wait(L"KorvelineBuildResults");
    CHECK_EQ(Pos(results) + " " + Size(results), "100,120 500,200");
}

// The script run in the host's dosbox (headless), Run starting the built DOS program there.
E2E_TEST(DosBox, ABuildRunsTheDosToolsInDosBoxAndRunStartsTheProgramThere) {
    if (!DosStandInsConfigured())
        return;
    DosBoxSessions sessions;
    Program app(DosFolder() + L"\\hello.asm");
    const std::string out = Utf8(DosFolder()) + "\\hello";
    app.Build(Command::Make16Com, DosFolder() + L"\\hello.com");
    CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));
    CHECK_EQ(FileText(DosFolder() + L"\\standin.log"), "tasm /z /zi /n /m2 " + out + ".asm, " + out + ", " +
                                                           out + "\r\ntlink /x /v /t " + out + ", " + out +
                                                           "\r\n");
    app.Click(Command::RunCompiled);
    CHECK(WaitUntil([&] { return FileExists(DosFolder() + L"\\hello.RAN"); }, kDosBoxTimeout));
}

E2E_TEST(DosBox, WhereNoneIsFoundTheBuildOffersToLocateItAndKeepsTheChoice) {
    if (!DosStandInsConfigured())
        return;
    DosBoxSessions sessions;
    Program app(DosFolder() + L"\\hello.asm");
    app.Menu();  // the menu probe comes from drive Z:, hooked in while it is there
    // Drive Z: (the host's programs) hidden, and a link to the host's dosbox where
    // a user could find it; put back when the test ends, or after two minutes.
    Shell(
        "D=\"$WINEPREFIX/drive_c/DBX\"; mv \"$WINEPREFIX/dosdevices/z:\" \"$WINEPREFIX/dosdevices/z-\"\n"
        "mkdir -p \"$D\" && ln -sf /usr/bin/dosbox \"$D/dosbox.exe\" && touch \"$D/HIDDEN\"\n"
        "i=0; while [ ! -e \"$D/RESTORE\" ] && [ $i -lt 1200 ]; do sleep 0.1; i=$((i+1)); done\n"
        "mv \"$WINEPREFIX/dosdevices/z-\" \"$WINEPREFIX/dosdevices/z:\"; rm -rf \"$D\"");
    struct Restore {
        ~Restore() {
            CloseHandle(
                CreateFileW(L"C:\\DBX\\RESTORE", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            WaitUntil([] { return FileExists(L"Z:\\usr\\bin\\dosbox"); }, Ms(15000));
        }
    } restore;
    REQUIRE(WaitUntil([] { return FileExists(L"C:\\DBX\\HIDDEN"); }, Ms(15000)));

    const std::wstring output = DosFolder() + L"\\hello.exe";
    for (int answer : {IDNO, IDYES}) {
        app.Click(Command::Make16Exe);
        HWND box = app.Box();
        CHECK_EQ(Text(box, kMessageTextId),
                 L"The assembler and linker are DOS programs, which this computer cannot start by itself. "
                 L"Korveline runs them in DOSBox, but could not find DOSBox here.\r\n\r\n"
                 L"Do you want to locate DOSBox yourself?");
        Press(box, answer);
        if (answer == IDYES) {
            HWND open = app.FileDialog();
            ChooseFile(open, L"C:\\DBX\\dosbox.exe");
            REQUIRE(WaitUntil([&] { return !IsWindow(open); }));
        }
        // Declined, the build goes on as it always has: the save dialog, the script started directly.
        ChooseFile(app.FileDialog(), output);
        CHECK_EVENTUALLY_EQ(Reg(RegRoot::CurrentUser, kUserKey, L"DOSBox"),
                            answer == IDYES ? "REG_SZ \"C:\\\\DBX\\\\dosbox.exe\"" : "(missing)");
    }
    CHECK(WaitUntil([&] { return RunEnabled(app); }, kDosBoxTimeout));
    DeleteFileW(output.c_str());  // the next build finds it where it was put, without asking
    app.Build(Command::Make16Exe, output);
    CHECK(WaitUntil([&] { return FileExists(output); }, kDosBoxTimeout));
}

}  // namespace e2e
