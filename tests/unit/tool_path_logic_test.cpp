#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/tool_path_logic.h"

namespace {

const wchar_t kKey[] = L"Software\\asm";
const wchar_t kTasmExe[] = L"C:\\TASM\\BIN\\tasm.exe";
const wchar_t kTlinkExe[] = L"C:\\TASM\\BIN\\TLINK.EXE";

class ToolPathTest : public ::testing::Test {
  protected:
    FakeProgram p;

    RegValue Stored(const wchar_t* name) const {
        return p.registry.ValuesOf(RegRoot::LocalMachine, kKey).at(Lower(name)).value;
    }
};

// OK

TEST_F(ToolPathTest, OkWithoutAnExistingFileShowsTheToolsMessageAndSavesNothing) {
    for (ToolKind kind : {ToolKind::Tasm, ToolKind::Tlink}) {
        for (const wchar_t* text : {L"", L"C:\\nowhere\\tasm.exe", L"C:\\TASM\\BIN"}) {
            FakeProgram q;
            q.settings.tasmPath = q.settings.tlinkPath = L"old";
            ToolPathLogic dialog(kind, q.context);
            EXPECT_FALSE(dialog.cmdOK_Click(text)) << "the dialog stays open";
            ASSERT_EQ(q.messages.shown.size(), 1u);
            EXPECT_EQ(q.messages.shown[0].text, kind == ToolKind::Tasm ? L"It is not a 'tasm.exe' file."
                                                                       : L"It is not a 'tlink.exe' file.");
            EXPECT_EQ(q.messages.shown[0].style, kMbOk | kMbIconInformation);
            EXPECT_EQ(q.messages.shown[0].title, L"") << "the program's own title";
            EXPECT_TRUE(q.registry.log.empty());
            EXPECT_EQ(q.settings.tasmPath, L"old");
            EXPECT_EQ(q.settings.tlinkPath, L"old");
        }
    }
}

TEST_F(ToolPathTest, OkAcceptsAnyExistingFileAndRewritesTheValueAsAString) {
    p.files.Put(L"D:\\notes\\readme.txt", "hello");
    RegValue number;
    number.type = RegType::Dword;
    number.number = 7;
    p.registry.Set(RegRoot::LocalMachine, kKey, L"TASM", number);

    ToolPathLogic dialog(ToolKind::Tasm, p.context);
    EXPECT_TRUE(dialog.cmdOK_Click(L"D:\\notes\\readme.txt"));
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_EQ(p.settings.tasmPath, L"D:\\notes\\readme.txt");
    EXPECT_EQ(Stored(L"tasm").type, RegType::String);
    EXPECT_EQ(Stored(L"tasm").text, L"D:\\notes\\readme.txt");
    EXPECT_EQ(p.registry.log, (std::vector<std::wstring>{L"deletevalue HKLM\\Software\\asm\\tasm",
                                                         L"write HKLM\\Software\\asm\\tasm"}));

    // With no value to delete, the write still happens.
    p.files.Put(kTlinkExe, "MZ");
    EXPECT_TRUE(ToolPathLogic(ToolKind::Tlink, p.context).cmdOK_Click(kTlinkExe));
    EXPECT_EQ(p.settings.tlinkPath, kTlinkExe);
    EXPECT_EQ(Stored(L"tlink").text, kTlinkExe);
}

TEST_F(ToolPathTest, RefusedRegistryIsReportedAndKeepsTheDialogOpen) {
    p.files.Put(kTasmExe, "MZ");
    p.registry.SetString(RegRoot::LocalMachine, kKey, L"tasm", L"C:\\old\\TASM.EXE");
    p.registry.refuseWrites.insert(RegRoot::LocalMachine);

    ToolPathLogic dialog(ToolKind::Tasm, p.context);
    EXPECT_FALSE(dialog.cmdOK_Click(kTasmExe));
    ASSERT_EQ(p.messages.shown.size(), 1u);
    const std::wstring& text = p.messages.shown[0].text;
    EXPECT_NE(text.find(L"not saved"), std::wstring::npos) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"HKLM\\Software\\asm\\tasm"), std::wstring::npos);
    EXPECT_NE(text.find(L"Error 5."), std::wstring::npos) << "the platform's wording of the failure";
    EXPECT_EQ(p.messages.shown[0].style, kMbOk | kMbIconStop);
    // The path is in use for this run; the registry keeps the old one.
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);
    EXPECT_EQ(Stored(L"tasm").text, L"C:\\old\\TASM.EXE");
}

// Browse

TEST_F(ToolPathTest, BrowseShowsThePlainOpenDialogAndAcceptsOnlyTheToolsName) {
    struct Case {
        ToolKind kind;
        const wchar_t* chosen;
        bool accepted;
    };
    const Case cases[] = {
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\tasm.exe", true},
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\Tasm.Exe", true},
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\tasm32.exe", false},
        {ToolKind::Tasm, L"C:\\TASM\\BIN\\TLINK.EXE", false},
        {ToolKind::Tasm, L"C:\\tasm.exe\\x.txt", false},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tlink.exe", true},
        {ToolKind::Tlink, L"C:\\TASM\\BIN\\tasm.exe", false},
    };
    for (const Case& c : cases) {
        FakeProgram q;
        q.dialogs.Choose(c.chosen);
        ToolPathLogic dialog(c.kind, q.context);
        const auto text = dialog.cmdBrowse_Click();
        ASSERT_EQ(q.dialogs.shown.size(), 1u);
        const FileDialogRequest& asked = q.dialogs.shown[0].request;
        EXPECT_TRUE(!q.dialogs.shown[0].save && asked.filter.empty() && asked.flags == 0 &&
                    asked.fileName.empty());
        EXPECT_EQ(text, c.accepted ? std::optional<std::wstring>(c.chosen) : std::nullopt);
        EXPECT_TRUE(q.messages.shown.empty()) << "a wrong name is ignored silently";
        EXPECT_TRUE(q.registry.log.empty()) << "Browse never writes the registry";
    }
}

TEST_F(ToolPathTest, BrowseThenCancelKeepsTheTasmPathButNotTheTlinkPath) {
    p.settings.tasmPath = L"C:\\old\\TASM.EXE";
    p.settings.tlinkPath = L"C:\\old\\TLINK.EXE";
    p.dialogs.Choose(kTasmExe);
    p.dialogs.Choose(kTlinkExe);

    ToolPathLogic tasm(ToolKind::Tasm, p.context);
    EXPECT_EQ(tasm.Form_Load(), L"C:\\old\\TASM.EXE");
    EXPECT_EQ(p.system.caretBlink, 700u);
    EXPECT_EQ(tasm.cmdBrowse_Click(), std::optional<std::wstring>(kTasmExe));
    EXPECT_EQ(p.settings.tasmPath, kTasmExe) << "Browse in the tasm dialog takes effect at once";

    ToolPathLogic tlink(ToolKind::Tlink, p.context);
    EXPECT_EQ(tlink.Form_Load(), L"C:\\old\\TLINK.EXE");
    EXPECT_EQ(tlink.cmdBrowse_Click(), std::optional<std::wstring>(kTlinkExe));
    EXPECT_EQ(p.settings.tlinkPath, L"C:\\old\\TLINK.EXE") << "tlink changes only on OK";
    EXPECT_TRUE(p.registry.log.empty());
}

TEST_F(ToolPathTest, CancelledOpenDialogReusesTheLastChoiceWhileLoaded) {
    ToolPathLogic dialog(ToolKind::Tasm, p.context);
    p.dialogs.Cancel();
    EXPECT_EQ(dialog.cmdBrowse_Click(), std::nullopt) << "nothing chosen yet";

    p.dialogs.Choose(kTasmExe);
    EXPECT_EQ(dialog.cmdBrowse_Click(), std::optional<std::wstring>(kTasmExe));
    p.settings.tasmPath = L"changed meanwhile";
    p.dialogs.Cancel();
    EXPECT_EQ(dialog.cmdBrowse_Click(), std::optional<std::wstring>(kTasmExe));
    EXPECT_EQ(p.settings.tasmPath, kTasmExe);
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, kTasmExe) << "the dialog opens at the last choice";

    ToolPathLogic reloaded(ToolKind::Tasm, p.context);
    p.dialogs.Cancel();
    EXPECT_EQ(reloaded.cmdBrowse_Click(), std::nullopt) << "a new load starts without a choice";
    EXPECT_EQ(p.dialogs.shown.back().request.fileName, L"");
}

}  // namespace
