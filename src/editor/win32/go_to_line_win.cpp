#include "editor/win32/go_to_line_win.h"

#include <string>

#include "editor/find_text.h"

namespace {

// Design sizes in twips.
constexpr int kClientWidth = 4050, kClientHeight = 1515;
constexpr int kBoxLeft = 150, kBoxWidth = 3735;
constexpr int kButtonTop = 975, kButtonWidth = 1125, kButtonHeight = 345;

}  // namespace

void GoToLineDialog::Open(HWND owner, std::size_t currentLine, std::size_t lineCount, Chosen chosen) {
    if (ShowIfLoaded(this))
        return;
    lineCount_ = lineCount;
    chosen_ = std::move(chosen);
    label_ = L"&Line number (1 - " + std::to_wstring(lineCount) + L"):";
    if (!CreateDialogWindow(kGoToLineClass, L"Go to Line", WS_POPUP | WS_CAPTION | WS_SYSMENU, kClientWidth,
                            kClientHeight, owner, WS_EX_DLGMODALFRAME))
        return;
    AddWithFont(L"STATIC", label_, SS_LEFT, -1, kBoxLeft, 165, kBoxWidth, 225, &font_);
    HWND box = AddWithFont(L"EDIT", std::to_wstring(currentLine), ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP,
                           kGoToLineBoxId, kBoxLeft, 435, kBoxWidth, 315, &font_, WS_EX_CLIENTEDGE);
    AddWithFont(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, 1545, kButtonTop, kButtonWidth,
                kButtonHeight, &font_);
    AddWithFont(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 2760, kButtonTop, kButtonWidth,
                kButtonHeight, &font_);
    modal_.Load(owner);
    // Centred over the owner.
    RECT ownerBox{}, self{};
    GetWindowRect(owner, &ownerBox);
    GetWindowRect(Hwnd(), &self);
    SetWindowPos(Hwnd(), nullptr, (ownerBox.left + ownerBox.right - (self.right - self.left)) / 2,
                 (ownerBox.top + ownerBox.bottom - (self.bottom - self.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(box, EM_SETSEL, 0, -1);
    ShowWithFocusOn(box);
}

void GoToLineDialog::MakeFonts() {
    const int dpi = Dpi();
    font_.Reset(
        MakeFittingFont([dpi](double points) { return MakeMessageFont(points, dpi); }, 8.25,
                        {{label_.c_str(), kBoxWidth}, {L"Cancel", kButtonWidth, MulDiv(12, dpi, 96)}}));
}

// An empty box or 0 is refused with a beep, and the dialog stays.
void GoToLineDialog::OnButton(int id) {
    if (id == IDCANCEL) {
        Unload();
        return;
    }
    if (id != IDOK)
        return;
    HWND box = GetDlgItem(Hwnd(), kGoToLineBoxId);
    const auto line = LineOfNumber(TextOf(box), lineCount_);
    if (!line) {
        MessageBeep(MB_OK);
        SetFocus(box);
        return;
    }
    const Chosen chosen = chosen_;
    Unload();
    chosen(*line);
}
