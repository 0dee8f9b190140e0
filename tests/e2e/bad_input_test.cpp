// Input the program was not made for: files that go away or are held by
// another program, paths longer than 260 characters, a huge command line,
// a damaged settings store, a script that cannot be written. Each gets an
// orderly answer, and nothing the user had is lost.
#include "build_steps.h"
#include "editor_steps.h"

namespace e2e {
namespace {

const HKEY kHklm = HKEY_LOCAL_MACHINE;
const wchar_t kStore[] = L"Software\\asm";

std::optional<std::string> Bytes(const std::string& bytes) {
    return bytes;
}

// A folder in the work folder whose path is longer than 260 characters.
std::wstring LongFolder() {
    std::wstring folder = WorkFolder();
    for (int i = 0; folder.size() <= 280; ++i)
        folder += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    return folder;
}

// Chooses the file in the Open dialog and waits until the command is over.
void OpenThroughDialog(const Program& app, const std::wstring& path) {
    app.Click(Command::Open);
    HWND dialog = app.WaitForFileDialog();
    ChooseFile(dialog, path);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
    app.Menu();  // answered only once the command has returned
}

// The editor, caption and file as they were: nothing changed, nothing asked.
void CheckUntouched(const Program& app, const std::wstring& caption, const std::wstring& text) {
    CHECK(!app.FindMessageBox());
    CHECK_EQ(app.Caption(), caption);
    CHECK_EQ(app.EditorText(), text);
}

}  // namespace

E2E_TEST(BadInput, AFileHeldOrGoneWhenOpenReadsItEndsTheCommandWithNothingChanged) {
    const std::wstring doc = WorkFolder() + L"\\mine.asm";
    const std::wstring other = WorkFolder() + L"\\other.asm";
    WriteBytes(doc, "mine\r\n");
    WriteBytes(other, "other\r\n");
    Program app = Program::Start(doc);
    app.TypeInEditor(L"typed ");
    {
        HeldFile held(other);  // held without sharing, longer than the program retries
        OpenThroughDialog(app, other);
        CheckUntouched(app, doc, L"typed mine\r\n");
    }
    // Gone between the dialog and the read: the other program lets the file
    // be deleted but not read, so the dialog sees it and the read does not;
    // it is deleted while the program waits to read it.
    HANDLE lock =
        CreateFileW(other.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(lock != INVALID_HANDLE_VALUE);
    app.Click(Command::Open);
    HWND dialog = app.WaitForFileDialog();
    ChooseFile(dialog, other);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
    CHECK(DeleteFileW(other.c_str()));
    CloseHandle(lock);
    app.Menu();
    CHECK(!FileExists(other));
    CheckUntouched(app, doc, L"typed mine\r\n");

    Run(app, Command::Save);  // still the first document, and still saved where it was
    CHECK_EQ(ReadBytes(doc), Bytes("typed mine\r\n\r\n"));
}

// Wine's file dialog stops answering when a path of more than 260
// characters is typed into it (its notepad's too), so such paths come here
// through the command line; the dialogs get short ones.
E2E_TEST(BadInput, APathLongerThan260CharactersOpensAndSaves) {
    const std::wstring folder = LongFolder();
    const std::wstring path = folder + L"\\long.asm";
    WriteBytes(path, "long\r\n");
    REQUIRE(path.size() > 260);

    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(app.EditorText(), L"long\r\n");
    app.TypeInEditor(L"1 ");
    Run(app, Command::Save);
    CHECK(!app.FindMessageBox());
    CHECK_EQ(ReadBytes(path), Bytes("1 long\r\n\r\n"));

    // Save As starts from the long path and saves under a short one.
    app.TypeInEditor(L"2 ");
    app.Click(Command::SaveAs);
    const std::wstring copy = WorkFolder() + L"\\copy.asm";
    ChooseFile(app.WaitForFileDialog(), copy);
    CHECK_EVENTUALLY_EQ(app.Caption(), copy);
    CHECK_EQ(ReadBytes(copy), Bytes("1 2 long\r\n\r\n"));
    CHECK_EQ(ReadBytes(path), Bytes("1 long\r\n\r\n"));
}

E2E_TEST(BadInput, ACommandLineOf32000CharactersStartsAnEmptyUsableDocument) {
    const std::wstring commandLine =
        WorkFolder() + L"\\" + std::wstring(32000 - WorkFolder().size() - 1, L'x');
    Program app = Program::Start(commandLine);
    CHECK_EQ(app.Caption(), L" asm");
    CheckUntouched(app, L" asm", L"");
    app.TypeInEditor(L"mov ax, 1");
    app.Click(Command::SaveAs);
    const std::wstring path = WorkFolder() + L"\\saved.asm";
    ChooseFile(app.WaitForFileDialog(), path);
    CHECK_EVENTUALLY_EQ(app.Caption(), path);
    CHECK_EQ(ReadBytes(path), Bytes("mov ax, 1\r\n"));
}

E2E_TEST(BadInput, ADamagedStoreLoadsQuietlyAndIsLeftAsItWas) {
    RegData binary;
    binary.exists = true;
    binary.type = REG_BINARY;
    binary.bytes.assign(100 * 1024, 0xAB);
    RegData multi;
    multi.exists = true;
    multi.type = REG_MULTI_SZ;
    multi.bytes = {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0};
    const std::wstring huge(50 * 1024, L'z');  // 100 KB in UTF-16
    struct Case {
        const wchar_t* name;
        RegData value;
    };
    const Case cases[] = {
        {L"tasm", binary},          {L"tlink", RegDword(7)},
        {L"16btasmEXE", multi},     {L"32btlinkCOM", RegSz(huge)},
        {L"tasm", RegSz(huge)},     {L"asmfiles", binary},
        {L"asmfiles", RegSz(huge)},
    };
    for (const Case& c : cases) {
        Log(std::wstring(L"case: ") + c.name + L" as " + std::to_wstring(c.value.type));
        ResetMachineState();
        StandInsConfigured();
        RegPut(kHklm, kStore, c.name, c.value);
        Program app = Program::Start();
        app.MainWindow();
        CHECK(!app.FindMessageBox());
        CHECK_EQ(RegGet(kHklm, kStore, c.name), c.value);  // nothing repaired or overwritten
        app.TypeInEditor(L"mov ax, 1");
        CHECK_EQ(app.EditorText(), L"mov ax, 1");
        app.Close();
        HWND box = app.WaitForMessageBox();  // usable to the end: the exit question
        PressButton(box, IDNO);
        CHECK(app.WaitForExit());
    }
}

E2E_TEST(BadInput, AScriptThatCannotBeWrittenIsReportedAndTheDocumentKeptAsItWas) {
    StandInsConfigured();
    const std::wstring doc = WorkFolder() + L"\\prog.asm";
    const std::wstring bat = WorkFolder() + L"\\prog.bat";
    WriteBytes(doc, "mov ax, 1\r\n");
    Program app = Program::Start(doc);
    app.TypeInEditor(L"; typed\r\n");
    const std::wstring expected =
        L"The build could not write " + bat + L".\r\n\r\n" + SystemErrorText(ERROR_ACCESS_DENIED);
    for (int variant = 0; variant < 2; ++variant) {
        if (variant == 0) {
            WriteBytes(bat, "old script\r\n");
            SetFileAttributesW(bat.c_str(), FILE_ATTRIBUTE_READONLY);
        } else {
            SetFileAttributesW(bat.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(bat.c_str());
            CreateDirectoryW(bat.c_str(), nullptr);  // a folder of the script's name
        }
        app.Click(Command::Make16Exe);
        HWND box = app.WaitForMessageBox();
        CHECK_EQ(MessageBoxText(box), expected);
        PressButton(box, IDOK);
        CHECK_EVENTUALLY(!app.FindMessageBox());
        CHECK_EQ(ReadBytes(doc), Bytes("mov ax, 1\r\n"));
        CHECK_EQ(app.EditorText(), L"; typed\r\nmov ax, 1\r\n");
    }
    CHECK(!FileExists(bat));  // still the folder
    RemoveDirectoryW(bat.c_str());
    Build(app, Command::Make16Exe, WorkFolder() + L"\\prog.exe");  // with the way clear, the build works
    CHECK(FileExists(WorkFolder() + L"\\prog.exe"));
}

// The editor keeps every character, NUL included, so a save writes the file
// back as it was (plus the final CR LF every save adds), edited or not.
E2E_TEST(BadInput, AFileWithNulBytesIsKeptWholeThroughOpenAndSave) {
    const std::string bytes("mov ax, 1\r\nab\0cd\r\n\0mov bx, 2\r\n", 30);
    const std::wstring doc = WorkFolder() + L"\\zeros.asm";  // "nul.asm" would be the NUL device
    WriteBytes(doc, bytes);
    Program app = Program::Start(doc);
    REQUIRE_EQ(app.Caption(), doc);
    Run(app, Command::Save);
    CHECK_EQ(ReadBytes(doc), Bytes(bytes + "\r\n"));

    Select(app, 0, 0);
    app.TypeInEditor(L"; ");
    Run(app, Command::Save);
    CHECK_EQ(ReadBytes(doc), Bytes("; " + bytes + "\r\n"));
}

// 64 MB opens from the command line and through the Open dialog, and saves
// whole, in seconds. (ASCII only: a save converts the text to the DOS code page.)
E2E_TEST(BadInput, A64MegabyteFileOpensAndSavesWhole) {
    std::string bytes;
    bytes.reserve((64u << 20) + 64);
    for (int n = 0; bytes.size() < (64u << 20); ++n)
        bytes +=
            "label" + std::to_string(n) + ":  mov ax, [bx+si+" + std::to_string(n % 97) + "]  ; copy\r\n";
    const std::wstring doc = WorkFolder() + L"\\big.asm";
    WriteBytes(doc, bytes);
    const auto started = std::chrono::steady_clock::now();
    Program app = Program::Start(doc);
    REQUIRE_EQ(app.Caption(), doc);
    Log("shown after " +
        std::to_string(std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - started).count()) +
        " ms");
    DWORD_PTR length = 0;
    SendMessageTimeoutW(app.Editor(), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
    CHECK_EQ(static_cast<std::size_t>(length), bytes.size());
    Select(app, 0, 0);
    app.TypeInEditor(L";");
    Run(app, Command::Save);
    const std::optional<std::string> saved = ReadBytes(doc);
    REQUIRE(saved.has_value());
    CHECK_EQ(saved->size(), bytes.size() + 3);
    CHECK(saved->compare(1, bytes.size(), bytes) == 0);
    OpenThroughDialog(app, doc);
    length = 0;
    SendMessageTimeoutW(app.Editor(), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 10000, &length);
    CHECK_EQ(static_cast<std::size_t>(length), bytes.size() + 3);
}

}  // namespace e2e
