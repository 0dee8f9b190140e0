#include "compile/dosbox_session.h"

#include <cwctype>
#include <string_view>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "compile/build_results.h"
#include "compile/file_names.h"

namespace {

// What DOS allows in a name beside ASCII letters and digits. Left out: "%",
// which a batch file expands, and "`".
constexpr std::wstring_view kDosMarks = L"_-!#$&'(){}~@^";

bool IsDosCharacter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
           (c != 0 && kDosMarks.find(c) != std::wstring_view::npos);
}

// A folder as MOUNT takes it. A Windows folder loses its trailing backslash
// but at a drive's root; "%" is doubled because the autoexec is a batch
// file; blanks are quoted (DOSBox's own splitting knows no escapes).
std::wstring MountArgument(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    std::wstring escaped;
    for (wchar_t c : folder) {
        escaped += c;
        if (c == L'%')
            escaped += L'%';
    }
    return folder.find(L' ') == std::wstring::npos ? escaped : L"\"" + escaped + L"\"";
}

std::wstring ShellQuoted(const std::wstring& text) {
    std::wstring quoted = L"'";
    for (wchar_t c : text)
        quoted += c == L'\'' ? std::wstring(L"'\\''") : std::wstring(1, c);
    return quoted + L"'";
}

std::wstring NamePart(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// What each path belongs to, and how the user mends it.
struct Owner {
    const wchar_t* what;
    const wchar_t* fix;
};
constexpr Owner kOwners[] = {
    {L"the document", L"Save it elsewhere or under another name (Save Project As), then build again."},
    {L"the assembler", L"Choose the assembler again in Options > Tasm."},
    {L"the linker", L"Choose the linker again in Options > Tlink."},
    {L"the output", L"Build again and choose another output name or folder."},
    {L"the debugger", L"Choose another with \"Debugger...\" in the editor's right-button menu."},
};

}  // namespace

bool IsDrivePath(const std::wstring& path) {
    return path.size() >= 3 && path[0] < 0x80 && std::iswalpha(path[0]) && path[1] == L':' &&
           path[2] == L'\\';
}

std::wstring DosNameRefusal(DosPathOwner owner, const std::wstring& path) {
    const Owner& o = kOwners[static_cast<int>(owner)];
    if (!IsDrivePath(path))
        return L"DOSBox reaches only files in a folder of a drive, such as C:\\WORK\\HELLO.ASM, and the path "
               L"of " +
               std::wstring(o.what) + L", " + Quoted(path) + L", is not one. " + o.fix;
    const std::wstring name = NamePart(path);
    if (IsDosName(name) && (owner != DosPathOwner::Output || name.find(L'.') == std::wstring::npos))
        return {};
    return L"DOSBox knows a file only by a DOS name: up to eight letters, digits or marks such as _ and -, "
           L"then "
           L"a dot and up to three more, such as HELLO.ASM (folders may have any name). The name of " +
           std::wstring(o.what) + L", " + Quoted(name) + L", is not one. " + o.fix;
}

std::wstring DosFolderRefusal(DosPathOwner owner, const std::wstring& folder) {
    const Owner& o = kOwners[static_cast<int>(owner)];
    return L"DOSBox cannot be given the folder " + Quoted(folder) + L" of " + o.what +
           L": its name holds characters that DOSBox cannot read here. " + o.fix;
}

bool IsDosName(const std::wstring& name) {
    const std::size_t dot = name.find(L'.');
    const std::wstring base = name.substr(0, dot);
    const std::wstring extension = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 ||
        (dot != std::wstring::npos && extension.empty()))
        return false;
    for (wchar_t c : base + extension) {
        if (!IsDosCharacter(c))
            return false;
    }
    return true;
}

wchar_t DriveFor(std::vector<DosDrive>& drives, const std::wstring& key, const std::wstring& hostFolder) {
    for (const DosDrive& drive : drives) {
        if (SameFileName(drive.key, key))
            return drive.letter;
    }
    const auto letter = static_cast<wchar_t>(L'C' + drives.size());
    if (letter >= L'Z')
        return 0;
    drives.push_back({letter, key, hostFolder});
    return letter;
}

std::wstring DosBoxConfig(const std::vector<DosDrive>& drives, const std::vector<std::wstring>& commands) {
    std::wstring text = L"[autoexec]\r\n";
    for (const DosDrive& drive : drives)
        text += std::wstring(L"@mount ") + drive.letter + L" " + MountArgument(drive.hostFolder) + L"\r\n";
    for (const std::wstring& command : commands)
        text += command + L"\r\n";
    return text;
}

std::string DosScriptCopy(const ScriptParts& dosParts, const std::wstring& statusFile) {
    const std::wstring text = BuildScriptText(dosParts);
    const std::size_t first = text.find(L"\r\n"), second = text.find(L"\r\n", first + 2);
    std::wstring copy = text.substr(0, first + 2);
    const auto tool = [&](const wchar_t* name, const std::wstring& path, const std::wstring& line) {
        copy += L"@if not exist " + path + L" echo " + name + L" missing>>" + statusFile + L"\r\n";
        copy += line + L"\r\n";
        copy += L"@if exist " + path + L" if errorlevel 1 echo " + name + L" failed>>" + statusFile + L"\r\n";
    };
    tool(L"tasm", dosParts.tasmPath, text.substr(first + 2, second - first - 2));
    tool(L"tlink", dosParts.tlinkPath, text.substr(second + 2));
    return EncodeCp1251(WinToDos(copy));
}

std::string HostWrapper(const std::wstring& dosboxHostPath,
                        const std::wstring& config,
                        const std::wstring& gone) {
    return Utf8(ShellQuoted(dosboxHostPath) + L" -conf " + config + L"\necho $? >" + gone + L"\n");
}

std::wstring CommandLine(const std::vector<std::wstring>& arguments) {
    std::wstring line;
    for (const std::wstring& argument : arguments) {
        if (!line.empty())
            line += L' ';
        const bool blank = argument.empty() || argument.find_first_of(L" \t") != std::wstring::npos;
        line += blank ? L"\"" + argument + L"\"" : argument;
    }
    return line;
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are doubled only before a quote, the closing one included.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::string Utf8(const std::wstring& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<std::uint32_t>(text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
            continue;
        }
        const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        constexpr unsigned kLead[] = {0, 0xC0, 0xE0, 0xF0};
        bytes += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
        for (int n = tail - 1; n >= 0; --n)
            bytes += static_cast<char>(0x80 | ((c >> (6 * n)) & 0x3F));
    }
    return bytes;
}

DosOutcome ReadDosOutcome(bool scriptEnded, const std::string& status, int exitStatus, bool wrapped) {
    DosOutcome outcome;
    if (!scriptEnded) {
        outcome.end = DosEnd::DosBoxEnded;
        if (wrapped && (exitStatus == 126 || exitStatus == 127)) {
            outcome.end = DosEnd::DosBoxNotStarted;
            outcome.startError = exitStatus == 126 ? 5 : 2;  // access denied, file not found
            return outcome;
        }
    }
    const std::pair<const char*, bool DosOutcome::*> notes[] = {{"tasm missing", &DosOutcome::tasmMissing},
                                                                {"tasm failed", &DosOutcome::tasmFailed},
                                                                {"tlink missing", &DosOutcome::tlinkMissing},
                                                                {"tlink failed", &DosOutcome::tlinkFailed}};
    for (const auto& [note, flag] : notes)
        outcome.*flag = status.find(note) != std::string::npos;
    return outcome;
}

void AddDosOutcomeRows(BuildResults& results, const DosOutcome& outcome) {
    if (outcome.end == DosEnd::DosBoxNotStarted) {
        results.worthShowing = false;
        return;
    }
    std::vector<ResultRow> rows;
    const auto row = [&rows](const std::wstring& text) { rows.push_back({L"DOSBox", L"", text, 0}); };
    if (outcome.end == DosEnd::DosBoxEnded)
        row(L"The build did not finish in DOSBox: DOSBox ended before the build script did.");
    const auto tool = [&row](const wchar_t* what, const std::wstring& path, bool missing, bool failed) {
        if (missing)
            row(std::wstring(L"The ") + what + L" " + path + L" was not found in DOSBox.");
        if (failed)
            row(std::wstring(L"The ") + what +
                L" reported a failure; its messages are in the DOSBox window.");
    };
    tool(L"assembler", outcome.tasmPath, outcome.tasmMissing, outcome.tasmFailed);
    tool(L"linker", outcome.tlinkPath, outcome.tlinkMissing, outcome.tlinkFailed);
    results.rows.insert(results.rows.begin(), rows.begin(), rows.end());
    results.worthShowing = results.worthShowing || !rows.empty();
}
