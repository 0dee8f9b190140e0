#pragma once
// Steps shared by the tests that build: the stand-in assembler and linker put
// in place and named in the store, and a build run to its end.
#include <windows.h>

#include <initializer_list>
#include <string>

#include "driver/program.h"
#include "driver/registry.h"

namespace e2e {

struct Tools {
    std::wstring tasm, tlink;
};

// Copies the stand-ins (built beside the driver's folder, in tests\tools)
// into the folder, creating it.
inline Tools InstallStandIns(const std::wstring& folder) {
    wchar_t self[MAX_PATH];
    const std::wstring driver(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    const std::wstring e2eFolder = driver.substr(0, driver.find_last_of(L'\\'));
    const std::wstring built = e2eFolder.substr(0, e2eFolder.find_last_of(L'\\')) + L"\\tools\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"standin_tasm.exe", L"standin_tlink.exe", L"marker_program.exe"}) {
        if (!CopyFileW((built + name).c_str(), (folder + L"\\" + name).c_str(), FALSE))
            Abort("could not copy the stand-in " + Utf8(built + name));
    }
    return {folder + L"\\standin_tasm.exe", folder + L"\\standin_tlink.exe"};
}

// The store as a later start finds it: the tool paths given, the first-run
// switches, no association.
inline void PutStore(const std::wstring& tasm, const std::wstring& tlink) {
    const HKEY hklm = HKEY_LOCAL_MACHINE;
    const wchar_t key[] = L"Software\\asm";
    const wchar_t asmSwitches[] = L"/z /zi /n /m2";
    RegPut(hklm, key, L"", RegDword(1));
    RegPut(hklm, key, L"tasm", RegSz(tasm));
    RegPut(hklm, key, L"tlink", RegSz(tlink));
    RegPut(hklm, key, L"16btasmEXE", RegSz(asmSwitches));
    RegPut(hklm, key, L"16btlinkEXE", RegSz(L"/x /v"));
    RegPut(hklm, key, L"32btasmEXE", RegSz(asmSwitches));
    RegPut(hklm, key, L"32btlinkEXE", RegSz(L"/x /v /3"));
    RegPut(hklm, key, L"16btasmCOM", RegSz(asmSwitches));
    RegPut(hklm, key, L"16btlinkCOM", RegSz(L"/x /v /t"));
    RegPut(hklm, key, L"32btasmCOM", RegSz(asmSwitches));
    RegPut(hklm, key, L"32btlinkCOM", RegSz(L"/x /v /t /3"));
    RegPut(hklm, key, L"asmfiles", RegDword(0));
}

inline Tools StandInsConfigured() {
    const Tools tools = InstallStandIns(L"C:\\standin");
    PutStore(tools.tasm, tools.tlink);
    return tools;
}

// Runs a build command and names its output in the save dialog. Returns when
// the build is over: the program answers the menu probe only after the
// command has returned (script started, one-second wait done). A test that
// ended while the program was still starting the script could kill it half
// way through and leave the script's console hanging.
inline void Build(const Program& app, Command command, const std::wstring& output) {
    app.Click(command);
    HWND dialog = app.WaitForFileDialog();
    ChooseFile(dialog, output);
    REQUIRE(WaitUntil([&] { return !IsWindow(dialog); }));
    app.Menu();
}

inline bool RunEnabled(const Program& app) {
    return !app.Menu().Item(Command::RunCompiled).grayed;
}

}  // namespace e2e
