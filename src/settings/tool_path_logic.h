#pragma once
// What the tool location dialogs (frmTasm, frmTlink) do, apart from their
// window: the text box's content on load, Browse, OK and its messages.
#include <optional>
#include <string>

#include "platform/file_dialog.h"
#include "settings/settings_store.h"

enum class ToolKind { Tasm, Tlink };

// The one dialog's two configurations.
struct ToolConfig {
    const wchar_t* caption;                // " tasm"
    const wchar_t* frameCaption;           // "Tasm path"
    const wchar_t* labelCaption;           // "tasm.exe"
    const wchar_t* acceptedName;           // what Browse accepts once upper-cased: "TASM.EXE"
    bool browseSetsShared;                 // frmTasm puts a browsed path into tasmPath at once
    const wchar_t* missingFileText;        // "It is not a 'tasm.exe' file."
    std::wstring SharedSettings::*shared;  // tasmPath
    const wchar_t* registryPath;           // "HKLM\Software\asm\tasm"
};

const ToolConfig& ToolConfigOf(ToolKind kind);

class ToolPathLogic {
  public:
    ToolPathLogic(ToolKind kind, ProgramContext& program);
    const ToolConfig& Config() const { return config_; }

    // The load step's own part: sets the caret blink time and gives the text
    // for the box (the program-wide path).
    std::wstring Form_Load();

    // Shows the Open dialog. Gives the full path to put into the box when the
    // chosen file has the tool's name; nothing otherwise. While the dialog is
    // loaded the last choice is kept: cancelling a later Open dialog reuses it.
    std::optional<std::wstring> cmdBrowse_Click();

    // Checks that a file exists at the path and saves it (program-wide string
    // and registry). True when the dialog is to close; false when it stays
    // open because a message told the user what went wrong.
    bool cmdOK_Click(const std::wstring& text);

  private:
    const ToolConfig& config_;
    ProgramContext& program_;
    CommonDialog CDialog;
    std::wstring keptPath_, keptTitle_;
};
