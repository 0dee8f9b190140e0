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
void LoadCommandLineFile(ProgramContext& program, const std::wstring& cmdLine, Document& document) {
    FileSystem& files = program.platform.files;
    if (!files.FileExists(cmdLine))
        return;  // the caption keeps " asm"
    document.SetPath(cmdLine);
    std::wstring text = ReadSourceText(files.ReadAll(cmdLine));  // the bytes go at once
    document.Load(std::move(text));
    document.DocHasName = 1;
    document.DocChanged = 0;
}

}  // namespace

void RunMainLoadStep(ProgramContext& program,
                     MainFields& fields,
                     Document& document,
                     const std::function<void()>& registerAsmFiles) {
    SystemServices& system = program.platform.system;
    program.settings.tasmPath.clear();
    program.settings.tlinkPath.clear();
    fields.settings.settingsMarker = 0;
    document.DocHasName = 0;
    fields.cmdLine.clear();
    document.DocChanged = 0;
    SkipOnFailure([&] { system.SetCaretBlinkTime(700); });
    SkipOnFailure([&] { fields.cmdLine = system.CommandLine(); });
    SkipOnFailure([&] { LoadSettings(program, fields.settings, registerAsmFiles); });
    if (!fields.cmdLine.empty()) {
        SkipOnFailure([&] { LoadCommandLineFile(program, fields.cmdLine, document); });
    } else {
        SkipOnFailure([&] {
            document.SetPath(DefaultDocumentPath(system.ProgramFolder(), system.Environment(L"windir")));
        });
    }
}
