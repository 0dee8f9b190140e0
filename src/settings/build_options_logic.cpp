#include "settings/build_options_logic.h"

#include <stdexcept>

namespace {

constexpr unsigned kCaretBlinkMs = 700;

const OptionsConfig kExe{L" Command Lines",
                         {{{L"16b EXE", &SharedSettings::opt16EXETasm, &SharedSettings::opt16EXETlink},
                           {L"32b EXE", &SharedSettings::opt32EXETasm, &SharedSettings::opt32EXETlink}}}};

const OptionsConfig kCom{L" Com Command Line",
                         {{{L"16b COM", &SharedSettings::opt16COMTasm, &SharedSettings::opt16COMTlink},
                           {L"32b COM", &SharedSettings::opt32COMTasm, &SharedSettings::opt32COMTlink}}}};

const StoreValue& StoreValueOf(std::wstring SharedSettings::*member) {
    for (const StoreValue& v : kStoreValues) {
        if (v.member == member)
            return v;
    }
    throw std::logic_error("a switch string without a store value");
}

}  // namespace

const OptionsConfig& OptionsConfigOf(OptionsKind kind) {
    return kind == OptionsKind::Exe ? kExe : kCom;
}

BuildOptionsLogic::BuildOptionsLogic(OptionsKind kind, ProgramContext& program)
    : config_(OptionsConfigOf(kind)), program_(program) {}

OptionBoxes BuildOptionsLogic::Form_Load() {
    SkipOnFailure([&] { program_.platform.system.SetCaretBlinkTime(kCaretBlinkMs); });
    OptionBoxes boxes;
    for (std::size_t i = 0; i < 2; ++i) {
        boxes.tasm[i] = program_.settings.*config_.rows[i].tasmShared;
        boxes.tlink[i] = program_.settings.*config_.rows[i].tlinkShared;
    }
    return boxes;
}

void BuildOptionsLogic::Command1_Click(OptionBoxes& boxes) {
    for (std::size_t i = 0; i < 2; ++i) {
        boxes.tasm[i] = StoreValueOf(config_.rows[i].tasmShared).firstRunText;
        boxes.tlink[i] = StoreValueOf(config_.rows[i].tlinkShared).firstRunText;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        program_.settings.*config_.rows[i].tasmShared = boxes.tasm[i];
        program_.settings.*config_.rows[i].tlinkShared = boxes.tlink[i];
    }
    boxes.save = {true, true};
}

bool BuildOptionsLogic::cmdOK_Click(const OptionBoxes& boxes) {
    for (std::size_t i = 0; i < 2; ++i) {
        const OptionRow& row = config_.rows[i];
        if (boxes.save[i]) {
            const wchar_t* path = StoreValueOf(row.tasmShared).path;
            try {
                program_.regShell.RegWrite(path, boxes.tasm[i], L"REG_SZ");
                path = StoreValueOf(row.tlinkShared).path;
                program_.regShell.RegWrite(path, boxes.tlink[i], L"REG_SZ");
            } catch (const PlatformError& error) {
                program_.platform.messages.Show(std::wstring(L"The switches of the ") + row.frameCaption +
                                                    L" build were not saved in the registry (" + path +
                                                    L").\r\n\r\nTo use them until Korveline ends, untick "
                                                    L"\"Save changes\" and press OK.\r\n\r\n" +
                                                    program_.platform.system.ErrorText(error.Code()),
                                                kMbOk | kMbIconStop);
                return false;
            }
        }
        program_.settings.*row.tasmShared = boxes.tasm[i];
        program_.settings.*row.tlinkShared = boxes.tlink[i];
    }
    return true;
}
