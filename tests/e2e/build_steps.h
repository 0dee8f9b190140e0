#pragma once
// Steps of the tests that build: the stand-in assembler and linker of
// tests/tools put in place and named in the store, and a build run to its end.
#include <windows.h>

#include <string>

#include "driver/program.h"
#include "driver/registry.h"

namespace e2e {

struct Tools {
    std::wstring tasm, tlink;
};

// Copies the stand-ins (built in tests\tools beside the driver's folder) into the folder.
inline Tools InstallStandIns(const std::wstring& folder) {
    wchar_t self[MAX_PATH];
    std::wstring built(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    built = built.substr(0, built.find_last_of(L'\\'));
    built = built.substr(0, built.find_last_of(L'\\')) + L"\\tools\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"standin_tasm.exe", L"standin_tlink.exe", L"marker_program.exe"})
        if (!CopyFileW((built + name).c_str(), (folder + L"\\" + name).c_str(), FALSE))
            Abort("could not copy the stand-in " + Utf8(built + name));
    return {folder + L"\\standin_tasm.exe", folder + L"\\standin_tlink.exe"};
}

// The store as a later start finds it: the tool paths given, the first start's switches, no association.
inline void PutStore(const std::wstring& tasm, const std::wstring& tlink) {
    const auto put = [](const wchar_t* name, const RegData& value) {
        RegPut(HKEY_LOCAL_MACHINE, L"Software\\asm", name, value);
    };
    put(L"", RegDword(1));
    put(L"asmfiles", RegDword(0));
    put(L"tasm", RegSz(tasm));
    put(L"tlink", RegSz(tlink));
    for (const wchar_t* kind : {L"16btasmEXE", L"32btasmEXE", L"16btasmCOM", L"32btasmCOM"})
        put(kind, RegSz(L"/z /zi /n /m2"));
    put(L"16btlinkEXE", RegSz(L"/x /v"));
    put(L"32btlinkEXE", RegSz(L"/x /v /3"));
    put(L"16btlinkCOM", RegSz(L"/x /v /t"));
    put(L"32btlinkCOM", RegSz(L"/x /v /t /3"));
}

inline Tools StandInsConfigured() {
    const Tools tools = InstallStandIns(L"C:\\standin");
    PutStore(tools.tasm, tools.tlink);
    return tools;
}

// Runs a build command, names its output in the save dialog and returns when
// the build is over: the program answers the menu probe only once the command
// has returned (script started, one-second wait done). A test that ended
// earlier could kill the script half way and leave its console hanging.
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
