// A file named on the command line opens at start-up; the whole command line
// is that one path.
#include "driver/program.h"

namespace e2e {
namespace {

// "Привет, мир" in Windows-1251.
const std::string kCyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0";

}  // namespace

E2E_TEST(CommandLine, NamedFileOpensWithItsLinesEndedByCrLf) {
    const std::wstring path = WorkFolder() + L"\\my sources\\hello world.asm";
    // Cyrillic bytes, a lone CR (ends a line), a lone LF (stays inside its
    // line), an empty line and no line end after the last line.
    WriteBytes(path, "; " + kCyrillic + "\r\nmov ax, 1\rmov bx, 2\nint 21h\r\n\r\nend");
    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    const std::string rebuilt = "; " + kCyrillic + "\r\nmov ax, 1\r\nmov bx, 2\nint 21h\r\n\r\nend\r\n";
    CHECK_EQ(app.EditorText(), DecodeWindows1251(rebuilt));
    CHECK_EQ(app.EditorText().substr(2, 6), L"\x41f\x440\x438\x432\x435\x442");

    // The document counts as unchanged: closing asks nothing and writes nothing.
    app.Close();
    CHECK(app.WaitForExit());
    CHECK_EQ(ReadBytes(path),
             std::optional<std::string>("; " + kCyrillic + "\r\nmov ax, 1\rmov bx, 2\nint 21h\r\n\r\nend"));
}

E2E_TEST(CommandLine, EmptyFileWithACyrillicNameOpensAsAnEmptyDocument) {
    const std::wstring path = WorkFolder() + L"\\\x43f\x443\x441\x442\x43e.asm";  // "пусто.asm"
    WriteBytes(path, "");
    Program app = Program::Start(path);
    CHECK_EQ(app.Caption(), path);
    CHECK_EQ(app.EditorText(), L"");
}

E2E_TEST(CommandLine, ACommandLineThatIsNotOneExistingPathLoadsNothing) {
    const std::wstring path = WorkFolder() + L"\\prog.asm";
    WriteBytes(path, "mov ax, 1\r\n");
    const std::wstring commandLines[] = {
        L"\"" + path + L"\"",  // quoted: the quotes are part of the path
        path + L" /x",         // followed by more words
        WorkFolder() + L"\\no such file.asm",
    };
    for (const std::wstring& commandLine : commandLines) {
        Program app = Program::Start(commandLine);
        CHECK_EQ(app.Caption(), L" asm");
        CHECK_EQ(app.EditorText(), L"");
        CHECK(!app.FindMessageBox());
    }
}

}  // namespace e2e
