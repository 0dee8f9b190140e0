#include "compile/dos_route.h"

#include <chrono>

#include "compile/build_results.h"

namespace {

std::wstring FolderPart(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring NamePart(const std::wstring& path) {
    return path.substr(path.find_last_of(L'\\') + 1);
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

constexpr unsigned kMbIconQuestion = 0x20;
const wchar_t kDosBoxFilter[] = L"DOSBox (dosbox*)|dosbox*|Programs (*.exe)|*.exe|All files (*.*)|*.*";

}  // namespace

DosRoute::DosRoute(Platform& platform, UserSettings& user, DosHost& host, std::function<void()> notifyEnded)
    : p_(platform), user_(user), host_(host), notifyEnded_(std::move(notifyEnded)) {}

// A Windows program, or under Wine a host program (started through the host's shell).
bool DosRoute::Usable(const std::wstring& path, Found& found) {
    try {
        if (!p_.files.FileExists(path))
            return false;
        const std::string bytes = p_.files.ReadAll(path);
        const bool host = IsHostProgram(bytes) && !host_.FromHostPath(L"/bin/sh").empty() &&
                          !host_.ToHostPath(path).empty();
        if (!host && !IsWindowsProgram(bytes))
            return false;
        found = {path, host};
        return true;
    } catch (const PlatformError&) {
        return false;
    }
}

DosRoute::Found DosRoute::Find() {
    Found found;
    if (Usable(user_.Path(UserPath::DosBox), found))
        return found;
    for (const std::wstring& candidate : DosBoxCandidates(p_.system, host_)) {
        if (Usable(candidate, found))
            return found;
    }
    return {};
}

// The Open dialog until a program is chosen (and kept for the next builds)
// or the dialog is cancelled.
bool DosRoute::Locate() {
    for (;;) {
        FileDialogResult chosen;
        const bool shown = SkipOnFailure([&] {
            chosen = p_.fileDialogs.ShowOpen({kDosBoxFilter, kOfnFileMustExist | kOfnHideReadOnly, L""});
        });
        if (!shown || chosen.fileName.empty())
            return false;
        if (Usable(chosen.fileName, dosbox_)) {
            declined_ = false;
            // A store that fails does not stop this build.
            user_.SetPath(UserPath::DosBox, dosbox_.path);
            return true;
        }
        p_.messages.Show(chosen.fileName +
                             L" is not a program. Choose DOSBox itself: dosbox.exe, or under Linux "
                             L"the dosbox program.",
                         kMbOk | kMbIconStop);
    }
}

bool DosRoute::EnsureDosBox() {
    if (!dosbox_.path.empty() && p_.files.FileExists(dosbox_.path))
        return true;
    dosbox_ = Find();
    if (!dosbox_.path.empty())
        return true;
    if (declined_)
        return false;
    const int answer = p_.messages.Show(
        L"The assembler and linker are DOS programs, which this computer cannot start by itself. "
        L"Korveline runs them in DOSBox, but could not find DOSBox here.\r\n\r\n"
        L"Do you want to locate DOSBox yourself?",
        kMbYesNo | kMbIconQuestion);
    if (answer != kIdYes) {
        declined_ = true;
        return false;
    }
    return Locate();
}

bool DosRoute::Refuse(const std::wstring& refusal) {
    if (refusal.empty())
        return false;
    p_.messages.Show(refusal, kMbOk | kMbIconStop);
    return true;
}

// What DOSBox mounts for a Windows folder; empty when DOSBox cannot be given it.
// A host DOSBox takes the Unix folder. A Windows DOSBox reads its configuration
// in the ANSI code page: a folder with other characters goes by its short
// name, when it has one that is plain ASCII.
std::wstring DosRoute::MountFolder(const std::wstring& folder) {
    std::wstring mount;
    if (dosbox_.host) {
        mount = host_.ToHostPath(folder);
    } else {
        mount = folder;
        const std::wstring shortPath = IsAscii(folder) ? std::wstring() : p_.processes.ShortPath(folder);
        if (!shortPath.empty() && IsAscii(shortPath))
            mount = shortPath;
        if (!host_.AnsiText(mount))
            mount.clear();
    }
    for (wchar_t c : mount) {  // a line of the configuration, and a quoted argument in it
        if (c < 0x20 || c == L'"')
            return {};
    }
    return mount;
}

wchar_t DosRoute::Drive(std::vector<DosDrive>& drives, const std::wstring& folder) {
    const std::wstring mount = MountFolder(folder);
    const std::wstring shortPath = p_.processes.ShortPath(folder);
    return mount.empty() ? 0 : DriveFor(drives, shortPath.empty() ? folder : shortPath, mount);
}

// The session's own files go to the user's temporary folder, or beside the document.
std::wstring DosRoute::WorkFolder(const std::wstring& fallback) {
    for (const wchar_t* name : {L"TEMP", L"TMP"}) {
        std::wstring folder = p_.system.Environment(name);
        if (!IsDrivePath(folder))
            continue;
        if (folder.back() != L'\\')
            folder += L'\\';
        if (!MountFolder(folder).empty())
            return folder;
    }
    return fallback;
}

DosRoute::Way DosRoute::Prepare(const SharedSettings& settings, const std::wstring& documentPath) {
    pending_ = false;  // a new build: an earlier script's end no longer counts
    try {
        return Decide(settings, documentPath);
    } catch (const std::exception&) {
        return Way::Refused;  // out of memory, or worse: the command ends
    }
}

DosRoute::Way DosRoute::Decide(const SharedSettings& settings, const std::wstring& documentPath) {
    if (host_.StartsDosPrograms())
        return Way::Direct;
    bool dosTools = false;
    for (const std::wstring* tool : {&settings.tasmPath, &settings.tlinkPath}) {
        SkipOnFailure([&] {
            dosTools = dosTools || (p_.files.FileExists(*tool) && IsDosExe(p_.files.ReadAll(*tool)));
        });
    }
    if (!dosTools)
        return Way::Direct;
    // Names first: no question about DOSBox for a build it could not run.
    if (Refuse(DosNameRefusal(DosPathOwner::Document, documentPath)) ||
        Refuse(DosNameRefusal(DosPathOwner::Assembler, settings.tasmPath)) ||
        Refuse(DosNameRefusal(DosPathOwner::Linker, settings.tlinkPath)))
        return Way::Refused;
    if (!EnsureDosBox())
        return Way::Direct;
    const std::pair<DosPathOwner, std::wstring> folders[] = {
        {DosPathOwner::Document, FolderPart(documentPath)},
        {DosPathOwner::Assembler, FolderPart(settings.tasmPath)},
        {DosPathOwner::Linker, FolderPart(settings.tlinkPath)}};
    for (const auto& [owner, folder] : folders) {
        // A tool that is missing is said missing by the script in DOSBox, as by the script without it.
        const std::wstring& tool = owner == DosPathOwner::Assembler ? settings.tasmPath : settings.tlinkPath;
        if (owner != DosPathOwner::Document && !p_.files.FileExists(tool))
            continue;
        if (MountFolder(folder).empty() && Refuse(DosFolderRefusal(owner, folder)))
            return Way::Refused;
    }
    document_ = documentPath, tasm_ = settings.tasmPath, tlink_ = settings.tlinkPath;
    work_ = WorkFolder(FolderPart(documentPath));
    return Way::DosBox;
}

bool DosRoute::AcceptOutput(const std::wstring& outFolder, const std::wstring& outBase) {
    try {
        outBase_ = IsDrivePath(FolderPart(outBase)) ? outBase : outFolder + NamePart(outBase);
        const std::wstring folder = FolderPart(outBase_);
        std::wstring refusal = DosNameRefusal(DosPathOwner::Output, outBase_);
        if (refusal.empty() && MountFolder(folder).empty())
            refusal = DosFolderRefusal(DosPathOwner::Output, folder);
        return !Refuse(refusal);
    } catch (const std::exception&) {
        return false;
    }
}

// A name of its own for each session ("KV" and six hex digits, a DOS name),
// so that neither an earlier session's files nor another window's count.
std::wstring DosRoute::NewToken() {
    const auto now = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned token = (++tokens_ * 2654435761u) ^ now;
    std::wstring name = L"KV";
    for (int shift = 20; shift >= 0; shift -= 4)
        name += L"0123456789ABCDEF"[(token >> shift) & 0xF];
    return name;
}

// Writes the configuration (and under Wine the shell script that starts a
// host DOSBox) to the work folder, and says how to start and watch it.
DosSession DosRoute::Planned(const std::wstring& work,
                             const std::wstring& token,
                             const std::vector<DosDrive>& drives,
                             const std::vector<std::wstring>& commands,
                             DosSession session) {
    const std::wstring config = token + L".CNF", configText = DosBoxConfig(drives, commands);
    const auto ansi = dosbox_.host ? std::nullopt : host_.AnsiText(configText);
    if (!dosbox_.host && !ansi)
        throw PlatformError(L"no ANSI form of " + config, 0);
    p_.files.WriteAll(work + config, dosbox_.host ? Utf8(configText) : *ansi);
    session.folder = work;
    session.workFiles.push_back(work + config);
    if (dosbox_.host) {
        // No handle of a host program can be waited on under Wine: the shell
        // that starts DOSBox writes its end.
        const std::wstring wrapper = token + L".SH", gone = token + L".GON";
        p_.files.WriteAll(work + wrapper, HostWrapper(host_.ToHostPath(dosbox_.path), config, gone));
        session.commandLine = CommandLine({host_.FromHostPath(L"/bin/sh"), wrapper});
        session.goneMarker = work + gone;
        session.workFiles.push_back(work + wrapper);
        session.workFiles.push_back(session.goneMarker);
    } else {
        session.commandLine = CommandLine({dosbox_.path, L"-conf", config});
    }
    return session;
}

void DosRoute::StartScript(BuildState& build,
                           const ScriptParts& script,
                           const std::wstring& extension,
                           bool com,
                           std::function<void()> onEnded) {
    DosSession session;
    try {
        const std::wstring name = NewToken();
        // The document's folder is C:, where the script runs; every other folder a drive of its own.
        std::vector<DosDrive> drives;
        // A missing tool's folder may have no drive: Y:, never mounted, names it.
        const auto on = [&](const std::wstring& path, bool tool = false) {
            wchar_t drive = Drive(drives, FolderPart(path));
            if (!drive && !tool)
                throw PlatformError(L"no drive for " + path, 0);
            return std::wstring(1, drive ? drive : L'Y') + L":\\" + NamePart(path);
        };
        ScriptParts dos = script;
        dos.documentShortPath = on(document_);
        dos.outBase = on(build.outBase);
        dos.tasmPath = on(script.tasmPath, true);
        dos.tlinkPath = on(script.tlinkPath, true);
        const std::wstring onWork = on(work_ + name);
        const std::wstring copy = work_ + name + L".BAT", status = work_ + name + L".STA";
        p_.files.WriteAll(copy, DosScriptCopy(dos, onWork + L".STA"));
        session.endMarker = work_ + name + L".END";
        session.statusFile = status;
        session.workFiles = {copy, status, session.endMarker};
        session = Planned(work_, name, drives,
                          {L"@" + dos.documentShortPath.substr(0, 2), L"@call " + onWork + L".BAT",
                           L"@echo done>" + onWork + L".END", L"@pause", L"@exit"},
                          std::move(session));
    } catch (const PlatformError&) {
        throw;
    } catch (const std::exception&) {
        throw PlatformError(L"the build through DOSBox", 0);  // out of memory, or worse
    }
    session.ended = [this, serial = ++serial_, onEnded = std::move(onEnded)](const DosSessionEnd& end) {
        {
            std::lock_guard<std::mutex> guard(endLock_);
            ended_ = end;
            endedSerial_ = serial;
        }
        if (onEnded)
            onEnded();
        notifyEnded_();
    };
    try {
        host_.Start(std::move(session));
    } catch (const PlatformError& error) {
        ShowNotStarted(error.Code());
        return;
    }
    pending_ = true;
    pendingExtension_ = extension;
    pendingCom_ = com;
}

void DosRoute::ShowNotStarted(std::uint32_t code) {
    p_.messages.Show(
        L"DOSBox could not be started: " + dosbox_.path + L"\r\n\r\n" + p_.system.ErrorText(code),
        kMbOk | kMbIconStop);
}

void DosRoute::ScriptEnded(BuildState& build, MainWindowView& view, BuildResults* results) {
    if (!pending_)
        return;
    DosSessionEnd end;
    {
        std::lock_guard<std::mutex> guard(endLock_);
        if (endedSerial_ != serial_)
            return;
        end = ended_;
    }
    pending_ = false;
    try {
        const DosOutcome outcome = ReadDosOutcome(end.scriptEnded, end.status, end.exitStatus, dosbox_.host);
        if (outcome.end == DosEnd::DosBoxNotStarted) {
            if (results)
                results->worthShowing = false;  // the message says it all
            ShowNotStarted(outcome.startError);
            return;
        }
        const bool found = p_.files.FileExists(build.outBase + pendingExtension_);
        if (found)
            view.SetRunEnabled(true);
        build.lastBuildCom = (pendingCom_ && found) ? 1 : 0;
        if (results)
            AddDosOutcomeRows(*results, outcome, tasm_, tlink_);
    } catch (const std::exception&) {
        // Run stays as it was; the results say what they can.
    }
}

bool DosRoute::RunProgram(const std::wstring& program) {
    if (host_.StartsDosPrograms())
        return false;
    // A failure anywhere leaves Run to start the program as it always has.
    try {
        if (!IsDrivePath(program) || !IsDosName(NamePart(program)) || !p_.files.FileExists(program) ||
            !IsDosProgram(p_.files.ReadAll(program)))
            return false;
        if (dosbox_.path.empty() || !p_.files.FileExists(dosbox_.path))
            dosbox_ = Find();
        std::vector<DosDrive> drives;
        if (dosbox_.path.empty() || !Drive(drives, FolderPart(program)))
            return false;
        host_.Start(Planned(WorkFolder(FolderPart(program)), NewToken(), drives,
                            {L"@C:", L"@" + NamePart(program), L"@pause", L"@exit"}, DosSession{}));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void DosRoute::ChooseDosBox() {
    try {
        const std::wstring stored = user_.Path(UserPath::DosBox);
        const Found inUse = Find();
        std::wstring text;
        unsigned style = kMbYesNo | kMbIconQuestion;
        if (!stored.empty()) {
            style = kMbYesNoCancel | kMbIconQuestion;
            text = inUse.path == stored
                       ? L"Korveline runs DOS tools in the DOSBox you chose:\r\n\r\n" + stored
                       : L"The DOSBox you chose, " + stored + L", is missing or not a program." +
                             (inUse.path.empty()
                                  ? L""
                                  : L" Korveline runs DOS tools in the one it found: " + inUse.path + L".");
            text +=
                L"\r\n\r\nDo you want to choose another one? No forgets your choice, and Korveline looks "
                L"for DOSBox itself again.";
        } else if (!inUse.path.empty()) {
            text = L"Korveline runs DOS tools in the DOSBox it found:\r\n\r\n" + inUse.path +
                   L"\r\n\r\nDo you want to choose another one?";
        } else {
            text =
                L"Korveline has found no DOSBox, in which it runs DOS tools that this computer cannot start "
                L"by itself.\r\n\r\nDo you want to locate DOSBox?";
        }
        const int answer = p_.messages.Show(text, style);
        if (answer == kIdYes) {
            Locate();
        } else if (answer == kIdNo && !stored.empty()) {
            user_.ForgetPath(UserPath::DosBox);
            dosbox_ = {};
            declined_ = false;
        }
    } catch (const std::exception&) {
        // Nothing chosen, nothing changed.
    }
}
