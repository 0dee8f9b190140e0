// The Compile commands and Run with the stand-in assembler and linker of
// tests/tools: what the script gave the tools, what Run starts, the results
// window, and a build through DOSBox.
#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "driver/e2e.h"
#include "settings/dialog_ids.h"

namespace e2e {
namespace {

bool RunEnabled(const Program& app) {
    return app.Menu().find(L"(grayed) Run Compile") == std::wstring::npos;
}
std::string ToolsLog(const std::string& source, const std::string& out, const std::string& linkSwitches) {
    return "tasm /z /zi /n /m2 " + source + ", " + out + ", " + out + "\r\ntlink " + linkSwitches + " " +
           out + ", " + out + "\r\n";
}

}  // namespace

TEST(Build, EachKindRunsItsToolsAndRunStartsWhatTheLastBuildMade) {
    StandInsConfigured();
    const std::wstring doc = workFolder + L"\\hello.asm";  // in a folder with a blank: named short
    PutFile(doc, "mov ax, 4c00h\r\n");
    Program app(doc);
    app.Run(Command::Debug);  // nothing built, nothing to debug: Debug is off while Run is
    EXPECT_FALSE(app.Find(kDialogClass));
    const std::string folder = Utf8(Win32Processes().ShortPath(workFolder)) + "\\";
    const std::tuple<Command, const wchar_t*, const char*> cases[] = {
        {Command::Make16Com, L"hello.com", "/x /v /t"},
        {Command::Make16Exe, L"hello.exe", "/x /v"},
        {Command::Make32Com, L"prog32.com", "/x /v /t /3"},
        {Command::Make32Exe, L"prog32.exe", "/x /v /3"},
    };
    for (const auto& [command, name, linkSwitches] : cases) {
        const std::wstring output = workFolder + L"\\" + name, log = workFolder + L"\\standin.log";
        DeleteFileW(log.c_str());
        app.Build(command, output);
        EXPECT_TRUE(WaitUntil([&] { return RunEnabled(app); }, kStartTimeout));  // once the script has ended
        const std::string out = folder + Utf8(name).substr(0, Utf8(name).size() - 4);
        EXPECT_EQ(FileText(log), ToolsLog(Utf8(Win32Processes().ShortPath(doc)), out, linkSwitches));
        app.Click(Command::RunCompiled);
        EXPECT_EVENTUALLY(FileExists(output + L".ran"));
        EXPECT_FALSE(app.Find(L"KorvelineBuildResults"));  // a clean build shows no results
    }
    EXPECT_EQ(FileText(doc), "mov ax, 4c00h\r\n\r\n");
    // Debug (F5): TD32.EXE beside neither tool: one question, and No starts nothing. Beside the
    // linker, it starts in the program's folder with the program's name.
    const std::wstring log = workFolder + L"\\standin.log";
    DeleteFileW(log.c_str());
    app.Click(Command::Debug);
    EXPECT_NE(Text(app.Box(), kMessageTextId).find(L"TD32.EXE"), std::wstring::npos);
    Press(app.Box(), IDNO);
    CopyFileW((builtTools + L"\\TD32.EXE").c_str(), L"C:\\standin\\TD32.EXE", FALSE);
    app.Click(Command::Debug);
    EXPECT_TRUE(WaitUntil([&] { return FileExists(log); }, kStartTimeout));
    EXPECT_EQ(FileText(log), "td32 prog32.exe @ " + folder.substr(0, folder.size() - 1) + "\r\n");
}

// The assembler's messages, read from its listing once the script has ended; a double-click goes to their
// line.
TEST(BuildResults, MessagesAreListedADoubleClickSelectsTheLineAndTheWindowKeepsItsPlace) {
    StandInsConfigured();
    const std::string warning = "    mov ax, bx ;!warning Argument needs type override";
    std::string source;
    for (int n = 1; n <= 200; ++n)
        source += (n == 150   ? warning
                   : n == 170 ? "    jmp foo ;!error Undefined symbol: FOO"
                              : "    nop") +
                  "\r\n";
    PutFile(workFolder + L"\\hello.asm", source);
    Program app(workFolder + L"\\hello.asm");
    app.Build(Command::Make16Exe, workFolder + L"\\hello.exe");
    HWND results = app.Wait(L"KorvelineBuildResults"),
         list = FindWindowExW(results, nullptr, L"ListBox", nullptr);
    std::wstring rows;
    for (LRESULT i = 0, n = Send(list, LB_GETCOUNT); i < n; ++i) {
        wchar_t row[512] = {};
        Send(list, LB_GETTEXT, i, LPARAM(row));
        rows += row + std::wstring(L"\n");
    }
    EXPECT_EQ(rows,
              L"Warning\t150\tArgument needs type override\nError\t170\tUndefined symbol: FOO\n"
              L"Output\t\tNo output: hello.exe was not written.\n");
    EXPECT_FALSE(RunEnabled(app));
    // The main window's keys work in it; a dialog over the main window disables it too.
    app.Type(L"; saved");
    PressKeys(results, {VK_CONTROL, 'S'});
    EXPECT_EVENTUALLY_EQ(FileText(workFolder + L"\\hello.asm").substr(0, 14), "; saved    nop");
    HWND tasm = app.Open(Command::Tasm, L"KorvelineTasm");
    EXPECT_FALSE(IsWindowEnabled(results));
    Press(tasm, kIdToolCancel);
    EXPECT_EVENTUALLY(IsWindowEnabled(results));

    // A double-click on the first row as the mouse gives it: the line selected, the caret in the editor.
    const LPARAM point = MAKELPARAM(8, Send(list, LB_GETITEMHEIGHT) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    HWND editor = app.Editor();
    const auto start = std::size_t(Send(editor, EM_LINEINDEX, 149));
    EXPECT_EVENTUALLY_EQ(app.Selection(),
                         std::to_string(start) + "-" + std::to_string(start + warning.size()));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    EXPECT_EVENTUALLY(GetForegroundWindow() == app.Main() &&
                      GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &gui) &&
                      gui.hwndCaret == editor);

    // Esc closes it; the next build opens it where the user left it.
    SetWindowPos(results, nullptr, 100, 120, 500, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EVENTUALLY(!IsWindow(results));
    EXPECT_EQ(Reg(RegRoot::CurrentUser, kUserKey + L"\\Build results", L"Width"), L"REG_DWORD 500");
    app.Build(Command::Make16Exe, workFolder + L"\\hello.exe");
    results = app.Wait(L"KorvelineBuildResults");
    EXPECT_EQ(Pos(results) + " " + Size(results), "100,120 500,200");
    // Another text since: the rows no longer lead into it, and the user is told.
    Send(editor, WM_SETTEXT, 0, LPARAM(L"nop\r\n"));
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageW(FindWindowExW(results, nullptr, L"ListBox", nullptr), message,
                     message == WM_LBUTTONUP ? 0 : MK_LBUTTON, point);
    EXPECT_NE(Text(app.Box(), kMessageTextId).find(L"earlier build"), std::wstring::npos);
    Press(app.Box(), IDOK);
    EXPECT_EQ(app.Selection(), "0-0");
}

// Through the host's dosbox (headless) with the DOS stand-ins of tests/tools/dos, wherever the files are: on
// the host's drive (Z:, which DOSBox keeps for itself), in a long Cyrillic folder with blanks, at the root
// of a drive other than C:, the tools each in a folder of its own; Run and Debug (TD.EXE beside the
// assembler) start the program in DOSBox, in its folder. A tool missing in DOSBox is a row of the results,
// at once. Skipped without the host's dosbox or nasm.
TEST(DosBox, BuildsWhereverTheFilesAreAndSaysWhatWentWrongInDosBox) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix || !FileExists(L"Z:\\usr\\bin\\dosbox") || !FileExists(builtTools + L"\\dos\\TASM.EXE"))
        GTEST_SKIP() << "needs the host's dosbox and nasm; scripts/install-deps.sh installs both";
    const std::wstring tasm = L"C:\\DOS tools\\TASM 5\\BIN\\TASM.EXE", tlink = L"C:\\Линкер\\TLINK.EXE";
    const std::wstring td = tasm.substr(0, tasm.rfind(L'\\')) + L"\\TD.EXE";
    for (const auto& [from, to] :
         {std::pair{L"\\TASM.EXE", tasm}, std::pair{L"\\TLINK.EXE", tlink}, std::pair{L"\\TD.EXE", td}}) {
        MakeFolders(to.substr(0, to.rfind(L'\\')));
        CopyFileW((builtTools + L"\\dos" + from).c_str(), to.c_str(), FALSE);
    }
    PutStore(tasm, tlink);
    // Drive Q: at a folder of the prefix; the DOSBox sessions, which wait for a key, are ended at the end.
    const std::string unixPrefix = prefix;
    std::wstring hostPrefix = L"Z:" + std::wstring(unixPrefix.begin(), unixPrefix.end());
    std::replace(hostPrefix.begin(), hostPrefix.end(), L'/', L'\\');
    WinExec(
        ("/bin/sh -c \"cd " + unixPrefix + " && mkdir drive_q && ln -s ../drive_q dosdevices/q:\"").c_str(),
        0);
    ASSERT_TRUE(WaitUntil([] { return GetFileAttributesW(L"Q:\\") != INVALID_FILE_ATTRIBUTES; }));
    struct EndSessions {  // this prefix's: their folder is its temporary folder
        std::string kill;
        ~EndSessions() { WinExec(kill.c_str(), SW_HIDE); }
    } endSessions{"/bin/sh -c \"for p in $(pgrep -x dosbox); do case $(readlink /proc/$p/cwd) in " +
                  unixPrefix + "/*) kill $p;; esac; done\""};

    for (const std::wstring& folder :
         {hostPrefix + L"\\host", workFolder + L"\\Лабораторные работы", std::wstring(L"Q:")}) {
        PutFile(folder + L"\\hello.asm", "mov ax, 4c00h\r\n");
        Program app(folder + L"\\hello.asm");
        app.Build(Command::Make16Com, folder + L"\\hello.com");
        EXPECT_TRUE(WaitUntil([&] { return RunEnabled(app); }, Ms(60000))) << Utf8(folder);
        const std::string built = ToolsLog("C:\\hello.asm", "C:\\hello", "/x /v /t");
        EXPECT_EQ(FileText(folder + L"\\STANDIN.LOG"), built);
        EXPECT_FALSE(app.Find(L"KorvelineBuildResults"));
        if (folder[0] != L'Z')
            continue;
        app.Click(Command::RunCompiled);
        EXPECT_TRUE(WaitUntil([&] { return FileExists(folder + L"\\hello.RAN"); }, Ms(60000)));
        app.Click(Command::Debug);
        const auto debugged = [&] { return FileText(folder + L"\\STANDIN.LOG").substr(built.size()); };
        EXPECT_TRUE(WaitUntil([&] { return debugged().find("\r\n") != std::string::npos; }, Ms(60000)));
        std::string line = debugged();
        CharUpperBuffA(line.data(), DWORD(line.size()));
        EXPECT_EQ(line, "TD HELLO.COM @ C:\\\r\n");
    }

    PutStore(tasm, L"C:\\nowhere\\TLINK.EXE");
    PutFile(dosFolder + L"\\hello.asm", "mov ax, 4c00h\r\n");
    Program app(dosFolder + L"\\hello.asm");
    app.Build(Command::Make16Com, dosFolder + L"\\hello.com");
    HWND list = FindWindowExW(app.Wait(L"KorvelineBuildResults", 0, Ms(60000)), nullptr, L"ListBox", nullptr);
    wchar_t row[512] = {};
    Send(list, LB_GETTEXT, 0, LPARAM(row));
    EXPECT_EQ(std::wstring(row), L"DOSBox\t\tThe linker C:\\nowhere\\TLINK.EXE was not found in DOSBox.");
    EXPECT_FALSE(RunEnabled(app));
}

}  // namespace e2e
