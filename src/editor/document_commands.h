#pragma once
// The File menu: New, Open, Save, Save As and the exit question.
#include <string>

#include "editor/document.h"
#include "platform/file_dialog.h"
#include "platform/platform.h"

inline const wchar_t kAsmFilter[] = L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*";
constexpr long kSaveDialogFlags = kOfnOverwritePrompt | kOfnHideReadOnly;  // 6
constexpr long kOpenDialogFlags = kOfnFileMustExist | kOfnHideReadOnly;    // 4100

inline const wchar_t kNewQuestion[] = L"Save change to the following file?";
inline const wchar_t kExitQuestion[] = L"Save change to the file before exit?";
inline const wchar_t kReadOnlyText[] = L"Permission denied. Read only file.";
inline const wchar_t kReadOnlyTitle[] = L"Read only";

// The message of a save that could not be written: the file and the
// platform's reason, under the program's title.
std::wstring SaveFailureText(const std::wstring& path, const std::wstring& reason);

class DocumentCommands {
  public:
    DocumentCommands(Platform& platform, Document& doc, CommonDialog& dialog)
        : platform_(platform), doc_(doc), dialog_(dialog) {}

    // Each command ends silently when its file dialog cannot be shown.
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    // The question about unsaved changes before the program ends; never cancels.
    void ExitCheck();

    // Writes the document under its name, or asks for one. Returns false when
    // the file could not be written: the user has been told, and the
    // document, its flags, the caption and the file are as they were. Throws
    // PlatformError when the save dialog cannot be shown.
    bool SaveDocument();

  private:
    enum class DialogSave { Cancelled, RefusedReadOnly, Written, Failed };
    DialogSave SaveThroughDialog();
    bool IsReadOnlyFile(const std::wstring& path);
    bool WriteDocument(const std::wstring& path);
    void ReadDocument(const std::wstring& path);

    Platform& platform_;
    Document& doc_;
    CommonDialog& dialog_;
};
