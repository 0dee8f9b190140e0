// frmTasm and frmTlink: one window, two configurations.
#include "app/win32/frm_tool_path.h"

#include <memory>

#include "platform/win32/dialog_window_win.h"
#include "settings/dialog_ids.h"

namespace {

// Design sizes in twips. The outer size is 5820 x 1935.
constexpr int kClientWidth = 5700;
constexpr int kClientHeight = 1530;
constexpr int kFrameLeft = 90, kFrameTop = 90;
constexpr int kButtonTop = 1080, kButtonWidth = 1455, kButtonHeight = 375;
constexpr int kOffsetLeft = 400, kOffsetTop = 500;

class FrmToolPath : public DialogWindow {
  public:
    FrmToolPath(ToolKind kind, ProgramContext& program) : logic_(kind, program) {}

    void Show(HWND mainWindow) {
        const ToolConfig& c = logic_.Config();
        const wchar_t* className =
            c.shared == &SharedSettings::tasmPath ? L"KorvelineTasm" : L"KorvelineTlink";
        if (!CreateDialogWindow(className, c.caption, WS_OVERLAPPEDWINDOW, kClientWidth, kClientHeight))
            return;
        // Created in tab order; the frame last, beneath what it holds.
        txtPath = AddWithFont(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kIdToolText, kFrameLeft + 1260,
                              kFrameTop + 315, 4110, 375, &textFont_, WS_EX_CLIENTEDGE);
        AddWithFont(L"BUTTON", L"OK", WS_TABSTOP, kIdToolOk, 990, kButtonTop, kButtonWidth, kButtonHeight,
                    &buttonFont_);
        AddWithFont(L"BUTTON", L"Browse...", WS_TABSTOP, kIdToolBrowse, 2565, kButtonTop, kButtonWidth,
                    kButtonHeight, &buttonFont_);
        AddWithFont(L"BUTTON", L"Cancel", WS_TABSTOP, kIdToolCancel, 4140, kButtonTop, kButtonWidth,
                    kButtonHeight, &buttonFont_);
        AddWithFont(L"STATIC", c.labelCaption, SS_LEFT, kIdToolLabel, kFrameLeft + 180, kFrameTop + 360, 915,
                    285, &textFont_);
        AddWithFont(L"BUTTON", c.frameCaption, BS_GROUPBOX | WS_CLIPSIBLINGS, kIdToolFrame, kFrameLeft,
                    kFrameTop, 5550, 870, &textFont_);
        Form_Load(mainWindow);
        ShowWithFocusOn(txtPath);
    }

  protected:
    void MakeFonts() override {
        buttonFont_.Reset(MakeFont(L"Fixedsys", 9.75, Dpi(), false, true));
        textFont_.Reset(MakeFittingFont(L"Times New Roman", 11.25, {{logic_.Config().labelCaption, 915}}));
    }

    void OnButton(int id) override {
        if (id == kIdToolOk)
            cmdOK_Click();
        else if (id == kIdToolBrowse)
            cmdBrowse_Click();
        else if (id == kIdToolCancel)
            cmdEnd_Click();
    }

  private:
    void Form_Load(HWND mainWindow) {
        modal_.Load(mainWindow);
        const std::wstring text = logic_.Form_Load();
        SetWindowTextW(txtPath, text.c_str());
        SendMessageW(txtPath, EM_SETSEL, text.size(), text.size());
        MoveTo(LeftOf(mainWindow) + kOffsetLeft, TopOf(mainWindow) + kOffsetTop);
    }

    void cmdBrowse_Click() {
        // A dialog that cannot be shown ends the command silently.
        SkipOnFailure([&] {
            if (auto path = logic_.cmdBrowse_Click()) {
                SetWindowTextW(txtPath, path->c_str());
                SendMessageW(txtPath, EM_SETSEL, path->size(), path->size());
            }
        });
    }

    void cmdOK_Click() {
        if (logic_.cmdOK_Click(TextOf(txtPath)))
            Unload();
    }

    void cmdEnd_Click() { Unload(); }

    ToolPathLogic logic_;
    HWND txtPath = nullptr;
    ScopedFont buttonFont_, textFont_;
};

// One instance of each; a closed dialog's object lives on until the next
// showing or the program's end.
std::unique_ptr<FrmToolPath> instances[2];

}  // namespace

void ShowToolPathDialog(ToolKind kind, ProgramContext& program, HWND mainWindow) {
    std::unique_ptr<FrmToolPath>& instance = instances[kind == ToolKind::Tasm ? 0 : 1];
    if (ShowIfLoaded(instance.get()))
        return;
    instance = std::make_unique<FrmToolPath>(kind, program);
    instance->Show(mainWindow);
}
