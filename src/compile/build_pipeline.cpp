#include "compile/build_pipeline.h"

#include <array>

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

// Writes the editor's text to the document's path in the DOS code page. The
// editor shows the converted text while the file is written and its own text
// again afterwards; both are ordinary assignments, so a text with Cyrillic
// marks the document changed. When the file cannot be written, the editor
// and DocChanged are put back as they were and the failure is thrown on.
void WriteDocument(const std::wstring& path, Platform& p, DocumentState& doc, MainWindowView& view) {
    const std::int16_t changedBefore = doc.DocChanged;
    const std::wstring original = view.EditorText();
    AssignEditorText(view, doc, WinToDos(original));
    try {
        p.files.WriteAll(path, EncodeCp1251(view.EditorText()) + "\r\n");
    } catch (const PlatformError&) {
        AssignEditorText(view, doc, original);
        doc.DocChanged = changedBefore;
        throw;
    }
    AssignEditorText(view, doc, DosToWin(view.EditorText()));
    // The text was replaced twice, even where the conversions changed
    // nothing, so there is nothing left to undo.
    view.EmptyUndo();
}

// From the save dialog on, every failure ends the command silently.
void AskOutputAndRunScript(const BuildKindRow& row,
                           const std::wstring& documentPath,
                           Platform& p,
                           const SharedSettings& s,
                           BuildState& build,
                           MainWindowView& view,
                           CommonDialog& dialog,
                           DosRoute* viaDosBox,
                           const ScriptEnded& onScriptEnded) {
    dialog.Filter = row.filter;
    dialog.FileName = documentPath.substr(0, documentPath.size() - 4);
    dialog.Flags = kOutputDialogFlags;
    dialog.ShowSave();

    // A cancelled dialog gives an empty name. Four characters are cut from
    // the title whatever they are, so a title shorter than four ends the
    // command too; one of exactly four leaves the output the folder alone.
    const std::wstring chosen = dialog.FileName;
    const std::wstring title = dialog.FileTitle;
    if (title.size() < 4 || title.size() > chosen.size())
        return;
    const std::wstring outFolder = chosen.substr(0, chosen.size() - title.size());

    // A short-path query that fails gives an empty folder; that is no failure.
    build.outBase = p.processes.ShortPath(outFolder) + title.substr(0, title.size() - 4);
    const std::wstring documentShort = p.processes.ShortPath(documentPath);
    if (const auto refusal = RefuseUnsafeScriptNames(documentShort, build.outBase)) {
        p.messages.Show(*refusal, kMbOk | kMbIconStop);
        return;
    }
    if (viaDosBox && !viaDosBox->AcceptOutput(outFolder, build.outBase))
        return;  // DOSBox could not name the output: said

    const ScriptParts parts{s.tasmPath,  s.*row.asmSwitches,  documentShort,
                            s.tlinkPath, s.*row.linkSwitches, build.outBase};
    p.files.WriteAll(build.batPath, BuildScriptBytes(parts));
    if (viaDosBox)  // the output folder itself where it has no short form
        build.outBase = viaDosBox->OutBase();
    const ScriptOutputs outputs{documentPath, documentShort, build.outBase, build.outBase + row.extension};
    if (viaDosBox) {
        // DOSBox takes most of a second to start: the output test comes when
        // the script has ended, not after a fixed second. The script's own
        // file, just written, dates the build's start for the results.
        std::function<void()> ended;
        if (onScriptEnded) {
            const std::uint64_t startedAt = p.files.Stamp(build.batPath).writeTime;
            ended = [onScriptEnded, outputs, startedAt] { onScriptEnded(outputs, startedAt); };
        }
        viaDosBox->StartScript(build, parts, row.extension, row.com, std::move(ended));
        return;
    }
    if (onScriptEnded) {
        p.processes.StartAndWatch(build.batPath, [onScriptEnded, outputs](std::uint64_t startedAt) {
            onScriptEnded(outputs, startedAt);
        });
    } else {
        p.processes.Start(build.batPath);
    }
    p.processes.Sleep(1000);

    const bool found = p.files.FileExists(build.outBase + row.extension);
    if (found)
        view.SetRunEnabled(true);
    build.lastBuildCom = (row.com && found) ? 1 : 0;
}

}  // namespace

void RunBuild(BuildKind kind,
              Platform& p,
              const SharedSettings& settings,
              DocumentState& doc,
              BuildState& build,
              MainWindowView& view,
              CommonDialog& dialog,
              DosRoute* dosRoute,
              const ScriptEnded& onScriptEnded) {
    const BuildKindRow& row = RowOf(kind);
    if (!ToolsConfigured(settings, p))
        return;
    const DosRoute::Way way = dosRoute ? dosRoute->Prepare(settings, view.Caption()) : DosRoute::Way::Direct;
    if (way == DosRoute::Way::Refused)
        return;
    DosRoute* const viaDosBox = way == DosRoute::Way::DosBox ? dosRoute : nullptr;
    view.SetRunEnabled(false);

    const std::wstring documentPath = view.Caption();
    if (GetFileName(documentPath).size() < 4) {
        // The script and the output are named after the document less its
        // last four characters; a shorter name has no four to cut. A name of
        // exactly four builds, with an empty base name (the script is ".bat").
        p.messages.Show(
            L"The document's name is too short to build. Save it under a name of four characters or "
            L"more, such as prog.asm.",
            kMbOk | kMbIconStop);
        return;
    }
    build.srcFolder = DocumentFolder(documentPath);
    build.srcBase = DocumentBaseName(documentPath);
    build.batPath = build.srcFolder + build.srcBase + L".bat";

    // Until the dialog, a file that cannot be written is reported and ends
    // the command before anything more is written.
    std::wstring writing = build.batPath;
    try {
        p.files.CreateEmptyFile(build.batPath);
        writing = documentPath;
        WriteDocument(documentPath, p, doc, view);
    } catch (const PlatformError& error) {
        ReportUnwritable(p, writing, error);
        return;
    }

    try {
        AskOutputAndRunScript(row, documentPath, p, settings, build, view, dialog, viaDosBox, onScriptEnded);
    } catch (const PlatformError&) {
        // Ends silently: what was written stays, Run stays disabled.
    }
}

void RunCompiledProgram(const BuildState& build, Processes& processes) {
    SkipOnFailure([&] { processes.Start(build.outBase + (build.lastBuildCom == 0 ? L".exe" : L".com")); });
}
