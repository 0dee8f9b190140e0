#include "editor/document_commands.h"

#include <utility>

#include "editor/source_file.h"

std::wstring SaveFailureText(const std::wstring& path, const std::wstring& reason) {
    return L"The file could not be saved:\r\n" + path + L"\r\n\r\n" + reason;
}

// New asks only about a changed document. A save that fails leaves the
// editor alone: clearing it would throw away text that is nowhere else.
void DocumentCommands::mnuNew_Click() {
    if (doc_.DocChanged != 1)
        return;
    try {
        if (platform_.messages.Show(kNewQuestion, kMbYesNo | kMbIconInformation) == kIdYes) {
            if (SaveThroughDialog() == DialogSave::Failed)
                return;
        }
        doc_.Load(L"");
    } catch (const Failure&) {
        return;
    }
    doc_.DocChanged = 1;
    doc_.DocHasName = 0;
}

// The dialog keeps the file name of its previous use: Open presets none.
void DocumentCommands::mnuOpen_Click() {
    try {
        dialog_.Filter = kAsmFilter;
        dialog_.Flags = kOpenDialogFlags;
        dialog_.ShowOpen();
    } catch (const Failure&) {
        return;
    }
    const std::wstring path = dialog_.FileName;
    if (!path.empty())
        ReadDocument(path);
}

void DocumentCommands::mnuSave_Click() {
    SkipOnFailure([this] { SaveDocument(); });
}

// When the save does not happen (a failed write, a dialog that cannot be
// shown) the document stays bound as it was, so Save still means what it did.
void DocumentCommands::mnuSaveAs_Click() {
    const auto hadName = doc_.DocHasName;
    doc_.DocHasName = 0;
    bool settled = false;
    SkipOnFailure([&] { settled = SaveDocument(); });
    if (!settled)
        doc_.DocHasName = hadName;
}

void DocumentCommands::ExitCheck() {
    if (doc_.DocChanged != 1)
        return;
    if (platform_.messages.Show(kExitQuestion, kMbYesNo | kMbIconInformation) != kIdYes)
        return;
    SkipOnFailure([this] { SaveDocument(); });  // the program ends whatever the save did
}

bool DocumentCommands::SaveDocument() {
    if (doc_.DocHasName != 0) {
        if (!WriteDocument(doc_.Path()))
            return false;
        doc_.DocChanged = 0;
        return true;
    }
    // A cancelled dialog and the read-only refusal settle the document under
    // its path, as a save would.
    if (SaveThroughDialog() == DialogSave::Failed)
        return false;
    doc_.DocChanged = 0;
    doc_.DocHasName = 1;
    return true;
}

DocumentCommands::DialogSave DocumentCommands::SaveThroughDialog() {
    dialog_.Filter = kAsmFilter;
    dialog_.Flags = kSaveDialogFlags;
    dialog_.FileName = doc_.Path();
    dialog_.ShowSave();
    const std::wstring path = dialog_.FileName;
    if (path.empty())
        return DialogSave::Cancelled;
    if (IsReadOnlyFile(path)) {
        platform_.messages.Show(kReadOnlyText, kMbOk | kMbIconStop, kReadOnlyTitle);
        return DialogSave::RefusedReadOnly;
    }
    if (!WriteDocument(path))
        return DialogSave::Failed;
    doc_.SetPath(path);
    return DialogSave::Written;
}

// A path where no file exists (or whose attributes cannot be read) is not
// read-only; the write itself then reports what is wrong.
bool DocumentCommands::IsReadOnlyFile(const std::wstring& path) {
    try {
        return (platform_.files.GetAttributes(path) & kAttributeReadOnly) != 0;
    } catch (const Failure&) {
        return false;
    }
}

// The file is replaced as a whole (written beside it, then moved over it),
// so a write that fails leaves the old file untouched; that is also why no
// empty file is created first. The editor keeps its text: the conversion to
// the DOS code page goes to the file only.
bool DocumentCommands::WriteDocument(const std::wstring& path) {
    Platform& p = platform_;
    try {
        p.files.WriteAll(path, SourceFileBytes(doc_.Text()));
    } catch (const PlatformError& error) {
        p.messages.Show(SaveFailureText(path, p.system.ErrorText(error.Code())), kMbOk | kMbIconStop);
        return false;
    }
    doc_.EmptyUndo();  // a save ends the editor's undo, as replacing its text would
    return true;
}

// The document names the chosen file first. When the file cannot be read the
// command ends silently with everything as it was, the path included, so
// the document never names a file whose text it does not hold (a later Save
// would overwrite that file with the other document's text).
void DocumentCommands::ReadDocument(const std::wstring& path) {
    const std::wstring previous = doc_.Path();
    doc_.SetPath(path);
    try {
        std::wstring text = ReadSourceText(platform_.files.ReadAll(path));  // the bytes go at once
        doc_.Load(std::move(text));
    } catch (const Failure&) {
        doc_.SetPath(previous);
        return;
    }
    doc_.DocChanged = 0;
    doc_.DocHasName = 1;
}
