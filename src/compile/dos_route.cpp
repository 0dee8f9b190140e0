// The DOSBox route: whether a build goes through DOSBox, the drives and the
// script copy it gets, and Run and Debug there. Finding DOSBox is in
// dos_route_dosbox.cpp.
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

}  // namespace

DosRoute::DosRoute(Platform& platform, UserSettings& user, DosHost& host)
    : p_(platform), user_(user), host_(host) {}

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
    if (!EnsureDosBox(L"The assembler and linker are DOS programs"))
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
        throw ProgramError(L"no ANSI form of " + config);
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

void DosRoute::StartScript(const BuildState& build,
                           const ScriptParts& script,
                           std::function<void(const DosOutcome&)> onEnded) {
    DosSession session;
    try {
        const std::wstring name = NewToken();
        // The document's folder is C:, where the script runs; every other folder a drive of its own.
        // A missing tool's folder may have no drive: Y:, never mounted, names it.
        std::vector<DosDrive> drives;
        const auto on = [&](const std::wstring& path, bool tool = false) {
            const wchar_t drive = Drive(drives, FolderPart(path));
            if (!drive && !tool)
                throw ProgramError(L"no drive for " + path);
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
    } catch (const Failure&) {
        throw;
    } catch (const std::exception&) {
        throw ProgramError(L"the build through DOSBox");  // out of memory, or worse
    }
    {
        std::lock_guard<std::mutex> guard(lock_);
        notStarted_ = 0;
    }
    session.ended = [this, host = dosbox_.host, tasm = tasm_, tlink = tlink_,
                     onEnded = std::move(onEnded)](const DosSessionEnd& end) {
        DosOutcome outcome = ReadDosOutcome(end.scriptEnded, end.status, end.exitStatus, host);
        outcome.tasmPath = tasm, outcome.tlinkPath = tlink;
        if (outcome.end == DosEnd::DosBoxNotStarted) {
            std::lock_guard<std::mutex> guard(lock_);
            notStarted_ = outcome.startError;
        }
        if (onEnded)
            onEnded(outcome);
    };
    try {
        host_.Start(std::move(session));
    } catch (const PlatformError& error) {
        ShowNotStarted(error.Code());
        throw ProgramError(L"DOSBox did not start");  // said: the build ends here
    }
}

void DosRoute::SayIfNotStarted() {
    std::uint32_t code = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::swap(code, notStarted_);
    }
    if (code)
        ShowNotStarted(code);
}

void DosRoute::ShowNotStarted(std::uint32_t code) {
    p_.messages.Show(
        L"DOSBox could not be started: " + dosbox_.path + L"\r\n\r\n" + p_.system.ErrorText(code),
        kMbOk | kMbIconStop);
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

void DosRoute::RunDebugger(const std::wstring& debugger, const std::wstring& program) {
    if (!EnsureDosBox(L"The debugger is a DOS program"))
        throw ProgramError(L"no DOSBox to debug in");
    std::vector<DosDrive> drives;
    std::wstring refusal = DosNameRefusal(DosPathOwner::Output, program.substr(0, program.rfind(L'.')));
    if (refusal.empty() && !IsDosName(NamePart(program)))
        refusal = DosNameRefusal(DosPathOwner::Output, program);
    if (refusal.empty())
        refusal = DosNameRefusal(DosPathOwner::Debugger, debugger);
    const std::wstring folder = FolderPart(program);
    if (refusal.empty() && !Drive(drives, folder))
        refusal = DosFolderRefusal(DosPathOwner::Output, folder);
    const wchar_t td = refusal.empty() ? Drive(drives, FolderPart(debugger)) : 0;
    if (refusal.empty() && !td)
        refusal = DosFolderRefusal(DosPathOwner::Debugger, FolderPart(debugger));
    if (Refuse(refusal))
        throw ProgramError(L"no DOS name for " + debugger + L" or " + program);
    DosSession session =
        Planned(WorkFolder(folder), NewToken(), drives,
                {L"@C:", std::wstring(L"@") + td + L":\\" + NamePart(debugger) + L" " + NamePart(program),
                 L"@pause", L"@exit"},
                DosSession{});
    try {
        host_.Start(std::move(session));
    } catch (const PlatformError& error) {
        ShowNotStarted(error.Code());
        throw ProgramError(L"DOSBox did not start");
    }
}
