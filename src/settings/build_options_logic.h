#pragma once
// What the build option dialogs (frmCommand for the EXE builds, frmCommand2
// for the COM builds) do, apart from their window: the boxes' content on
// load, Default, and OK with its registry writes.
#include <array>
#include <string>

#include "settings/settings_store.h"

enum class OptionsKind { Exe, Com };

// One build kind: a frame with a TASM box, a TLINK box and "Save changes".
struct OptionRow {
    const wchar_t* frameCaption;                // "16b EXE"
    std::wstring SharedSettings::*tasmShared;   // opt16EXETasm
    std::wstring SharedSettings::*tlinkShared;  // opt16EXETlink
};

// The one dialog's two configurations. The rows' registry values and
// "Default" texts are those of the settings store (its first-run strings).
struct OptionsConfig {
    const wchar_t* caption;         // " Command Lines"
    std::array<OptionRow, 2> rows;  // the 16-bit kind, then the 32-bit kind
};

const OptionsConfig& OptionsConfigOf(OptionsKind kind);

// What the dialog's controls hold, row by row (16-bit, then 32-bit).
struct OptionBoxes {
    std::array<std::wstring, 2> tasm, tlink;
    std::array<bool, 2> save{};  // "Save changes" ticked
};

class BuildOptionsLogic {
  public:
    BuildOptionsLogic(OptionsKind kind, ProgramContext& program);
    const OptionsConfig& Config() const { return config_; }

    // The load step's own part: sets the caret blink time and gives the
    // boxes filled from the program-wide strings, both unticked.
    OptionBoxes Form_Load();

    // Puts the first-run switches into the boxes and the program-wide
    // strings and ticks both boxes; writes nothing to the registry.
    void Command1_Click(OptionBoxes& boxes);

    // Writes the ticked kinds to the registry and every box into its
    // program-wide string, kind by kind. True when the dialog is to close;
    // false when a write failed: a message names what was not saved, what
    // was done before stays done, and the dialog stays open.
    bool cmdOK_Click(const OptionBoxes& boxes);

  private:
    const OptionsConfig& config_;
    ProgramContext& program_;
};
