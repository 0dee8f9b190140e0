#include "editor/win32/find_dialog_win.h"

namespace {

// Design sizes in twips.
constexpr int kClientWidth = 5310, kClientHeight = 1725;
constexpr int kButtonLeft = 4095, kButtonWidth = 1080, kButtonHeight = 345;
constexpr int kCheckLeft = 135, kCheckWidth = 2205, kCheckHeight = 285;
constexpr int kUpLeft = 2520, kUpWidth = 630, kDownLeft = 3195, kDownWidth = 720, kRadioTop = 900;
// From the owner's top right corner, where it hides little of the text.
constexpr int kFromRight = 360, kFromTop = 960;

}  // namespace

void FindDialog::Open(HWND owner, const std::wstring& what, const FindOptions& options, Finder& finder) {
    finder_ = &finder;
    if (Hwnd()) {
        SetActiveWindow(Hwnd());
        return;
    }
    if (!CreateDialogWindow(kFindDialogClass, L"Find", WS_POPUP | WS_CAPTION | WS_SYSMENU, kClientWidth,
                            kClientHeight, owner, WS_EX_DLGMODALFRAME))
        return;
    const DWORD check = BS_AUTOCHECKBOX | WS_TABSTOP;
    AddWithFont(L"STATIC", L"Fi&nd what:", SS_LEFT, -1, 135, 210, 1035, 225, &font_);
    HWND box = AddWithFont(L"EDIT", what, ES_AUTOHSCROLL | WS_TABSTOP, kFindWhatId, 1215, 165, 2700, 300,
                           &font_, WS_EX_CLIENTEDGE);
    AddWithFont(L"BUTTON", L"Match &whole word only", check, kWholeWordId, kCheckLeft, 630, kCheckWidth,
                kCheckHeight, &font_);
    AddWithFont(L"BUTTON", L"Match &case", check, kMatchCaseId, kCheckLeft, 960, kCheckWidth, kCheckHeight,
                &font_);
    AddWithFont(L"BUTTON", L"W&rap around", check, kWrapAroundId, kCheckLeft, 1290, kCheckWidth, kCheckHeight,
                &font_);
    AddWithFont(L"BUTTON", L"&Up", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kUpId, kUpLeft, kRadioTop,
                kUpWidth, kCheckHeight, &font_);
    AddWithFont(L"BUTTON", L"&Down", BS_AUTORADIOBUTTON, kDownId, kDownLeft, kRadioTop, kDownWidth,
                kCheckHeight, &font_);
    AddWithFont(L"BUTTON", L"&Find Next", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, IDOK, kButtonLeft, 150,
                kButtonWidth, kButtonHeight, &font_);
    AddWithFont(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, kButtonLeft, 585, kButtonWidth,
                kButtonHeight, &font_);
    // The frame last, beneath the buttons it holds.
    AddWithFont(L"BUTTON", L"Direction", BS_GROUPBOX | WS_CLIPSIBLINGS, -1, 2430, 585, 1530, 780, &font_);
    FollowOwnerEnabled();
    CheckDlgButton(Hwnd(), kWholeWordId, options.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Hwnd(), kMatchCaseId, options.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Hwnd(), kWrapAroundId, options.wrap ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(Hwnd(), kUpId, kDownId, options.down ? kDownId : kUpId);
    EnableWindow(GetDlgItem(Hwnd(), IDOK), !what.empty());
    RECT ownerBox{}, self{};
    GetWindowRect(owner, &ownerBox);
    GetWindowRect(Hwnd(), &self);
    SetWindowPos(Hwnd(), nullptr, ownerBox.right - (self.right - self.left) - Px(kFromRight),
                 ownerBox.top + Px(kFromTop), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(box, EM_SETSEL, 0, -1);
    ShowWithFocusOn(box);
}

// The face of the system's small dialogs, at a size where every text fits.
void FindDialog::MakeFonts() {
    const int dpi = Dpi(), square = CheckBoxAllowance(), button = MulDiv(12, dpi, 96);
    font_.Reset(MakeFittingFont([dpi](double points) { return MakeMessageFont(points, dpi); }, 8.25,
                                {{L"Find what:", 1035},
                                 {L"Match whole word only", kCheckWidth, square},
                                 {L"Wrap around", kCheckWidth, square},
                                 {L"Up", kUpWidth, square},
                                 {L"Down", kDownWidth, square},
                                 {L"Find Next", kButtonWidth, button}}));
}

LRESULT FindDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == kFindWhatId && HIWORD(wParam) == EN_CHANGE) {
        EnableWindow(GetDlgItem(Hwnd(), IDOK), GetWindowTextLengthW(GetDlgItem(Hwnd(), kFindWhatId)) > 0);
        return 0;
    }
    return DialogWindow::HandleMessage(message, wParam, lParam);
}

void FindDialog::OnButton(int id) {
    if (id == IDCANCEL) {
        DestroyWindow(Hwnd());
        return;
    }
    if (id != IDOK)
        return;
    const std::wstring what = TextOf(GetDlgItem(Hwnd(), kFindWhatId));
    if (what.empty()) {
        MessageBeep(MB_OK);
        return;
    }
    const FindOptions options{IsDlgButtonChecked(Hwnd(), kMatchCaseId) == BST_CHECKED,
                              IsDlgButtonChecked(Hwnd(), kWholeWordId) == BST_CHECKED,
                              IsDlgButtonChecked(Hwnd(), kUpId) != BST_CHECKED,
                              IsDlgButtonChecked(Hwnd(), kWrapAroundId) == BST_CHECKED};
    if (finder_)
        finder_->FindNext(what, options);
}
