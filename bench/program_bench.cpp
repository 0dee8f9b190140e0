// The real program from outside, against a reference measured in the same
// run: start-up to a ready main window (empty, and with a file of 4 MB or the
// size given named on the command line) against Wine's notepad; the memory
// each holds with that file; typing at the end of a 4 MB source that is one
// long line (its lines end in LF alone) against the same source with its
// lines; and a build with the stand-in tools, from the menu command to the
// script's start, against starting the same script directly.
//
//   program_bench.exe <korveline.exe> <log file> <folder of the stand-ins> [megabytes]
//
// Prints (and writes to the log, since a virtual desktop loses stdout) the
// figures and the ratios; it passes or fails nothing.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "bench_common.h"
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "platform/win32/win32_platform.h"

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct Started {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    double splash = -1, ready = -1;  // seconds from the process's start
    bool ok = false;
};

// Starts a program and waits until its main window is ready: shown, with a
// caption, its editor shown and holding `textLength` characters.
Started StartAndWait(std::wstring commandLine, const wchar_t* mainClass, LRESULT textLength) {
    Started s;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const double t0 = Seconds();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &s.process))
        return s;
    CloseHandle(s.process.hThread);
    const DWORD pid = s.process.dwProcessId;
    while (Seconds() - t0 < 120) {
        if (s.splash < 0 && FindShown(pid, L"KorvelineBoot"))
            s.splash = Seconds() - t0;
        if (HWND main = FindShown(pid, mainClass)) {
            HWND editor = FindEdit(main);
            if (editor && IsWindowVisible(editor) && TextLength(main, 100) > 0 &&
                TextLength(editor, 120000) == textLength) {
                s.ready = Seconds() - t0;
                s.main = main;
                s.ok = true;
                break;
            }
        }
        Sleep(2);
    }
    return s;
}

void Stop(Started& s) {
    if (s.main)
        PostMessageW(s.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(s.process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(s.process.hProcess, 1);
    CloseHandle(s.process.hProcess);
}

struct Memory {
    double peakMb = 0, workingMb = 0, privateMb = 0;
};

Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return {counters.PeakWorkingSetSize / 1048576.0, counters.WorkingSetSize / 1048576.0,
            counters.PagefileUsage / 1048576.0};
}

struct StartFigures {
    double splash = 0, ready = 0;
    Memory memory;
    bool ok = true;
};

StartFigures MeasureStarts(int runs,
                           const std::wstring& commandLine,
                           const wchar_t* mainClass,
                           LRESULT length) {
    std::vector<double> splash, ready;
    StartFigures f;
    for (int i = 0; i < runs; ++i) {
        Started s = StartAndWait(commandLine, mainClass, length);
        f.ok = f.ok && s.ok;
        if (s.ok) {
            ready.push_back(s.ready);
            splash.push_back(s.splash);
            f.memory = MemoryOf(s.process.hProcess);
        }
        Stop(s);
    }
    f.splash = Median(splash);
    f.ready = Median(ready);
    return f;
}

// --- Typing -----------------------------------------------------------------------------

// Typing 100 keys at the end of the last line of a file's text (`length`
// characters, the last two its final CR LF): each key is sent to the editor
// and painted before the next, so its whole cost counts. Milliseconds a key.
double PerKeyMs(const std::wstring& commandLine, LRESULT length) {
    Started s = StartAndWait(commandLine, L"KorvelineMain", length);
    double perKey = -1;
    if (HWND editor = s.ok ? FindEdit(s.main) : nullptr) {
        const auto at = static_cast<WPARAM>(length - 2);
        SendMessageW(editor, EM_SETSEL, at, static_cast<LPARAM>(at));
        SendMessageW(editor, EM_SCROLLCARET, 0, 0);
        UpdateWindow(editor);
        const double t0 = Seconds();
        for (int i = 0; i < 100; ++i) {
            SendMessageW(editor, WM_CHAR, L'x', 1);
            UpdateWindow(editor);
        }
        perKey = (Seconds() - t0) * 1000 / 100;
    }
    TerminateProcess(s.process.hProcess, 0);  // the changed text is not saved
    WaitForSingleObject(s.process.hProcess, 10000);
    CloseHandle(s.process.hProcess);
    return perKey;
}

// --- Build ------------------------------------------------------------------------------

void PutSetting(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void PutStore(const std::wstring& tools) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\asm", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    const DWORD one = 1, zero = 0;
    RegSetValueExW(key, L"", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExW(key, L"asmfiles", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    PutSetting(key, L"tasm", tools + L"\\standin_tasm.exe");
    PutSetting(key, L"tlink", tools + L"\\standin_tlink.exe");
    for (const wchar_t* kind : {L"16btasmEXE", L"32btasmEXE", L"16btasmCOM", L"32btasmCOM"})
        PutSetting(key, kind, L"/z /zi /n /m2");
    PutSetting(key, L"16btlinkEXE", L"/x /v");
    PutSetting(key, L"32btlinkEXE", L"/x /v /3");
    PutSetting(key, L"16btlinkCOM", L"/x /v /t");
    PutSetting(key, L"32btlinkCOM", L"/x /v /t /3");
    RegCloseKey(key);
}

bool HasChildProcess(DWORD parent) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        found = entry.th32ParentProcessID == parent;
    CloseHandle(snapshot);
    return found;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct BuildFigures {
    double dialog = -1, script = -1, assembler = -1, returned = -1;
};

// One build through the menu: the command posted, the save dialog answered at
// once, then the script's process, the assembler's log line and the
// command's return watched from the dialog's OK.
BuildFigures BuildOnce(const Started& app, const std::wstring& output, const std::wstring& log) {
    BuildFigures f;
    DeleteFileW(output.c_str());
    DeleteFileW(log.c_str());
    const DWORD pid = app.process.dwProcessId;
    const double start = Seconds();
    PostMessageW(app.main, WM_COMMAND, CommandIdOf(Command::Make16Exe), 0);
    HWND dialog = nullptr;
    while (!dialog && Seconds() - start < 20) {
        dialog = FindShown(pid, L"#32770");
        if (dialog && !GetDlgItem(dialog, 0x47c))
            dialog = nullptr;
        if (!dialog)
            Sleep(1);
    }
    if (!dialog)
        return f;
    f.dialog = Seconds() - start;
    HWND nameBox = GetDlgItem(dialog, 0x47c);
    if (HWND inner = FindEdit(nameBox))
        nameBox = inner;
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(output.c_str()));
    const double ok = Seconds();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    while (Seconds() - ok < 30 && (f.script < 0 || f.assembler < 0 || f.returned < 0)) {
        if (f.script < 0 && HasChildProcess(pid))
            f.script = Seconds() - ok;
        if (f.assembler < 0 && Exists(log))
            f.assembler = Seconds() - ok;
        DWORD_PTR ignored = 0;
        if (f.returned < 0 && !IsWindow(dialog) &&
            SendMessageTimeoutW(app.main, WM_NULL, 0, 0, SMTO_NORMAL, 1, &ignored))
            f.returned = Seconds() - ok;
        Sleep(1);
    }
    const double wait = Seconds();
    while (!Exists(output) && Seconds() - wait < 10)
        Sleep(10);
    return f;
}

// The reference: the same script started directly, as the program starts it.
BuildFigures DirectStart(const std::wstring& script, const std::wstring& log) {
    BuildFigures f;
    DeleteFileW(log.c_str());
    std::wstring commandLine = L"\"" + script + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    const double start = Seconds();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                        nullptr, &startup, &process))
        return f;
    f.script = Seconds() - start;
    while (!Exists(log) && Seconds() - start < 30)
        Sleep(1);
    f.assembler = Seconds() - start;
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return f;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fwprintf(stderr, L"usage: program_bench <korveline.exe> <log file> <stand-in folder> [megabytes]\n");
        return 2;
    }
    OpenLog(argv[2]);
    const std::wstring korveline = argv[1];
    const std::wstring tools = argv[3];
    const int runs = 3;

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kvstart" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const unsigned megabytes = argc > 4 ? static_cast<unsigned>(std::max(1, _wtoi(argv[4]))) : 4;
    const std::string source = MakeSource(static_cast<std::size_t>(megabytes) << 20);
    const std::wstring big = folder + L"\\big.asm";  // no blank: the command line is the path as it is
    Win32FileSystem files;
    files.WriteAll(big, source);
    const auto length = static_cast<LRESULT>(source.size());
    const std::wstring bigLabel = std::to_wstring(megabytes) + L" MB file";
    const std::wstring program = L"\"" + korveline + L"\"";

    // A first start creates the store and the association; the runs measure later starts.
    Started first = StartAndWait(program, L"KorvelineMain", 0);
    Stop(first);

    Say(L"Start-up: process start to the main window ready (caption set, editor shown and holding the "
        L"text), median of %d\n",
        runs);
    const StartFigures emptyMine = MeasureStarts(runs, program, L"KorvelineMain", 0);
    const StartFigures emptyNotepad = MeasureStarts(runs, L"notepad.exe", L"Notepad", 0);
    const StartFigures bigMine = MeasureStarts(runs, program + L" " + big, L"KorvelineMain", length);
    const StartFigures bigNotepad = MeasureStarts(runs, L"notepad.exe " + big, L"Notepad", length);
    struct Row {
        const wchar_t* what;
        const StartFigures& mine;
        const StartFigures& notepad;
    };
    for (const Row& row :
         {Row{L"empty document", emptyMine, emptyNotepad}, Row{bigLabel.c_str(), bigMine, bigNotepad}}) {
        Say(L"  %ls: Korveline %.2f s (splash shown at %.2f s; less the splash's fixed 0.70 s: %.2f s), "
            L"notepad %.2f s%ls\n",
            row.what, row.mine.ready, row.mine.splash, row.mine.ready - 0.7, row.notepad.ready,
            row.mine.ok && row.notepad.ok ? L"" : L" (incomplete)");
        Say(L"    ratio Korveline / notepad: %.2f; without the splash's wait: %.2f\n",
            row.mine.ready / row.notepad.ready, (row.mine.ready - 0.7) / row.notepad.ready);
    }

    Say(L"Memory, MB (peak working set / working set / private bytes), holding the file just opened:\n");
    for (const Row& row :
         {Row{L"empty document", emptyMine, emptyNotepad}, Row{bigLabel.c_str(), bigMine, bigNotepad}}) {
        Say(L"  %ls: Korveline %.1f / %.1f / %.1f, notepad %.1f / %.1f / %.1f; ratio of peaks %.2f, of "
            L"private "
            L"bytes %.2f\n",
            row.what, row.mine.memory.peakMb, row.mine.memory.workingMb, row.mine.memory.privateMb,
            row.notepad.memory.peakMb, row.notepad.memory.workingMb, row.notepad.memory.privateMb,
            row.mine.memory.peakMb / row.notepad.memory.peakMb,
            row.mine.memory.privateMb / row.notepad.memory.privateMb);
    }
    Say(L"  growth for the %ls: Korveline %+.1f MB private, notepad %+.1f MB\n", bigLabel.c_str(),
        bigMine.memory.privateMb - emptyMine.memory.privateMb,
        bigNotepad.memory.privateMb - emptyNotepad.memory.privateMb);

    // Typing: the 4 MB source with its lines, and the same bytes with each
    // CR LF made a lone LF (one line of 4 MB), alternately, median of 5.
    const std::string lines = MakeSource(4u << 20);
    std::string oneLine;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!(lines[i] == '\r' && i + 1 < lines.size() && lines[i + 1] == '\n'))
            oneLine.push_back(lines[i]);
    }
    const std::wstring linesPath = folder + L"\\lines.asm", oneLinePath = folder + L"\\oneline.asm";
    files.WriteAll(linesPath, lines);
    files.WriteAll(oneLinePath, oneLine);
    std::vector<double> linesMs, oneLineMs;
    const int typingRuns = 5;
    for (int i = 0; i < typingRuns; ++i) {
        linesMs.push_back(PerKeyMs(program + L" " + linesPath, static_cast<LRESULT>(lines.size())));
        oneLineMs.push_back(PerKeyMs(program + L" " + oneLinePath, static_cast<LRESULT>(oneLine.size() + 2)));
    }
    Say(L"Typing 100 keys at the end of the last line, each painted before the next, median of %d:\n",
        typingRuns);
    Say(L"  4 MB source of %zu lines: %.3f ms a key; the same as one line (LF only): %.3f ms a key; ratio "
        L"%.2f\n",
        lines.size() - oneLine.size(), Median(linesMs), Median(oneLineMs),
        Median(oneLineMs) / Median(linesMs));

    // The build: the stand-ins named in the store, the assembler's log line
    // (standin.log beside its object) marking the moment the script reached it.
    PutStore(tools);
    const std::wstring log = folder + L"\\standin.log";
    const std::wstring doc = folder + L"\\prog.asm";
    const std::string docText = "mov ax, 4c00h\r\nint 21h\r\n";
    files.WriteAll(doc, docText);
    Started app = StartAndWait(program + L" " + doc, L"KorvelineMain", static_cast<LRESULT>(docText.size()));
    if (!app.ok)
        Say(L"Build: the program did not start with its document\n");
    std::vector<double> dialog, script, assembler, returned, directScript, directAssembler;
    for (int i = 0; app.ok && i < 5; ++i) {
        const BuildFigures b = BuildOnce(app, folder + L"\\prog.exe", log);
        const BuildFigures d = DirectStart(folder + L"\\prog.bat", log);
        dialog.push_back(b.dialog);
        script.push_back(b.script);
        assembler.push_back(b.assembler);
        returned.push_back(b.returned);
        directScript.push_back(d.script);
        directAssembler.push_back(d.assembler);
    }
    Stop(app);
    Say(L"Build (Make 16b EXE, stand-in tools), median of 5:\n");
    Say(L"  menu command to the save dialog shown: %.3f s\n", Median(dialog));
    Say(L"  from the dialog's OK: the script's process %.3f s, the assembler's log line %.3f s, the command "
        L"returns %.3f s (of which the fixed wait 1.000 s; the rest %.3f s)\n",
        Median(script), Median(assembler), Median(returned), Median(returned) - 1.0);
    Say(L"  the same script started directly: process %.3f s, the assembler's log line %.3f s\n",
        Median(directScript), Median(directAssembler));
    Say(L"  ratio through the program / directly, to the assembler's log line: %.2f\n",
        Median(assembler) / Median(directAssembler));

    for (const wchar_t* name : {L"big.asm", L"lines.asm", L"oneline.asm", L"prog.asm", L"prog.bat",
                                L"prog.exe", L"prog.obj", L"prog.lst", L"standin.log"})
        DeleteFileW((folder + L"\\" + name).c_str());
    RemoveDirectoryW(folder.c_str());
    CloseLog();
    return 0;
}
