#include "compile/build_session.h"

#include <array>
#include <mutex>
#include <new>

#include "codepage/cp1251.h"
#include "codepage/recode.h"
#include "compile/build_script.h"
#include "compile/script_names.h"

namespace {

// What tells the four build kinds apart; everything else is one procedure.
struct BuildKindRow {
    BuildKind kind;
    std::wstring SharedSettings::*asmSwitches;
    std::wstring SharedSettings::*linkSwitches;
    const wchar_t* filter;
    const wchar_t* extension;
    bool com;  // a COM kind records in lastBuildCom whether its output was found
};

const wchar_t kExeFilter[] = L"Excutable files(*.exe)|*.exe";
const wchar_t kComFilter[] = L"Command files(*.com)|*.com";

const std::array<BuildKindRow, 4> kBuildKinds = {{
    {BuildKind::Exe16, &SharedSettings::opt16EXETasm, &SharedSettings::opt16EXETlink, kExeFilter, L".exe",
     false},
    {BuildKind::Exe32, &SharedSettings::opt32EXETasm, &SharedSettings::opt32EXETlink, kExeFilter, L".exe",
     false},
    {BuildKind::Com16, &SharedSettings::opt16COMTasm, &SharedSettings::opt16COMTlink, kComFilter, L".com",
     true},
    {BuildKind::Com32, &SharedSettings::opt32COMTasm, &SharedSettings::opt32COMTlink, kComFilter, L".com",
     true},
}};

const BuildKindRow& RowOf(BuildKind kind) {
    for (const BuildKindRow& row : kBuildKinds) {
        if (row.kind == kind)
            return row;
    }
    return kBuildKinds[0];
}

// The save dialog asks before overwriting and hides the read-only box.
constexpr long kOutputDialogFlags = kOfnOverwritePrompt | kOfnHideReadOnly;

// Both tools unset (or missing) gets one message; otherwise the first empty
// path is named. A path that is set but names a missing file passes when the
// other tool exists: the script's own console shows that failure.
bool ToolsConfigured(const SharedSettings& s, Platform& p) {
    if (!p.files.FileExists(s.tasmPath) && !p.files.FileExists(s.tlinkPath)) {
        p.messages.Show(L"Attune your tasm and tlink in Options...", kMbOk | kMbIconInformation);
        return false;
    }
    if (s.tasmPath.empty()) {
        p.messages.Show(L"Choose tasm in Options... > Tasm.", kMbOk);
        return false;
    }
    if (s.tlinkPath.empty()) {
        p.messages.Show(L"Choose tlink in Options... > Tlink.", kMbOk);
        return false;
    }
    return true;
}

void ReportUnwritable(Platform& p, const std::wstring& path, const PlatformError& error) {
    p.messages.Show(L"The build could not write " + path + L".\r\n\r\n" + p.system.ErrorText(error.Code()),
                    kMbOk | kMbIconStop);
}

}  // namespace

struct BuildSession::Ended {
    std::mutex lock;
    unsigned latest = 0;      // the number of the latest build that passed the tool check
    unsigned endedBuild = 0;  // the build whose script was last seen to end
    std::optional<BuildResults> results;
};

BuildSession::BuildSession(Platform& platform,
                           UserSettings& user,
                           DosHost& dosHost,
                           std::function<void()> notifyEnded)
    : p_(platform),
      dosRoute_(platform, user, dosHost),
      debugging_(platform, user, dosRoute_),
      notifyEnded_(std::move(notifyEnded)),
      ended_(std::make_shared<Ended>()) {}

BuildSession::~BuildSession() = default;

void BuildSession::Build(BuildKind kind,
                         const SharedSettings& settings,
                         Document& document,
                         CommonDialog& dialog) {
    if (!ToolsConfigured(settings, p_))
        return;  // an earlier build's results stay as they were
    const bool viaDosBox = dosRoute_.Prepare(settings);
    unsigned build = 0;
    {
        std::lock_guard<std::mutex> guard(ended_->lock);
        build = ++ended_->latest;  // from now on an earlier build's end no longer counts
        ended_->results.reset();
    }
    pendingTest_.reset();
    state_.runEnabled = false;
    try {
        WriteAndStart(kind, settings, document, dialog, build, viaDosBox);
    } catch (const std::bad_alloc&) {
        p_.messages.Show(L"The build stopped: there is not enough memory.", kMbOk | kMbIconStop);
    }
}

// Until the save dialog, a file that cannot be written is reported and ends
// the command before anything more is written; from the dialog on, every
// failure ends the command silently: what was written stays, Run stays
// disabled.
void BuildSession::WriteAndStart(BuildKind kind,
                                 const SharedSettings& s,
                                 Document& document,
                                 CommonDialog& dialog,
                                 unsigned build,
                                 bool viaDosBox) {
    const BuildKindRow& row = RowOf(kind);
    const std::wstring documentPath = document.Path();
    if (GetFileName(documentPath).size() < 4) {
        // The script and the output are named after the document less its
        // last four characters; a shorter name has no four to cut. A name of
        // exactly four builds, with an empty base name (the script is ".bat").
        p_.messages.Show(
            L"The document's name is too short to build. Save it under a name of four characters or "
            L"more, such as prog.asm.",
            kMbOk | kMbIconStop);
        return;
    }
    state_.srcFolder = DocumentFolder(documentPath);
    state_.srcBase = DocumentBaseName(documentPath);
    state_.batPath = state_.srcFolder + state_.srcBase + L".bat";

    std::wstring writing = state_.batPath;
    try {
        p_.files.CreateEmptyFile(state_.batPath);
        // The file first, the editor after: a write that fails leaves the
        // editor, its undo and the document's state as they were.
        writing = documentPath;
        p_.files.WriteAll(documentPath, EncodeCp1251(WinToDos(document.Text())) + "\r\n");
    } catch (const PlatformError& error) {
        ReportUnwritable(p_, writing, error);
        return;
    }
    document.ShowDosRoundTrip();

    try {
        dialog.Filter = row.filter;
        dialog.FileName = documentPath.substr(0, documentPath.size() - 4);
        dialog.Flags = kOutputDialogFlags;
        dialog.ShowSave();

        // A cancelled dialog gives an empty name. Four characters are cut
        // from the title whatever they are, so a title shorter than four ends
        // the command too; one of exactly four leaves the output the folder alone.
        const std::wstring chosen = dialog.FileName;
        const std::wstring title = dialog.FileTitle;
        if (title.size() < 4 || title.size() > chosen.size())
            return;
        const std::wstring outFolder = chosen.substr(0, chosen.size() - title.size());

        // A short-path query that fails gives an empty folder; that is no failure.
        state_.outBase = p_.processes.ShortPath(outFolder) + title.substr(0, title.size() - 4);
        const std::wstring documentShort = p_.processes.ShortPath(documentPath);
        if (const auto refusal = RefuseUnsafeScriptNames(documentShort, state_.outBase)) {
            p_.messages.Show(*refusal, kMbOk | kMbIconStop);
            return;
        }

        const ScriptParts parts{s.tasmPath,  s.*row.asmSwitches,  documentShort,
                                s.tlinkPath, s.*row.linkSwitches, state_.outBase};
        p_.files.WriteAll(state_.batPath, BuildScriptBytes(parts));

        // The watcher reads the listing and looks for the output off the
        // window's thread; only the latest build's results are kept.
        const ScriptOutputs outputs{documentPath, documentShort, state_.outBase,
                                    state_.outBase + row.extension};
        auto collect = [ended = ended_, notify = notifyEnded_, files = &p_.files, outputs, build,
                        generation = document.Generation()](std::uint64_t startedAt) {
            BuildResults results;
            try {
                results = CollectBuildResults(outputs, startedAt, *files);
            } catch (const std::exception&) {
                // Nothing leaves the watching thread: a listing that cannot
                // be read is a row of its own.
                results.rows = {{L"Listing", L"", L"The assembler's listing could not be read.", 0}};
                results.worthShowing = true;
            }
            results.build = build;
            results.documentGeneration = generation;
            {
                std::lock_guard<std::mutex> guard(ended->lock);
                if (ended->latest != build)
                    return;
                ended->results = std::move(results);
                ended->endedBuild = build;
            }
            if (notify)
                notify();
        };
        if (viaDosBox) {
            // DOSBox takes most of a second to start: the output test comes
            // when the script has ended, not after a fixed second. The
            // script's own file, just written, dates the build's start.
            const std::uint64_t startedAt = p_.files.Stamp(state_.batPath).writeTime;
            pendingTest_ = OutputTest{build, row.extension, row.com};
            dosRoute_.StartScript(state_, parts, [collect, startedAt] { collect(startedAt); });
            return;
        }
        p_.processes.StartAndWatch(state_.batPath, collect);
        p_.processes.Sleep(1000);
        TestOutput(OutputTest{build, row.extension, row.com});
    } catch (const Failure&) {
        pendingTest_.reset();
    }
}

// The one output test of both routes: Run is enabled when the output exists;
// a COM build records whether it does.
void BuildSession::TestOutput(const OutputTest& test) {
    const bool found = p_.files.FileExists(state_.outBase + test.extension);
    if (found)
        state_.runEnabled = true;
    state_.lastBuildCom = (test.com && found) ? 1 : 0;
}

std::optional<BuildResults> BuildSession::TakeEnded() {
    std::optional<BuildResults> results;
    unsigned endedBuild = 0;
    {
        std::lock_guard<std::mutex> guard(ended_->lock);
        results.swap(ended_->results);
        endedBuild = ended_->endedBuild;
    }
    if (pendingTest_ && pendingTest_->build == endedBuild) {
        TestOutput(*pendingTest_);
        pendingTest_.reset();
    }
    return results;
}

unsigned BuildSession::LatestBuild() const {
    std::lock_guard<std::mutex> guard(ended_->lock);
    return ended_->latest;
}

std::wstring BuildSession::Program() const {
    return state_.outBase + (state_.lastBuildCom == 0 ? L".exe" : L".com");
}

void BuildSession::Debug(const SharedSettings& settings) {
    if (state_.runEnabled)
        debugging_.Debug(Program(), settings);
}

void BuildSession::Run() {
    const std::wstring program = Program();
    if (!dosRoute_.RunProgram(program))
        SkipOnFailure([&] { p_.processes.Start(program); });
}
