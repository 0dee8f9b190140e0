#include "compile/dos_route.h"

#include <chrono>
#include <cwctype>

namespace {

unsigned Word(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

bool StartsWithMz(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

// The offset of the new (PE or NE) header is the double word at 3Ch.
constexpr std::size_t kNewHeaderOffset = 0x3C;

std::wstring FolderPart(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NamePart(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

bool HasDrive(const std::wstring& path) {
    return path.size() >= 2 && path[1] == L':' && std::iswalpha(path[0]);
}

// "C:\WORK\" -> "C:\WORK"; a drive root keeps its backslash.
std::wstring WithoutTrailingSlash(std::wstring folder) {
    if (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

}  // namespace

bool IsDosExe(std::string_view bytes) {
    if (!StartsWithMz(bytes))
        return false;
    if (bytes.size() < kNewHeaderOffset + 4)
        return true;
    const std::size_t at =
        Word(bytes, kNewHeaderOffset) | static_cast<std::size_t>(Word(bytes, kNewHeaderOffset + 2)) << 16;
    if (at + 2 > bytes.size())
        return true;
    const std::string_view header = bytes.substr(at, 2);
    if (header == "NE")
        return false;
    return !(header == "PE" && at + 4 <= bytes.size() && bytes[at + 2] == 0 && bytes[at + 3] == 0);
}

bool IsDosProgram(std::string_view bytes) {
    return IsDosExe(bytes) || (!bytes.empty() && !StartsWithMz(bytes));
}

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
        } else if (c == L'"') {
            quoted.append(backslashes * 2 + 1, L'\\');
            backslashes = 0;
        } else {
            quoted.append(backslashes, L'\\');
            backslashes = 0;
        }
        if (c != L'\\')
            quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring DosBoxArguments(const DosBoxSession& session) {
    std::vector<std::wstring> commands;
    for (const auto& [drive, folder] : session.mounts) {
        const bool blank = folder.find(L' ') != std::wstring::npos;
        commands.push_back(std::wstring(L"@mount ") + drive + L" " +
                           (blank ? L"\"" + folder + L"\"" : folder));
    }
    commands.push_back(L"@" + session.folder.substr(0, 2));
    commands.push_back(L"@cd " + session.folder.substr(2));
    commands.push_back(session.command);
    // Written after the command, so the program learns that the command has
    // ended while the window stays for the user to read.
    if (!session.doneMarker.empty())
        commands.push_back(L"@echo done>" + session.doneMarker);
    commands.push_back(L"@pause");
    commands.push_back(L"@exit");
    std::wstring arguments;
    for (const std::wstring& command : commands)
        arguments += (arguments.empty() ? L"-c " : L" -c ") + QuoteArgument(command);
    return arguments;
}

std::wstring DrivesNamed(const std::vector<std::wstring>& paths) {
    std::wstring drives;
    for (const std::wstring& path : paths) {
        if (!HasDrive(path))
            continue;
        const wchar_t drive = static_cast<wchar_t>(std::towupper(path[0]));
        if (drives.find(drive) == std::wstring::npos)
            drives += drive;
    }
    return drives;
}

std::vector<std::wstring> DosBoxCandidates(SystemServices& system, const std::wstring& hostRoot) {
    std::vector<std::wstring> candidates;
    const std::wstring path = system.Environment(L"PATH");
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find(L';', start);
        if (end == std::wstring::npos)
            end = path.size();
        std::wstring folder = path.substr(start, end - start);
        if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"')
            folder = folder.substr(1, folder.size() - 2);
        if (!folder.empty())
            candidates.push_back(folder + (folder.back() == L'\\' ? L"" : L"\\") + L"dosbox.exe");
        start = end + 1;
    }
    const wchar_t* const roots[] = {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemDrive"};
    const wchar_t* const installs[] = {L"DOSBox-0.74-3\\DOSBox.exe", L"DOSBox-0.74-2\\DOSBox.exe",
                                       L"DOSBox-0.74\\DOSBox.exe", L"DOSBox-X\\dosbox-x.exe",
                                       L"DOSBox Staging\\dosbox.exe"};
    for (const wchar_t* root : roots) {
        const std::wstring folder = system.Environment(root);
        if (folder.empty())
            continue;
        for (const wchar_t* install : installs)
            candidates.push_back(folder + (folder.back() == L'\\' ? L"" : L"\\") + install);
    }
    if (!hostRoot.empty()) {
        for (const wchar_t* name : {L"dosbox", L"dosbox-x", L"dosbox-staging"}) {
            candidates.push_back(hostRoot + L"usr\\bin\\" + name);
            candidates.push_back(hostRoot + L"usr\\local\\bin\\" + name);
        }
    }
    return candidates;
}

DosRoute::DosRoute(Platform& platform, UserSettings& user, DosHost& host)
    : p_(platform), user_(user), host_(host) {}

std::wstring DosRoute::Find() {
    const std::wstring stored = user_.Path(UserPath::DosBox);
    if (p_.files.FileExists(stored))
        return stored;
    for (const std::wstring& candidate : DosBoxCandidates(p_.system, host_.HostRoot())) {
        if (p_.files.FileExists(candidate))
            return candidate;
    }
    return {};
}

bool DosRoute::Prepare(const SharedSettings& settings) {
    if (host_.StartsDosPrograms())
        return false;
    bool dosTools = false;
    for (const std::wstring* tool : {&settings.tasmPath, &settings.tlinkPath}) {
        SkipOnFailure([&] {
            dosTools = dosTools || (p_.files.FileExists(*tool) && IsDosExe(p_.files.ReadAll(*tool)));
        });
    }
    if (!dosTools)
        return false;
    dosbox_.clear();
    return HaveDosBox(L"The assembler and linker are DOS programs");
}

bool DosRoute::HaveDosBox(const std::wstring& why) {
    if (dosbox_.empty())
        dosbox_ = Find();
    if (!dosbox_.empty())
        return true;
    const int answer =
        p_.messages.Show(why +
                             L", which this computer cannot start by itself. "
                             L"Korveline runs them in DOSBox, but could not find DOSBox here.\r\n\r\n"
                             L"Do you want to locate DOSBox yourself?",
                         kMbYesNo | kMbIconQuestion);
    if (answer != kIdYes)
        return false;
    FileDialogResult chosen;
    const bool shown = SkipOnFailure([&] {
        chosen =
            p_.fileDialogs.ShowOpen({L"DOSBox (dosbox*)|dosbox*|Programs (*.exe)|*.exe|All files (*.*)|*.*",
                                     kOfnFileMustExist | kOfnHideReadOnly, L""});
    });
    if (!shown || chosen.fileName.empty())
        return false;
    dosbox_ = chosen.fileName;
    // Stored for the next builds; a store that fails does not stop this one.
    user_.SetPath(UserPath::DosBox, dosbox_);
    return true;
}

std::wstring DosRoute::HostFolder(wchar_t drive) {
    std::wstring folder = host_.HostFolderOfDrive(drive);
    if (folder.empty())
        throw ProgramError(std::wstring(L"no folder for drive ") + drive);
    return folder;
}

// The name DOSBox knows a file by: its short (8.3) name, or its own when it has none.
std::wstring DosRoute::DosName(const std::wstring& path) {
    const std::wstring shortPath = p_.processes.ShortPath(path);
    return NamePart(shortPath.empty() ? path : shortPath);
}

void DosRoute::StartScript(const BuildState& build,
                           const ScriptParts& script,
                           std::function<void()> onEnded) {
    DosBoxSession session;
    // Every drive a line of the script names; the document's drive holds the script.
    for (wchar_t drive : DrivesNamed(
             {script.documentShortPath, build.batPath, build.outBase, script.tasmPath, script.tlinkPath}))
        session.mounts.emplace_back(drive, HostFolder(drive));
    const std::wstring& document =
        script.documentShortPath.empty() ? build.batPath : script.documentShortPath;
    session.folder = WithoutTrailingSlash(FolderPart(document));
    session.command = L"call " + DosName(build.batPath);
    // A name of its own for each build, so that neither an earlier build's
    // marker nor another window's counts.
    const auto now = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned token = (++serial_ * 2654435761u) ^ now;
    std::wstring marker = L"KV";
    for (int shift = 20; shift >= 0; shift -= 4)
        marker += L"0123456789ABCDEF"[(token >> shift) & 0xF];
    marker += L".END";
    session.doneMarker = session.folder + (session.folder.back() == L'\\' ? L"" : L"\\") + marker;
    host_.WatchFor(build.srcFolder + marker, std::move(onEnded));
    host_.Start(dosbox_, DosBoxArguments(session));
}

bool DosRoute::RunProgram(const std::wstring& program) {
    if (host_.StartsDosPrograms())
        return false;
    // A failure anywhere leaves Run to start the program as it always has.
    return SkipOnFailure([&] {
        if (!p_.files.FileExists(program) || !IsDosProgram(p_.files.ReadAll(program)))
            throw ProgramError(L"not a DOS program");
        if (dosbox_.empty())
            dosbox_ = Find();
        const std::wstring shortPath = p_.processes.ShortPath(program);
        const std::wstring dosPath = shortPath.empty() ? program : shortPath;
        if (dosbox_.empty() || !HasDrive(dosPath))
            throw ProgramError(L"no DOSBox for " + program);
        DosBoxSession session;
        session.mounts.emplace_back(static_cast<wchar_t>(std::towupper(dosPath[0])), HostFolder(dosPath[0]));
        session.folder = WithoutTrailingSlash(FolderPart(dosPath));
        session.command = NamePart(dosPath);
        host_.Start(dosbox_, DosBoxArguments(session));
    });
}

void DosRoute::RunDebugger(const std::wstring& debugger, const std::wstring& program) {
    if (!HaveDosBox(L"The debugger is a DOS program"))
        throw ProgramError(L"no DOSBox to debug in");
    const auto dosPath = [&](const std::wstring& path) {
        const std::wstring shortPath = p_.processes.ShortPath(path);
        return shortPath.empty() ? path : shortPath;
    };
    const std::wstring td = dosPath(debugger), target = dosPath(program);
    if (!HasDrive(td) || !HasDrive(target))
        throw ProgramError(L"no DOS path for " + debugger + L" or " + program);
    DosBoxSession session;
    for (wchar_t drive : DrivesNamed({target, td}))
        session.mounts.emplace_back(drive, HostFolder(drive));
    session.folder = WithoutTrailingSlash(FolderPart(target));
    session.command = td + L" " + NamePart(target);
    host_.Start(dosbox_, DosBoxArguments(session));
}
