// Many rounds of edit, save, open and build in one run of the program: what
// it holds from Windows (handles, window-system objects, memory) must not
// grow with the rounds. KORVELINE_ROUNDS sets their number (bench/long_run.sh
// gives 1,000 unless told; 20 without it).
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "driver/e2e.h"

namespace e2e {
namespace {

int Rounds() {
    wchar_t text[16] = L"";
    const DWORD n = GetEnvironmentVariableW(L"KORVELINE_ROUNDS", text, 16);
    const int rounds = n > 0 && n < 16 ? _wtoi(text) : 0;
    return rounds > 0 ? rounds : 20;
}

struct Sample {
    int round = 0;
    DWORD handles = 0, keys = 0, gdi = 0, user = 0, windows = 0;
    std::size_t workingSet = 0, peakWorkingSet = 0, privateBytes = 0;
};

// The system's handle list (Wine keeps one): the owner and the object type of
// each handle.
struct HandleEntry {
    ULONG pid;
    BYTE type, flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

std::vector<HandleEntry> SystemHandles() {
    using Query = LONG(WINAPI*)(int, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr int kSystemHandleInformation = 16;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    while (query &&
           query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() >= (64u << 20))
            return {};
        buffer.resize(buffer.size() * 2);
    }
    if (!query)
        return {};
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* first = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    return std::vector<HandleEntry>(first, first + entries);
}

int CountOfType(const std::vector<HandleEntry>& handles, DWORD pid, int type) {
    int n = 0;
    for (const HandleEntry& h : handles)
        n += h.pid == pid && (type < 0 || h.type == type);
    return n;
}

// The type number of registry keys in that list: the one that grows when the
// driver opens a key.
int RegistryKeyType() {
    const DWORD self = GetCurrentProcessId();
    const auto before = SystemHandles();
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &key);
    const auto after = SystemHandles();
    RegCloseKey(key);
    for (int type = 0; type < 256; ++type) {
        if (CountOfType(after, self, type) > CountOfType(before, self, type))
            return type;
    }
    return -2;
}

// The process's handles, and among them its registry keys. Wine's
// GetProcessHandleCount answers 0, so they are counted in the system's list.
void CountHandles(HANDLE process, DWORD pid, DWORD& total, DWORD& keys) {
    static const int keyType = RegistryKeyType();
    const auto handles = SystemHandles();
    total = static_cast<DWORD>(CountOfType(handles, pid, -1));
    keys = static_cast<DWORD>(CountOfType(handles, pid, keyType));
    DWORD counted = 0;
    if (total == 0 && GetProcessHandleCount(process, &counted))
        total = counted;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

struct WindowCount {
    DWORD pid, count;
};

BOOL CALLBACK CountTopWindow(HWND window, LPARAM data) {
    auto* c = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != c->pid)
        return TRUE;
    ++c->count;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&c->count));
    return TRUE;
}

// The program's windows, top-level and child: the USER objects that Wine's
// GetGuiResources (which answers 0) would count.
DWORD WindowsOf(DWORD pid) {
    WindowCount c{pid, 0};
    EnumWindows(CountTopWindow, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

Sample Measure(const Program& app, int round) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, app.Pid());
    if (!process)
        Fail("cannot open the program's process, error " + std::to_string(GetLastError()));
    Sample s;
    s.round = round;
    CountHandles(process, app.Pid(), s.handles, s.keys);
    s.windows = WindowsOf(app.Pid());
    s.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    s.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    s.workingSet = memory.WorkingSetSize;
    s.peakWorkingSet = memory.PeakWorkingSetSize;
    s.privateBytes = memory.PagefileUsage;
    char line[240];
    std::snprintf(line, sizeof line,
                  "  sample round=%d handles=%lu registry_keys=%lu gdi=%lu user=%lu windows=%lu "
                  "working_set_kb=%zu peak_kb=%zu private_kb=%zu",
                  round, s.handles, s.keys, s.gdi, s.user, s.windows, s.workingSet >> 10,
                  s.peakWorkingSet >> 10, s.privateBytes >> 10);
    Log(line);
    return s;
}

}  // namespace

TEST(Endurance, RoundsOfEditSaveOpenAndBuildHoldNoMoreHandlesOrMemory) {
    StandInsConfigured();
    const std::wstring doc = workFolder + L"\\round.asm";
    const std::wstring output = workFolder + L"\\round.exe";
    PutFile(doc, "mov ax, 4c00h\r\n");
    Program app(doc);
    ASSERT_EQ(app.Caption(), doc);

    const int rounds = Rounds();
    const int every = std::max(1, rounds / 20);
    // The first rounds fill caches (fonts, the dialog's folder view, heaps); the
    // baseline is taken after them.
    const int warmUp = std::max(2, every);
    Sample baseline, last;
    for (int round = 1; round <= rounds; ++round) {
        // Edit: the whole text replaced by typing, so the document keeps its size.
        const std::wstring text = L"; round " + std::to_wstring(round) + L"\r\nmov ax, 4c00h\r\nint 21h";
        app.Select(0, static_cast<std::size_t>(-1));
        app.Type(text);
        app.Run(Command::Save);
        const std::string saved = "; round " + std::to_string(round) + "\r\nmov ax, 4c00h\r\nint 21h\r\n";
        ASSERT_EQ(FileText(doc), saved);

        app.Click(Command::Open);
        ChooseFile(app.FileDialog(), doc);
        ASSERT_EVENTUALLY_EQ(app.Text(), text + L"\r\n");

        DeleteFileW(output.c_str());  // no question about replacing it
        app.Build(Command::Make16Exe, output);
        // The script runs on after the command; on a busy machine it can take a while.
        ASSERT_TRUE(WaitUntil([&] { return FileExists(output); }, Ms(60000)));
        EXPECT_FALSE(app.Find(kDialogClass));

        if (round == warmUp)
            baseline = Measure(app, round);
        else if (round % every == 0 || round == rounds)
            last = Measure(app, round);
    }
    ASSERT_TRUE(last.round > baseline.round);
    // A leak of one object a round shows as the number of rounds measured.
    // Wine's file dialog keeps one registry key open for each file chosen in
    // it (its notepad's Open does the same); two dialogs a round are allowed for.
    const DWORD slack = 4, measured = static_cast<DWORD>(last.round - baseline.round);
    EXPECT_TRUE(last.handles - last.keys <= baseline.handles - baseline.keys + slack);
    EXPECT_TRUE(last.keys <= baseline.keys + slack + 2 * measured);
    EXPECT_TRUE(last.gdi <= baseline.gdi + slack);
    EXPECT_TRUE(last.user <= baseline.user + slack);
    EXPECT_TRUE(last.windows <= baseline.windows + slack);
    EXPECT_TRUE(last.privateBytes <= baseline.privateBytes + (4u << 20));
    EXPECT_TRUE(last.workingSet <= baseline.workingSet + (4u << 20));
    app.Close();
    EXPECT_TRUE(app.WaitForExit());
}

}  // namespace e2e
