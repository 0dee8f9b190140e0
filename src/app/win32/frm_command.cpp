// frmCommand (the EXE builds' switches) and frmCommand2 (the COM builds'):
// one window, two configurations.
#include "app/win32/frm_command.h"

#include <memory>
#include <vector>

#include "platform/win32/dialog_window_win.h"
#include "settings/build_options_logic.h"
#include "settings/dialog_ids.h"

namespace {

// Design sizes in twips. The outer size is 7020 x 3540.
constexpr int kClientWidth = 6900;
constexpr int kClientHeight = 3135;
constexpr int kFrameLeft = 90, kFrameTop[2] = {45, 1530}, kFrameWidth = 5280, kFrameHeight = 1410;
constexpr int kCheckLeft = 3645, kCheckTop[2] = {1125, 2610};
constexpr int kButtonLeft = 5490, kButtonWidth = 1320, kButtonHeight = 420;

enum class Ctl { Ok, Cancel, Com, Default, Tasm16, Tlink16, Tasm32, Tlink32, Save16, Save32 };

// Controls that take the focus, in the order Tab moves through them.
const std::vector<Ctl> kExeTabOrder = {Ctl::Ok,     Ctl::Tasm16, Ctl::Tlink16, Ctl::Save16, Ctl::Tlink32,
                                       Ctl::Tasm32, Ctl::Save32, Ctl::Cancel,  Ctl::Com,    Ctl::Default};
const std::vector<Ctl> kComTabOrder = {Ctl::Ok,     Ctl::Tlink16, Ctl::Tasm16, Ctl::Tlink32, Ctl::Tasm32,
                                       Ctl::Cancel, Ctl::Default, Ctl::Save16, Ctl::Save32};

void ShowOptions(OptionsKind kind, ProgramContext& program, HWND opener, HWND mainWindow);

class FrmCommand : public DialogWindow {
  public:
    FrmCommand(OptionsKind kind, ProgramContext& program)
        : kind_(kind), program_(program), logic_(kind, program) {}

    void Show(HWND opener, HWND mainWindow) {
        mainWindow_ = mainWindow;
        const wchar_t* className = kind_ == OptionsKind::Exe ? L"KorvelineCommand" : L"KorvelineCommand2";
        if (!CreateDialogWindow(className, logic_.Config().caption, WS_OVERLAPPEDWINDOW, kClientWidth,
                                kClientHeight))
            return;
        for (Ctl c : kind_ == OptionsKind::Exe ? kExeTabOrder : kComTabOrder)
            AddFocusable(c);
        // Labels and frames after the controls, so that the frames lie beneath them.
        for (int row = 0; row < 2; ++row) {
            AddWithFont(L"STATIC", L"tasm.exe", SS_LEFT, -1, kFrameLeft + 180, kFrameTop[row] + 315, 960, 330,
                        &textFont_);
            AddWithFont(L"STATIC", L"tlink.exe", SS_LEFT, -1, kFrameLeft + 180, kFrameTop[row] + 720, 870,
                        240, &textFont_);
            AddWithFont(L"BUTTON", logic_.Config().rows[row].frameCaption, BS_GROUPBOX | WS_CLIPSIBLINGS,
                        kIdOptionsFrame[row], kFrameLeft, kFrameTop[row], kFrameWidth, kFrameHeight,
                        &textFont_);
        }
        Form_Load(opener);
        ShowWithFocusOn(GetDlgItem(Hwnd(), kIdOptionsOk));
    }

  protected:
    void MakeFonts() override {
        fixedFont_.Reset(MakeFont(L"Fixedsys", 9.75, Dpi(), false, true));
        const int checkWidth = kind_ == OptionsKind::Com ? 1545 : 1590;
        textFont_.Reset(MakeFittingFont(
            L"Times New Roman", 11.25,
            {{L"tasm.exe", 960}, {L"tlink.exe", 870}, {L"Save changes", checkWidth, CheckBoxAllowance()}}));
    }

    void OnButton(int id) override {
        if (id == kIdOptionsOk)
            cmdOK_Click();
        else if (id == kIdOptionsCancel)
            cmdEnd_Click();
        else if (id == kIdOptionsCom)
            cmdCom_Click();
        else if (id == kIdOptionsDefault)
            Command1_Click();
    }

  private:
    void AddFocusable(Ctl c) {
        const bool com = kind_ == OptionsKind::Com;
        const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
        const DWORD box = WS_TABSTOP | ES_AUTOHSCROLL;
        const DWORD check = WS_TABSTOP | BS_AUTOCHECKBOX;
        const int checkWidth = com ? 1545 : 1590, checkHeight = com ? 270 : 285;
        const ScopedFont *fixed = &fixedFont_, *text = &textFont_;
        switch (c) {
            case Ctl::Ok:
                AddWithFont(L"BUTTON", L"OK", button, kIdOptionsOk, kButtonLeft, 180, kButtonWidth,
                            kButtonHeight, fixed);
                break;
            case Ctl::Cancel:
                AddWithFont(L"BUTTON", L"Cancel", button, kIdOptionsCancel, kButtonLeft, 675, kButtonWidth,
                            kButtonHeight, fixed);
                break;
            case Ctl::Com:
                AddWithFont(L"BUTTON", L"Com files", button, kIdOptionsCom, kButtonLeft, 1170, kButtonWidth,
                            kButtonHeight, fixed);
                break;
            case Ctl::Default:
                AddWithFont(L"BUTTON", L"Default", button, kIdOptionsDefault, kButtonLeft, 2520, kButtonWidth,
                            kButtonHeight, fixed);
                break;
            case Ctl::Tasm16:
            case Ctl::Tasm32: {
                const int row = c == Ctl::Tasm16 ? 0 : 1;
                AddWithFont(L"EDIT", L"", box, kIdOptionsTasm[row], kFrameLeft + 1215, kFrameTop[row] + 270,
                            3930, 330, fixed, WS_EX_CLIENTEDGE);
                break;
            }
            case Ctl::Tlink16:
            case Ctl::Tlink32: {
                const int row = c == Ctl::Tlink16 ? 0 : 1;
                AddWithFont(L"EDIT", L"", box, kIdOptionsTlink[row], kFrameLeft + 1215, kFrameTop[row] + 675,
                            3930, 330, fixed, WS_EX_CLIENTEDGE);
                break;
            }
            case Ctl::Save16:
            case Ctl::Save32: {
                const int row = c == Ctl::Save16 ? 0 : 1;
                AddWithFont(L"BUTTON", L"Save changes", check, kIdOptionsSave[row], kCheckLeft,
                            kCheckTop[row], checkWidth, checkHeight, text);
                break;
            }
        }
    }

    OptionBoxes ReadBoxes() const {
        OptionBoxes boxes;
        for (int row = 0; row < 2; ++row) {
            boxes.tasm[row] = TextOf(GetDlgItem(Hwnd(), kIdOptionsTasm[row]));
            boxes.tlink[row] = TextOf(GetDlgItem(Hwnd(), kIdOptionsTlink[row]));
            boxes.save[row] = IsDlgButtonChecked(Hwnd(), kIdOptionsSave[row]) == BST_CHECKED;
        }
        return boxes;
    }

    void ShowBoxes(const OptionBoxes& boxes) {
        for (int row = 0; row < 2; ++row) {
            SetDlgItemTextW(Hwnd(), kIdOptionsTasm[row], boxes.tasm[row].c_str());
            SetDlgItemTextW(Hwnd(), kIdOptionsTlink[row], boxes.tlink[row].c_str());
            CheckDlgButton(Hwnd(), kIdOptionsSave[row], boxes.save[row] ? BST_CHECKED : BST_UNCHECKED);
        }
    }

    void Form_Load(HWND opener) {
        const OptionBoxes boxes = logic_.Form_Load();
        modal_.Load(opener);
        ShowBoxes(boxes);
        if (kind_ == OptionsKind::Exe)
            MoveTo(LeftOf(mainWindow_) + 400, TopOf(mainWindow_) + 500);
        else
            MoveTo(LeftOf(mainWindow_) + 800, TopOf(opener) + 570);
    }

    void Command1_Click() {
        OptionBoxes boxes = ReadBoxes();
        logic_.Command1_Click(boxes);
        ShowBoxes(boxes);
    }

    void cmdOK_Click() {
        if (logic_.cmdOK_Click(ReadBoxes()))
            Unload();
    }

    void cmdEnd_Click() { Unload(); }

    void cmdCom_Click() { ShowOptions(OptionsKind::Com, program_, Hwnd(), mainWindow_); }

    OptionsKind kind_;
    ProgramContext& program_;
    BuildOptionsLogic logic_;
    HWND mainWindow_ = nullptr;
    ScopedFont fixedFont_, textFont_;
};

// One instance of each; a closed dialog's object lives on until the next
// showing or the program's end.
std::unique_ptr<FrmCommand> instances[2];

void ShowOptions(OptionsKind kind, ProgramContext& program, HWND opener, HWND mainWindow) {
    std::unique_ptr<FrmCommand>& instance = instances[kind == OptionsKind::Exe ? 0 : 1];
    if (ShowIfLoaded(instance.get()))
        return;
    instance = std::make_unique<FrmCommand>(kind, program);
    instance->Show(opener, mainWindow);
}

}  // namespace

void ShowBuildOptionsDialog(ProgramContext& program, HWND mainWindow) {
    ShowOptions(OptionsKind::Exe, program, mainWindow, mainWindow);
}
