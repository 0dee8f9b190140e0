// The tool location dialogs' logic: OK, Browse and what each writes.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/tool_path_logic.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const wchar_t kTasmExe[] = L"C:\\TASM\\BIN\\tasm.exe";
const wchar_t kTlinkExe[] = L"C:\\TASM\\BIN\\TLINK.EXE";

TEST(ToolPath, OkTakesAnyExistingFileAndRewritesTheValueAsAString) {
    FakeProgram p;
    p.files.Put(L"D:\\notes\\readme.txt", "hello");
    p.registry.Set(RegRoot::LocalMachine, kKey, L"TASM", RegNumber(7));
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(p.settings.tasmPath, L"D:\\notes\\readme.txt");
    const RegValue stored = p.registry.ReadValue(RegRoot::LocalMachine, kKey, L"tasm");
    EXPECT_EQ(stored.type, RegType::String);
    EXPECT_EQ(stored.text, L"D:\\notes\\readme.txt");
    EXPECT_EQ(p.registry.log, (std::vector<std::wstring>{L"deletevalue HKLM\\Software\\asm\\tasm",
                                                         L"write HKLM\\Software\\asm\\tasm"}));
    // With no value to delete, the write still happens.
    p.files.Put(kTlinkExe, "MZ");
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(kTlinkExe));
    EXPECT_EQ(p.settings.tlinkPath, kTlinkExe);
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, kKey, L"tlink").text, kTlinkExe);

    // No such file: the tool's message, the dialog stays open, nothing changes.
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(L""));
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"C:\\nowhere\\tasm.exe"));
    EXPECT_EQ(p.messages.Texts(),
              (std::vector<std::wstring>{L"It is not a 'tlink.exe' file.", L"It is not a 'tasm.exe' file."}));
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconInformation);
    EXPECT_EQ(p.settings.tasmPath, L"D:\\notes\\readme.txt");
    EXPECT_EQ(p.registry.log.size(), 4u);
}

TEST(ToolPath, ARefusedRegistryIsReportedAndTheDialogStaysOpen) {
    FakeProgram p;
    p.files.Put(kTasmExe, "MZ");
    p.registry.Set(RegRoot::LocalMachine, kKey, L"tasm", RegText(L"C:\\old\\TASM.EXE"));
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(kTasmExe));
    EXPECT_EQ(p.messages.Texts(),
              std::vector<std::wstring>{L"The path of tasm.exe was not saved in the registry "
                                        L"(HKLM\\Software\\asm\\tasm). Korveline uses it only until it "
                                        L"ends.\r\n\r\nError 5."});
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);  // in use for this run; the registry keeps the old one
    EXPECT_EQ(p.registry.ReadValue(RegRoot::LocalMachine, kKey, L"tasm").text, L"C:\\old\\TASM.EXE");
}

TEST(ToolPath, BrowseShowsThePlainOpenDialogAndAcceptsOnlyTheToolsNameSilently) {
    const std::tuple<ToolKind, const wchar_t*, bool> cases[] = {
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\Tasm.Exe", true},
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\tasm32.exe", false},
        {ToolKind::Tasm, L"C:\\tasm.exe\\x.txt", false},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tlink.exe", true},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tasm.exe", false},
    };
    for (const auto& [kind, chosen, accepted] : cases) {
        FakeProgram q;
        q.dialogs.Choose(chosen);
        const auto text = ToolPathLogic(kind, q.context).cmdBrowse_Click();
        const FileDialogRequest& asked = q.dialogs.shown.at(0).request;
        EXPECT_TRUE(!q.dialogs.shown[0].save && asked.filter.empty() && asked.flags == 0 &&
                    asked.fileName.empty());
        EXPECT_EQ(text, accepted ? std::optional<std::wstring>(chosen) : std::nullopt);
        EXPECT_TRUE(q.messages.shown.empty() && q.registry.log.empty());
    }
}

TEST(ToolPath, BrowseTakesEffectAtOnceForTasmAndOnOkForTlinkAndACancelReusesTheLastChoice) {
    FakeProgram p;
    p.settings.tasmPath = L"C:\\old\\TASM.EXE";
    p.settings.tlinkPath = L"C:\\old\\TLINK.EXE";
    ToolPathLogic tasm(ToolKind::Tasm, p.context);
    EXPECT_EQ(tasm.Form_Load(), L"C:\\old\\TASM.EXE");
    EXPECT_EQ(p.system.caretBlink, 700u);
    p.dialogs.Cancel();
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::nullopt) << "nothing chosen yet";
    p.dialogs.Choose(kTasmExe);
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::optional<std::wstring>(kTasmExe));
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);
    p.settings.tasmPath = L"changed meanwhile";
    p.dialogs.Cancel();
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::optional<std::wstring>(kTasmExe));
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, kTasmExe) << "the dialog opens at the last choice";

    ToolPathLogic tlink(ToolKind::Tlink, p.context);
    EXPECT_EQ(tlink.Form_Load(), L"C:\\old\\TLINK.EXE");
    p.dialogs.Choose(kTlinkExe);
    EXPECT_EQ(tlink.cmdBrowse_Click(), std::optional<std::wstring>(kTlinkExe));
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, L"") << "a new dialog starts without a choice";
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\old\\TLINK.EXE");
    EXPECT_TRUE(p.registry.log.empty());
}

}  // namespace
