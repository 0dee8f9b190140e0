#include "settings/tool_path_logic.h"

#include <cwctype>

namespace {

constexpr unsigned kCaretBlinkMs = 700;

const ToolConfig kTasm{L" tasm",
                       L"Tasm path",
                       L"tasm.exe",
                       L"TASM.EXE",
                       true,
                       L"It is not a 'tasm.exe' file.",
                       &SharedSettings::tasmPath,
                       L"HKLM\\Software\\asm\\tasm"};

const ToolConfig kTlink{L" tlink",
                        L"Tlink path",
                        L"tlink.exe",
                        L"TLINK.EXE",
                        false,
                        L"It is not a 'tlink.exe' file.",
                        &SharedSettings::tlinkPath,
                        L"HKLM\\Software\\asm\\tlink"};

std::wstring Upper(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

}  // namespace

const ToolConfig& ToolConfigOf(ToolKind kind) {
    return kind == ToolKind::Tasm ? kTasm : kTlink;
}

ToolPathLogic::ToolPathLogic(ToolKind kind, ProgramContext& program)
    : config_(ToolConfigOf(kind)), program_(program), CDialog(program.platform.fileDialogs) {}

std::wstring ToolPathLogic::Form_Load() {
    SkipOnFailure([&] { program_.platform.system.SetCaretBlinkTime(kCaretBlinkMs); });
    return program_.settings.*config_.shared;
}

std::optional<std::wstring> ToolPathLogic::cmdBrowse_Click() {
    // No filter, flags or file name of its own: the platform's plain Open
    // dialog, preset with the last choice once there is one.
    CDialog.ShowOpen();
    if (!CDialog.FileName.empty()) {
        keptPath_ = CDialog.FileName;
        keptTitle_ = CDialog.FileTitle;
    } else {
        // A cancelled dialog leaves the last choice in place.
        CDialog.FileName = keptPath_;
        CDialog.FileTitle = keptTitle_;
    }
    if (keptPath_.empty())
        return std::nullopt;
    if (Upper(keptTitle_) != config_.acceptedName)
        return std::nullopt;
    if (config_.browseSetsShared)
        program_.settings.*config_.shared = keptPath_;
    return keptPath_;
}

bool ToolPathLogic::cmdOK_Click(const std::wstring& text) {
    if (!program_.platform.files.FileExists(text)) {
        program_.platform.messages.Show(config_.missingFileText, kMbOk | kMbIconInformation);
        return false;
    }
    std::wstring& shared = program_.settings.*config_.shared;
    shared = text;
    // The delete makes the value a plain string whatever it was before. It
    // fails when there is no value yet, which is no reason not to write; a
    // refused delete is followed by a write that reports the refusal.
    SkipOnFailure([&] { program_.regShell.RegDelete(config_.registryPath); });
    try {
        program_.regShell.RegWrite(config_.registryPath, shared, L"REG_SZ");
    } catch (const PlatformError& error) {
        program_.platform.messages.Show(std::wstring(L"The path of ") + config_.labelCaption +
                                            L" was not saved in the registry (" + config_.registryPath +
                                            L"). Korveline uses it only until it ends.\r\n\r\n" +
                                            program_.platform.system.ErrorText(error.Code()),
                                        kMbOk | kMbIconStop);
        return false;
    }
    return true;
}
