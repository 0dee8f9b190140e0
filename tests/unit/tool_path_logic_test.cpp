// The tool location dialogs' logic: OK, Browse and what each writes.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/tool_path_logic.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const wchar_t kTasmExe[] = L"C:\\TASM\\BIN\\tasm.exe";
const wchar_t kTlinkExe[] = L"C:\\TASM\\BIN\\TLINK.EXE";

RegValue Stored(const FakeProgram& p, const wchar_t* name) {
    return p.registry.ValuesOf(RegRoot::LocalMachine, kKey).at(Lower(name)).value;
}

TEST(ToolPath, OkWithoutAnExistingFileShowsTheToolsMessageAndSavesNothing) {
    for (ToolKind kind : {ToolKind::Tasm, ToolKind::Tlink}) {
        for (const wchar_t* text : {L"", L"C:\\nowhere\\tasm.exe"}) {
            FakeProgram q;
            q.settings.tasmPath = q.settings.tlinkPath = L"old";
            EXPECT_FALSE(ToolPathLogic(kind, q.context).cmdOK_Click(text)) << "the dialog stays open";
            ASSERT_EQ(q.messages.shown.size(), 1u);
            EXPECT_EQ(q.messages.shown[0].text, kind == ToolKind::Tasm ? L"It is not a 'tasm.exe' file."
                                                                       : L"It is not a 'tlink.exe' file.");
            EXPECT_EQ(q.messages.shown[0].style, kMbOk | kMbIconInformation);
            EXPECT_TRUE(q.registry.log.empty());
            EXPECT_EQ(q.settings.tasmPath + q.settings.tlinkPath, L"oldold");
        }
    }
}

TEST(ToolPath, OkAcceptsAnyExistingFileAndRewritesTheValueAsAString) {
    FakeProgram p;
    p.files.Put(L"D:\\notes\\readme.txt", "hello");
    p.registry.SetDword(RegRoot::LocalMachine, kKey, L"TASM", 7);
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(p.settings.tasmPath, L"D:\\notes\\readme.txt");
    EXPECT_EQ(Stored(p, L"tasm").type, RegType::String);
    EXPECT_EQ(Stored(p, L"tasm").text, L"D:\\notes\\readme.txt");
    EXPECT_EQ(p.registry.log, (std::vector<std::wstring>{L"deletevalue HKLM\\Software\\asm\\tasm",
                                                         L"write HKLM\\Software\\asm\\tasm"}));
    // With no value to delete, the write still happens.
    p.files.Put(kTlinkExe, "MZ");
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(kTlinkExe));
    EXPECT_EQ(p.settings.tlinkPath, kTlinkExe);
    EXPECT_EQ(Stored(p, L"tlink").text, kTlinkExe);
}

TEST(ToolPath, ARefusedRegistryIsReportedAndKeepsTheDialogOpen) {
    FakeProgram p;
    p.files.Put(kTasmExe, "MZ");
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"tasm", L"C:\\old\\TASM.EXE");
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);
    EXPECT_FALSE(ToolPathLogic(ToolKind::Tasm, p.context).cmdOK_Click(kTasmExe));
    ASSERT_EQ(p.messages.shown.size(), 1u);
    const std::wstring& text = p.messages.shown[0].text;
    EXPECT_NE(text.find(L"not saved"), std::wstring::npos);
    EXPECT_NE(text.find(L"HKLM\\Software\\asm\\tasm"), std::wstring::npos);
    EXPECT_NE(text.find(L"Error 5."), std::wstring::npos);
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);  // in use for this run; the registry keeps the old one
    EXPECT_EQ(Stored(p, L"tasm").text, L"C:\\old\\TASM.EXE");
}

TEST(ToolPath, BrowseShowsThePlainOpenDialogAndAcceptsOnlyTheToolsName) {
    const std::tuple<ToolKind, const wchar_t*, bool> cases[] = {
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\tasm.exe", true},
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
        ASSERT_EQ(q.dialogs.shown.size(), 1u);
        const FileDialogRequest& asked = q.dialogs.shown[0].request;
        EXPECT_TRUE(!q.dialogs.shown[0].save && asked.filter.empty() && asked.flags == 0 &&
                    asked.fileName.empty());
        EXPECT_EQ(text, accepted ? std::optional<std::wstring>(chosen) : std::nullopt);
        EXPECT_TRUE(q.messages.shown.empty()) << "a wrong name is ignored silently";
        EXPECT_TRUE(q.registry.log.empty()) << "Browse never writes the registry";
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
    p.dialogs.Cancel();
    EXPECT_EQ(tlink.cmdBrowse_Click(), std::nullopt) << "a new load starts without a choice";
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, L"");
    p.dialogs.Choose(kTlinkExe);
    EXPECT_EQ(tlink.cmdBrowse_Click(), std::optional<std::wstring>(kTlinkExe));
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\old\\TLINK.EXE");
    EXPECT_TRUE(p.registry.log.empty());
}

}  // namespace
