#pragma once
// The File menu: New, Open, Save, Save As and the exit question.
#include <string>

#include "editor/document.h"
#include "platform/file_dialog.h"
#include "settings/settings_store.h"

inline const wchar_t kAsmFilter[] = L"Asm Projects (*.asm)|*.asm|All Files (*.*)|*.*";

class DocumentCommands {
public:
    DocumentCommands(ProgramContext& program, DocumentState& doc, MainWindowView& view, CommonDialog& dialog)
        : program_(program), doc_(doc), view_(view), dialog_(dialog) {}

    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    // The question about unsaved changes before the program ends; never cancels.
    void ExitCheck();
    void SaveDocument();

private:
    ProgramContext& program_;
    DocumentState& doc_;
    MainWindowView& view_;
    CommonDialog& dialog_;
};
