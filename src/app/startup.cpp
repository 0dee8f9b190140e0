#include "app/startup.h"

#include <utility>

#include "editor/source_file.h"

std::wstring DefaultDocumentPath(const std::wstring& programFolder, const std::wstring& windir) {
    if (programFolder.size() == 3)
        return windir.substr(0, 3) + L"asm1.asm";
    return programFolder + L"\\" + L"asm1.asm";
}

namespace {

// Loads the file named on the command line. When it cannot be read the
// editor stays empty and the document stays unnamed, so that no later Save
// overwrites the unread file with nothing.
void LoadCommandLineFile(ProgramContext& program, MainFields& fields, MainWindowView& view) {
    FileSystem& files = program.platform.files;
    if (!files.FileExists(fields.cmdLine))
        return;  // the caption keeps " asm"
    view.SetCaption(fields.cmdLine);
    std::wstring text = ReadSourceText(files.ReadAll(fields.cmdLine));  // the bytes go at once
    view.TakeEditorText(std::move(text));
    fields.doc.DocHasName = 1;
    fields.doc.DocChanged = 0;
}

}  // namespace

void RunMainLoadStep(ProgramContext& program,
                     MainFields& fields,
                     MainWindowView& view,
                     const std::function<void()>& registerAsmFiles) {
    SystemServices& system = program.platform.system;
    program.settings.tasmPath.clear();
    program.settings.tlinkPath.clear();
    fields.settings.settingsMarker = 0;
    fields.doc.DocHasName = 0;
    fields.doc.fileNo = 1;
    fields.cmdLine.clear();
    fields.doc.DocChanged = 0;
    SkipOnFailure([&] { system.SetCaretBlinkTime(700); });
    SkipOnFailure([&] { fields.cmdLine = system.CommandLine(); });
    SkipOnFailure([&] { LoadSettings(program, fields.settings, view, registerAsmFiles); });
    if (!fields.cmdLine.empty()) {
        SkipOnFailure([&] { LoadCommandLineFile(program, fields, view); });
    } else {
        SkipOnFailure([&] {
            view.SetCaption(DefaultDocumentPath(system.ProgramFolder(), system.Environment(L"windir")));
        });
    }
}
