#include "settings/settings_store.h"

#include <algorithm>

const std::array<StoreValue, 10> kStoreValues = {{
    {L"HKLM\\Software\\asm\\tasm", &SharedSettings::tasmPath, L""},
    {L"HKLM\\Software\\asm\\tlink", &SharedSettings::tlinkPath, L""},
    {L"HKLM\\Software\\asm\\16btasmEXE", &SharedSettings::opt16EXETasm, L"/z /zi /n /m2"},
    {L"HKLM\\Software\\asm\\16btlinkEXE", &SharedSettings::opt16EXETlink, L"/x /v"},
    {L"HKLM\\Software\\asm\\32btasmEXE", &SharedSettings::opt32EXETasm, L"/z /zi /n /m2"},
    {L"HKLM\\Software\\asm\\32btlinkEXE", &SharedSettings::opt32EXETlink, L"/x /v /3"},
    {L"HKLM\\Software\\asm\\16btasmCOM", &SharedSettings::opt16COMTasm, L"/z /zi /n /m2"},
    {L"HKLM\\Software\\asm\\16btlinkCOM", &SharedSettings::opt16COMTlink, L"/x /v /t"},
    {L"HKLM\\Software\\asm\\32btasmCOM", &SharedSettings::opt32COMTasm, L"/z /zi /n /m2"},
    {L"HKLM\\Software\\asm\\32btlinkCOM", &SharedSettings::opt32COMTlink, L"/x /v /t /3"},
}};

namespace {

void LoadStore(ProgramContext& program, SettingsFields& fields) {
    std::size_t next = 0;
    try {
        for (; next < kStoreValues.size(); ++next) {
            const StoreValue& v = kStoreValues[next];
            program.settings.*v.member = program.regShell.RegRead(v.path).ToString();
        }
        auto flag = ToInt16(program.regShell.RegRead(kAsmFilesPath));
        if (!flag)
            throw ProgramError(L"asmfiles is not a 16-bit number");
        fields.asmFilesFlag = *flag;
        fields.mnuRegChecked = fields.asmFilesFlag == 1;
    } catch (const Failure&) {
        // Loading ends at the failing value. The switches not read yet take
        // their first-run strings, so builds still get working switches.
        for (std::size_t i = std::max<std::size_t>(next, 2); i < kStoreValues.size(); ++i)
            program.settings.*kStoreValues[i].member = kStoreValues[i].firstRunText;
        throw;
    }
}

void CreateStore(ProgramContext& program, const std::function<void()>& registerAsmFiles) {
    // The key is made for its own sake; its result is not looked at, since
    // the writes below create it too, or fail on their own.
    SkipOnFailure([&] { program.platform.registry.CreateKey(RegRoot::LocalMachine, kStoreKey); });
    program.regShell.RegWrite(kStoreMarkerPath, std::int64_t{1}, L"REG_DWORD");
    for (const StoreValue& v : kStoreValues)
        program.regShell.RegWrite(v.path, v.firstRunText, L"REG_SZ");
    registerAsmFiles();
}

}  // namespace

void LoadSettings(ProgramContext& program,
                  SettingsFields& fields,
                  const std::function<void()>& registerAsmFiles) {
    SkipOnFailure([&] {
        if (auto marker = ToInt16(program.regShell.RegRead(kStoreMarkerPath)))
            fields.settingsMarker = *marker;
    });
    if (fields.settingsMarker != 0)
        LoadStore(program, fields);
    else
        CreateStore(program, registerAsmFiles);
}
