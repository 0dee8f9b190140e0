#pragma once
// The end-to-end driver (see ../README.md): tests and checks, the machine they
// run on, and the real program started under Wine and worked as a user would.
// CHECK* record a failure, let the test go on and say whether they held;
// REQUIRE ends the test when what it holds is false. Never sleep in a test:
// wait for what the user would see.
#include <windows.h>

#include <shellapi.h>

#include <chrono>
#include <string>
#include <type_traits>
#include <vector>

#include "app/menu_table.h"
#include "platform/win32/win32_platform.h"

namespace e2e {

using Ms = std::chrono::milliseconds;
constexpr Ms kStartTimeout{20000};  // a start under Wine takes a second, several on a loaded machine
constexpr Ms kStateTimeout{10000};

struct TestCase {
    const char *suite, *name;
    void (*body)();
};
std::vector<TestCase>& AllTests();
struct Registrar {
    explicit Registrar(TestCase test) { AllTests().push_back(test); }
};

void Log(const std::string& line);  // to e2e.log, flushed at once
bool CheckEq(const std::string& actual,
             const std::string& expected,
             const char* what,
             const char* file,
             int line);
[[noreturn]] void Abort(const std::string& reason);  // ends the running test
std::string Utf8(const std::wstring& text);

// Values as failure messages show them: quoted, control characters (of bytes, all above 0x7F) as \xNN.
std::string Show(const std::wstring& text);
std::string Show(const std::string& bytes);
inline std::string Show(const wchar_t* text) {
    return Show(std::wstring(text));
}
inline std::string Show(const char* bytes) {
    return Show(std::string(bytes));
}
template <class T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
std::string Show(T n) {
    return std::is_same_v<T, bool> ? (n ? "true" : "false") : std::to_string(n);
}

// Polls the condition until it holds (true) or the timeout passes (false).
template <class Condition>
bool WaitUntil(Condition&& condition, Ms timeout = kStateTimeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;; ::Sleep(20))
        if (condition())
            return true;
        else if (std::chrono::steady_clock::now() >= deadline)
            return false;
}
template <class Get>
std::string Eventually(Get&& get, const std::string& expected) {
    std::string last;
    WaitUntil([&] { return (last = get()) == expected; });
    return last;
}

// The machine: one Wine prefix for the run, the program installed once, and
// before every test a new work folder and none of the program's registry keys.
std::wstring ProgramPath();  // C:\Program Files\Korveline\korveline.exe
std::wstring WorkFolder();   // C:\e2e work\<test number>
std::wstring DosFolder();    // C:\DOS<test number>: DOSBox knows long names by short names of its own
std::wstring BuiltTools();   // the driver's build folder's tests\tools\ (the stand-ins)
void PutFile(const std::wstring& path, const std::string& bytes);  // creates missing folders
std::string FileText(const std::wstring& path);                    // its bytes, or "(missing)"
bool FileExists(const std::wstring& path);
inline Win32Registry registry;
const std::wstring kStore = L"Software\\asm", kUserKey = L"Software\\Korveline";
std::string Reg(RegRoot root, const std::wstring& key, const std::wstring& name);  // REG_SZ "x", (missing)
// The first start's switches, and the store as a later start finds it with these tools.
extern const std::vector<std::pair<std::wstring, std::wstring>> kSwitches;
void PutStore(const std::wstring& tasm, const std::wstring& tlink);
void StandInsConfigured();              // the Windows stand-ins of tests/tools in C:\standin, in the store
bool Shell(const std::string& script);  // a shell script of the host ($WINEPREFIX set), not waited for
bool Screenshot(const std::wstring& name);  // OutputFolder\<name>.png; never fails a test

inline const wchar_t kMainClass[] = L"KorvelineMain", kDialogClass[] = L"#32770";
constexpr int kMessageTextId = 0xFFFF, kFileNameBoxId = 0x47c;  // message box text, Open/Save name box
int Px(int twips);  // at the screen's DPI, rounded as the program does
std::string XY(long x, long y);
std::string Pos(HWND window);                        // of the top-left corner
std::string Size(HWND window, bool client = false);  // of the window or of its client area
// A message to a window of another process; ends the test when it is not answered within 20 s.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::wstring Text(HWND window);
std::wstring Text(HWND dialog, int controlId);
void Press(HWND dialog, int buttonId);  // posted as the button's click: the dialog may run a modal loop
void ChooseFile(HWND dialog, const std::wstring& path);  // into the Open/Save name box, then OK
std::wstring Clipboard();                                // as another program sees it; "(no text)"
void SetClipboard(const std::wstring& text);

class Program {
  public:
    // Starts the installed program in a job; `arguments` follow its quoted path as given.
    explicit Program(const std::wstring& arguments = L"");
    static Program Attach();  // the one the shell started: waits for its main window
    Program(const Program&) = delete;
    ~Program();  // ends it, if it still runs, and all it started

    DWORD Pid() const { return pid_; }
    bool WaitForExit(Ms timeout = kStateTimeout) const;
    // A shown top-level window of the program of the class (holding the control); nullptr if none.
    HWND Find(const wchar_t* className, int controlId = 0) const;
    HWND Wait(const wchar_t* className,
              int controlId = 0,
              Ms timeout = kStartTimeout) const;  // or ends the test
    HWND Box() const { return Wait(kDialogClass, kMessageTextId, kStateTimeout); }
    HWND FileDialog() const { return Wait(kDialogClass, kFileNameBoxId); }  // the first is slow to come
    HWND Main() const { return Wait(kMainClass); }
    HWND Editor() const;
    std::wstring Caption() const { return e2e::Text(Main()); }
    std::wstring Text() const { return e2e::Text(Editor()); }
    void Type(const std::wstring& text) const;  // at the caret, as EM_REPLACESEL: undoable, a change
    void Select(std::size_t start, std::size_t end) const;
    std::string Selection() const;      // "start-end"
    std::wstring Menu() const;          // as the probe reads it from inside the program
    void Click(Command command) const;  // posted as the menu does: returns at once
    void Run(Command command) const;    // sent: returns once handled (a command that opens no window)
    // Names the output of a build command in the save dialog; returns once the command has returned.
    void Build(Command command, const std::wstring& output) const;
    void Close() const { PostMessageW(Main(), WM_CLOSE, 0, 0); }  // as the close box does

  private:
    Program(HANDLE process, DWORD pid, HANDLE job) : process_(process), pid_(pid), job_(job) {}
    HANDLE process_;
    DWORD pid_;
    HANDLE job_;
    mutable HHOOK hook_ = nullptr;  // the menu probe, and the memory it answers in
    mutable HANDLE memory_ = nullptr;
    mutable wchar_t* answer_ = nullptr;
};

}  // namespace e2e

#define E2E_TEST(suite, name)                                                                       \
    static void e2e_##suite##_##name();                                                             \
    static ::e2e::Registrar e2e_registrar_##suite##_##name({#suite, #name, &e2e_##suite##_##name}); \
    static void e2e_##suite##_##name()
#define CHECK_EQ(actual, expected) \
    ::e2e::CheckEq(::e2e::Show(actual), ::e2e::Show(expected), #actual " == " #expected, __FILE__, __LINE__)
#define CHECK(cond) CHECK_EQ(static_cast<bool>(cond), true)
#define CHECK_EVENTUALLY_EQ(actual, expected)                                                     \
    ::e2e::CheckEq(::e2e::Eventually([&] { return ::e2e::Show(actual); }, ::e2e::Show(expected)), \
                   ::e2e::Show(expected), #actual " == " #expected, __FILE__, __LINE__)
#define CHECK_EVENTUALLY(cond) CHECK_EVENTUALLY_EQ(static_cast<bool>(cond), true)
#define REQUIRE(...)                                                              \
    do {                                                                          \
        if (!(__VA_ARGS__))                                                       \
            ::e2e::Abort("line " + std::to_string(__LINE__) + ": " #__VA_ARGS__); \
    } while (0)
