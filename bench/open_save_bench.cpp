// Opening and saving a source of 1, 4, 16 ... MB: the program's own part (reading,
// decoding, rebuilding lines, converting, writing) measured in this process,
// the edit control's part beside it, and then the whole Open and Save of the
// real program against Wine's notepad on the same file in the same run.
//
//   open_save_bench.exe <korveline.exe> <log file> [megabytes ...]
//
// Prints (and writes to the log, since a virtual desktop loses stdout) the
// figures and the ratios; it passes or fails nothing.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "bench_common.h"
#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "editor/source_file.h"
#include "platform/twips.h"
#include "platform/win32/win32_platform.h"

namespace {

// The median time of a few runs of one step.
double Median(int runs, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Seconds();
        step();
        times.push_back(Seconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// --- The program's own part, in this process ----------------------------------------

HWND MakeEditor(HWND parent) {
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                    ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                0, 0, 600, 380, parent, nullptr, nullptr, nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    HFONT font = CreateFontW(PointsToFontHeight(9.75, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, L"Fixedsys");
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return edit;
}

std::wstring TextOf(HWND window) {
    const int n = GetWindowTextLengthW(window);
    std::wstring text(n + 1, L'\0');
    text.resize(GetWindowTextW(window, text.data(), n + 1));
    return text;
}

struct OwnPart {
    double read, decode, setText, getText, convert, write;
};

OwnPart MeasureOwnPart(const std::wstring& path) {
    Win32FileSystem files;
    OwnPart part{};
    std::string bytes;
    std::wstring text;
    part.read = Median(5, [&] { bytes = files.ReadAll(path); });
    part.decode = Median(5, [&] { text = ReadSourceText(bytes); });

    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 420,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND editor = MakeEditor(frame);
    part.setText = Median(1, [&] { SetWindowTextW(editor, text.c_str()); });
    std::wstring shown;
    part.getText = Median(5, [&] { shown = TextOf(editor); });
    DestroyWindow(frame);

    std::string out;
    part.convert = Median(5, [&] { out = SourceFileBytes(shown); });
    const std::wstring copy = path + L".copy";
    part.write = Median(5, [&] { files.WriteAll(copy, out); });
    DeleteFileW(copy.c_str());
    if (shown != text)
        Say(L"  (the editor did not give back the text it was given)\n");
    return part;
}

// Cheap ways to give the control its text, each on a fresh control, for the
// same text: none changes what the user sees afterwards.
void CompareAssignments(const std::wstring& text) {
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 420,
                                 nullptr, nullptr, nullptr, nullptr);
    struct Way {
        const wchar_t* name;
        std::function<void(HWND)> assign;
    };
    const Way ways[] = {
        {L"WM_SETTEXT", [&](HWND e) { SetWindowTextW(e, text.c_str()); }},
        {L"WM_SETREDRAW off, WM_SETTEXT, on",
         [&](HWND e) {
             SendMessageW(e, WM_SETREDRAW, FALSE, 0);
             SetWindowTextW(e, text.c_str());
             SendMessageW(e, WM_SETREDRAW, TRUE, 0);
             InvalidateRect(e, nullptr, TRUE);
         }},
        {L"hidden during WM_SETTEXT",
         [&](HWND e) {
             ShowWindow(e, SW_HIDE);
             SetWindowTextW(e, text.c_str());
             ShowWindow(e, SW_SHOW);
         }},
        {L"EM_SETHANDLE with a prepared buffer",
         [&](HWND e) {
             const std::size_t size = (text.size() + 1) * sizeof(wchar_t);
             HLOCAL buffer = LocalAlloc(LMEM_MOVEABLE, size);
             std::memcpy(LocalLock(buffer), text.c_str(), size);
             LocalUnlock(buffer);
             auto old = reinterpret_cast<HLOCAL>(SendMessageW(e, EM_GETHANDLE, 0, 0));
             SendMessageW(e, EM_SETHANDLE, reinterpret_cast<WPARAM>(buffer), 0);
             if (old)
                 LocalFree(old);
         }},
    };
    for (const Way& way : ways) {
        HWND editor = MakeEditor(frame);
        const double start = Seconds();
        way.assign(editor);
        UpdateWindow(frame);
        const double took = Seconds() - start;
        const bool same = TextOf(editor) == text;
        Say(L"  %-40ls %.2f s%ls\n", way.name, took, same ? L"" : L" (text differs)");
        DestroyWindow(editor);
    }
    DestroyWindow(frame);
}

// --- Another program, worked from outside ----------------------------------------------

struct Target {
    const wchar_t* label;
    std::wstring commandLine;
    const wchar_t* windowClass;
    int openId, saveId;
};

struct Outcome {
    bool ok = false;
    double open = 0, save = 0;
};

// Open through the program's Open dialog, timed from the dialog's OK to the
// editor holding the whole text; then Save under the same name, timed until
// the command returns.
Outcome OpenAndSave(const Target& target, const std::wstring& path, LRESULT expectedLength) {
    Outcome outcome;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = target.commandLine;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Say(L"  %ls: cannot start (error %lu)\n", target.label, GetLastError());
        return outcome;
    }
    CloseHandle(process.hThread);
    const DWORD pid = process.dwProcessId;
    HWND main = WaitForWindow(pid, target.windowClass, 30);
    HWND editor = main ? FindEdit(main) : nullptr;
    if (!editor) {
        Say(L"  %ls: no main window with an editor\n", target.label);
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        return outcome;
    }

    PostMessageW(main, WM_COMMAND, target.openId, 0);
    HWND dialog = WaitForWindow(pid, L"#32770", 10);
    HWND nameBox = dialog ? FindEdit(GetDlgItem(dialog, 0x47c)) : nullptr;
    if (!nameBox && dialog)
        nameBox = GetDlgItem(dialog, 0x47c);
    if (!nameBox) {
        Say(L"  %ls: no Open dialog\n", target.label);
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        return outcome;
    }
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    const double opening = Seconds();
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    LRESULT length = -1;
    while (Seconds() - opening < 120) {
        length = TextLength(editor, 120000);
        if (length == expectedLength)
            break;
        Sleep(5);
    }
    outcome.open = Seconds() - opening;
    if (length != expectedLength) {
        Say(L"  %ls: the editor holds %ld characters, not %ld\n", target.label, static_cast<long>(length),
            static_cast<long>(expectedLength));
    }

    const double saving = Seconds();
    DWORD_PTR ignored = 0;
    const bool saved =
        SendMessageTimeoutW(main, WM_COMMAND, target.saveId, 0, SMTO_NORMAL, 120000, &ignored) != 0;
    outcome.save = Seconds() - saving;
    outcome.ok = saved && length == expectedLength;

    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return outcome;
}

struct SizeResult {
    std::size_t bytes = 0;
    double ownOpen = 0, ownSave = 0, setText = 0;
    Outcome program, notepad;
};

// One size: the program's own part, the control's part, and the whole
// commands of both programs.
SizeResult MeasureSize(const std::wstring& korveline,
                       const std::wstring& folder,
                       std::size_t megabytes,
                       bool compareAssignments) {
    const std::wstring mine = folder + L"\\big.asm";
    const std::wstring theirs = folder + L"\\big.txt";
    const std::string source = MakeSource(megabytes << 20);
    Win32FileSystem files;
    files.WriteAll(mine, source);
    files.WriteAll(theirs, source);
    const auto lines = std::count(source.begin(), source.end(), '\n');
    Say(L"\n== %zu MB: %zu bytes, %ld lines of about %ld characters\n", megabytes, source.size(),
        static_cast<long>(lines), static_cast<long>(source.size() / lines));

    const OwnPart own = MeasureOwnPart(mine);
    SizeResult result;
    result.bytes = source.size();
    result.ownOpen = own.read + own.decode;
    result.ownSave = own.convert + own.write;
    result.setText = own.setText;
    Say(L"The program's own part (median of 5):\n");
    Say(L"  open: read %.1f ms + decode and rebuild lines %.1f ms = %.1f ms\n", own.read * 1e3,
        own.decode * 1e3, result.ownOpen * 1e3);
    Say(L"  save: convert to CP866 %.1f ms + write beside and replace %.1f ms = %.1f ms\n", own.convert * 1e3,
        own.write * 1e3, result.ownSave * 1e3);
    Say(L"The edit control's part:\n");
    Say(L"  WM_SETTEXT %.2f s (%.2f s per million characters), WM_GETTEXT %.1f ms\n", own.setText,
        own.setText * 1e6 / static_cast<double>(source.size()), own.getText * 1e3);
    Say(L"  the program's own part is %.1f%% of opening and %.1f%% of saving\n",
        100 * result.ownOpen / (result.ownOpen + own.setText),
        100 * result.ownSave / (result.ownSave + own.getText));

    if (compareAssignments) {
        Say(L"Ways of assigning the first megabyte to the control:\n");
        CompareAssignments(ReadSourceText(source.substr(0, source.find("\r\n", 1 << 20) + 2)));
    }

    const Target program{L"Korveline", L"\"" + korveline + L"\"", L"KorvelineMain",
                         CommandIdOf(Command::Open), CommandIdOf(Command::Save)};
    const Target notepad{L"notepad", L"notepad.exe", L"Notepad", 0x101, 0x102};
    const auto expected = static_cast<LRESULT>(source.size());
    result.program = OpenAndSave(program, mine, expected);
    result.notepad = OpenAndSave(notepad, theirs, expected);
    const Outcome& a = result.program;
    const Outcome& b = result.notepad;
    Say(L"Whole commands through the real programs (open: dialog OK to text shown; save: command to "
        L"return):\n");
    Say(L"  Korveline: open %.2f s, save %.3f s%ls\n", a.open, a.save, a.ok ? L"" : L" (incomplete)");
    Say(L"  notepad:   open %.2f s, save %.3f s%ls\n", b.open, b.save, b.ok ? L"" : L" (incomplete)");
    if (a.ok && b.ok)
        Say(L"  ratio Korveline / notepad: open %.2f, save %.2f\n", a.open / b.open, a.save / b.save);
    const std::string written = files.ReadAll(mine);
    Say(L"  Korveline's saved file: %zu bytes (the source plus one CR LF: %ls)\n", written.size(),
        written.size() == source.size() + 2 ? L"yes" : L"no");
    DeleteFileW(mine.c_str());
    DeleteFileW(theirs.c_str());
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: open_save_bench <korveline.exe> <log file> [megabytes ...]\n");
        return 2;
    }
    OpenLog(argv[2]);
    std::vector<std::size_t> sizes;
    for (int i = 3; i < argc; ++i)
        sizes.push_back(static_cast<std::size_t>(_wtoi(argv[i])));
    if (sizes.empty())
        sizes.push_back(4);

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kvbench" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<SizeResult> results;
    for (std::size_t i = 0; i < sizes.size(); ++i)
        results.push_back(MeasureSize(argv[1], folder, sizes[i], i == 0));
    RemoveDirectoryW(folder.c_str());

    // Time against size: each figure per megabyte, and as a multiple of the
    // smallest size's per-megabyte figure (1.00 throughout is linear growth).
    if (results.size() > 1) {
        Say(L"\n== Growth with size: seconds per MB (and against the smallest size's per MB)\n");
        Say(L"  %-6ls %-17ls %-17ls %-17ls %-17ls %-17ls %-17ls\n", L"MB", L"own open", L"own save",
            L"WM_SETTEXT", L"Korveline open", L"Korveline save", L"notepad open");
        const SizeResult& base = results.front();
        const double baseMb = static_cast<double>(base.bytes) / (1 << 20);
        for (const SizeResult& r : results) {
            const double mb = static_cast<double>(r.bytes) / (1 << 20);
            const double values[] = {r.ownOpen,      r.ownSave,      r.setText,
                                     r.program.open, r.program.save, r.notepad.open};
            const double bases[] = {base.ownOpen,      base.ownSave,      base.setText,
                                    base.program.open, base.program.save, base.notepad.open};
            Say(L"  %-6.1f", mb);
            for (int k = 0; k < 6; ++k) {
                const double perMb = values[k] / mb, basePerMb = bases[k] / baseMb;
                Say(L" %7.4f (%5.2f) ", perMb, basePerMb > 0 ? perMb / basePerMb : 0.0);
            }
            Say(L"\n");
        }
    }
    CloseLog();
    return 0;
}
