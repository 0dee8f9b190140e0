#include "compile/debugger.h"

#include "compile/dos_route.h"

namespace {

// The folder part of a path with its trailing backslash; empty when it has none.
std::wstring FolderOf(const std::wstring& path) {
    const auto cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

constexpr std::size_t kNewHeaderOffset = 0x3C;

// "MZ" and, at the offset its header names, "PE\0\0": a Windows program. The
// tools link 32-bit ones; whatever else a PE holds is the debugger's to say.
bool IsWindowsProgram(std::string_view bytes) {
    if (bytes.size() < kNewHeaderOffset + 4 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    std::size_t at = 0;
    for (int i = 3; i >= 0; --i)
        at = at << 8 | static_cast<unsigned char>(bytes[kNewHeaderOffset + i]);
    return at <= bytes.size() && bytes.size() - at >= 4 &&
           bytes.substr(at, 4) == std::string_view("PE\0\0", 4);
}

}  // namespace

std::optional<DebuggerKind> DebuggerFor(std::string_view programBytes) {
    if (IsDosProgram(programBytes))
        return DebuggerKind::Dos;
    if (IsWindowsProgram(programBytes))
        return DebuggerKind::Windows32;
    return std::nullopt;
}

const wchar_t* DebuggerName(DebuggerKind kind) {
    return kind == DebuggerKind::Dos ? L"TD.EXE" : L"TD32.EXE";
}

UserPath DebuggerSetting(DebuggerKind kind) {
    return kind == DebuggerKind::Dos ? UserPath::Debugger16 : UserPath::Debugger32;
}

std::vector<std::wstring> DebuggerCandidates(DebuggerKind kind,
                                             const std::wstring& chosen,
                                             const SharedSettings& settings) {
    std::vector<std::wstring> candidates;
    if (!chosen.empty())
        candidates.push_back(chosen);
    for (const std::wstring* tool : {&settings.tasmPath, &settings.tlinkPath}) {
        const std::wstring folder = FolderOf(*tool);
        if (!folder.empty())
            candidates.push_back(folder + DebuggerName(kind));
    }
    return candidates;
}

DebugLaunch DebugLaunchFor(const std::wstring& programPath) {
    std::wstring folder = FolderOf(programPath);
    const std::wstring name = programPath.substr(folder.size());
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();  // "C:\WORK\" -> "C:\WORK"; a drive root keeps its backslash
    return {folder, name};
}

std::wstring Debugging::Found(DebuggerKind kind, const SharedSettings& settings) {
    for (const std::wstring& candidate :
         DebuggerCandidates(kind, user_.Path(DebuggerSetting(kind)), settings)) {
        if (p_.files.FileExists(candidate))
            return candidate;
    }
    return {};
}

// The Open dialog for a debugger; the file chosen is kept for the kind of
// program it debugs, whatever its name.
std::wstring Debugging::Locate(DebuggerKind kind) {
    FileDialogResult chosen;
    SkipOnFailure([&] {
        chosen = p_.fileDialogs.ShowOpen(
            {std::wstring(L"Debuggers (td*.exe)|td*.exe|Programs (*.exe)|*.exe|All files (*.*)|*.*"),
             kOfnFileMustExist | kOfnHideReadOnly, DebuggerName(kind)});
    });
    if (chosen.fileName.empty())
        return {};
    std::optional<DebuggerKind> debugs;
    SkipOnFailure([&] { debugs = DebuggerFor(p_.files.ReadAll(chosen.fileName)); });
    if (!debugs) {
        p_.messages.Show(chosen.fileName + L" is not a program Korveline can start as a debugger.",
                         kMbOk | kMbIconStop);
        return {};
    }
    user_.SetPath(DebuggerSetting(*debugs), chosen.fileName);
    return *debugs == kind ? chosen.fileName : std::wstring();
}

void Debugging::Debug(const std::wstring& program, const SharedSettings& settings) {
    std::optional<DebuggerKind> kind;
    try {
        kind = DebuggerFor(p_.files.ReadAll(program));
    } catch (const PlatformError& error) {
        p_.messages.Show(
            L"Korveline cannot debug " + program + L":\r\n\r\n" + p_.system.ErrorText(error.Code()),
            kMbOk | kMbIconStop);
        return;
    }
    if (!kind) {
        p_.messages.Show(L"Korveline has no debugger for " + program +
                             L": TD.EXE debugs DOS programs, TD32.EXE 32-bit Windows programs.",
                         kMbOk | kMbIconInformation);
        return;
    }
    const std::wstring name = DebuggerName(*kind);
    std::wstring debugger = Found(*kind, settings);
    bool& declined = declined_[*kind == DebuggerKind::Dos ? 0 : 1];
    if (debugger.empty() && declined) {
        p_.messages.Show(name +
                             L" was found neither beside the assembler nor beside the linker. Choose it with "
                             L"\"Debugger...\" in the editor's right-button menu.",
                         kMbOk | kMbIconInformation);
        return;
    }
    if (debugger.empty()) {
        const int answer =
            p_.messages.Show(L"Korveline debugs this program with " + name +
                                 L", but found it neither beside the assembler nor beside the linker.\r\n\r\n"
                                 L"Do you want to locate " +
                                 name + L" yourself?",
                             kMbYesNo | kMbIconQuestion);
        declined = answer != kIdYes;
        if (declined || (debugger = Locate(*kind)).empty())
            return;
    }
    try {
        if (*kind == DebuggerKind::Dos && dosRoute_.NeedsDosBox()) {
            dosRoute_.RunDebugger(debugger, program);
            return;
        }
        const std::wstring shortPath = p_.processes.ShortPath(program);
        const DebugLaunch launch = DebugLaunchFor(shortPath.empty() ? program : shortPath);
        p_.processes.StartIn(debugger, QuoteArgument(launch.program), launch.folder);
    } catch (const PlatformError& error) {
        p_.messages.Show(L"The debugger could not be started:\r\n" + debugger + L"\r\n\r\n" +
                             p_.system.ErrorText(error.Code()),
                         kMbOk | kMbIconStop);
    } catch (const ProgramError&) {
        // No DOSBox to debug in: the user was asked and declined.
    }
}

void Debugging::Choose(const SharedSettings& settings) {
    const auto inUse = [&](DebuggerKind kind) {
        const std::wstring found = Found(kind, settings);
        return found.empty() ? std::wstring(L"not found") : found;
    };
    const int answer = p_.messages.Show(
        L"Debug starts:\r\n\r\nfor DOS programs: " + inUse(DebuggerKind::Dos) +
            L"\r\nfor 32-bit Windows programs: " + inUse(DebuggerKind::Windows32) +
            L"\r\n\r\nYes chooses another debugger. No forgets the ones you chose, so that Korveline "
            L"looks beside the assembler and the linker again. Cancel keeps them.",
        kMbYesNoCancel | kMbIconQuestion);
    if (answer == kIdYes) {
        Locate(DebuggerKind::Dos);
        declined_[0] = declined_[1] = false;
    } else if (answer == kIdNo) {
        user_.ForgetPath(UserPath::Debugger16);
        user_.ForgetPath(UserPath::Debugger32);
    }
}
