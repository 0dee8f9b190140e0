// Building through DOSBox against building with the tools started directly:
// through the real program, the time from the Compile command (Make 16b EXE)
// to the output file, first with the Windows stand-ins (the script started
// directly), then with the DOS stand-ins, which go through the host's dosbox.
// Median of 5 each, and their ratio. The save dialog is answered at once.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/command_table.h"
#include "bench_common.h"

namespace {

void PutTools(const std::wstring& tasm, const std::wstring& tlink) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\asm", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                    nullptr);
    const DWORD one = 1;
    RegSetValueExW(key, L"", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    const std::pair<const wchar_t*, std::wstring> values[] = {
        {L"tasm", tasm}, {L"tlink", tlink}, {L"16btasmEXE", L"/z /zi /n /m2"}, {L"16btlinkEXE", L"/x /v"}};
    for (const auto& [name, text] : values)
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Seconds from the command to the output; -1 when it did not appear in 60 s.
double BuildOnce(DWORD pid, HWND main, const std::wstring& output) {
    DeleteFileW(output.c_str());
    const double start = Seconds();
    PostMessageW(main, WM_COMMAND, CommandIdOf(Command::Make16Exe), 0);
    HWND dialog = nullptr;
    while (!(dialog && GetDlgItem(dialog, 0x47c)) && Seconds() - start < 20) {
        dialog = FindShown(pid, L"#32770");
        Sleep(1);
    }
    if (!dialog)
        return -1;
    HWND nameBox = GetDlgItem(dialog, 0x47c);
    if (HWND inner = FindEdit(nameBox))
        nameBox = inner;
    SendMessageW(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(output.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    while (!Exists(output) && Seconds() - start < 60)
        Sleep(5);
    const double seconds = Exists(output) ? Seconds() - start : -1;
    // The command's one-second wait (direct route) is over before the next build.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return seconds;
}

struct Started {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
};

Started Start(std::wstring commandLine) {
    Started s;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &s.process)) {
        CloseHandle(s.process.hThread);
        s.main = WaitForWindow(s.process.dwProcessId, L"KorvelineMain", 60);
    }
    return s;
}

void Stop(Started& s) {
    if (!s.process.hProcess)
        return;
    PostMessageW(s.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(s.process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(s.process.hProcess, 1);
    CloseHandle(s.process.hProcess);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fwprintf(stderr, L"usage: dosbox_bench <korveline.exe> <log file> <stand-in folder>\n");
        return 2;
    }
    OpenLog(argv[2]);
    const std::wstring tools = argv[3];
    // 8.3 names throughout: DOSBox knows long names by short names of its own.
    const std::wstring folder = L"C:\\KVBENCH";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"TASM.EXE", L"TLINK.EXE"})
        CopyFileW((tools + L"\\dos\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE);
    const std::wstring doc = folder + L"\\prog.asm";
    HANDLE file = CreateFileW(doc.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);

    struct Route {
        const wchar_t* name;
        std::wstring tasm, tlink;
        std::vector<double> seconds;
    } routes[] = {
        {L"Windows stand-ins, script started directly",
         tools + L"\\standin_tasm.exe",
         tools + L"\\standin_tlink.exe",
         {}},
        {L"DOS stand-ins through DOSBox", folder + L"\\TASM.EXE", folder + L"\\TLINK.EXE", {}},
    };
    for (Route& route : routes) {
        PutTools(route.tasm, route.tlink);
        Started app = Start(L"\"" + std::wstring(argv[1]) + L"\" " + doc);
        for (int i = 0; app.main && i < 5; ++i)
            route.seconds.push_back(BuildOnce(app.process.dwProcessId, app.main, folder + L"\\prog.exe"));
        Stop(app);
        Say(L"%ls: Compile command to the output %.2f s (median of %zu)\n", route.name, Median(route.seconds),
            route.seconds.size());
    }
    Say(L"ratio through DOSBox / directly: %.2f\n", Median(routes[1].seconds) / Median(routes[0].seconds));
    CloseLog();
    return 0;
}
