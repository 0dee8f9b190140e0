// frmAbout: the program's icon, four fixed lines and "OK".
#include "app/win32/frm_about.h"

#include <memory>

#include "platform/win32/dialog_window_win.h"
#include "platform/win32/resource_ids.h"

namespace {

// Design sizes in twips.
constexpr int kClientWidth = 5760;
constexpr int kClientHeight = 1545;
constexpr int kOffsetLeft = 900, kOffsetTop = 1000;

const wchar_t kNameLine[] = L"Korveline for Borland Tasm";
const wchar_t kCopyrightLine[] = L"\x00A9 2026 the Korveline developers";
const wchar_t kCreditLine[] = L"Written by the Korveline developers";
const wchar_t kContactLine[] = L"Contact: korveline.invalid";

class FrmAbout : public DialogWindow {
  public:
    void Show(HWND mainWindow) {
        // A fixed single border: a caption and a close box, not resizable.
        if (!CreateDialogWindow(L"KorvelineAbout", L" Korveline", WS_CAPTION | WS_SYSMENU, kClientWidth,
                                kClientHeight))
            return;
        HWND command1 = AddWithFont(L"BUTTON", L"OK", WS_TABSTOP | BS_PUSHBUTTON, kIdAboutOk, 4320, 180, 1230,
                                    375, &font_);
        // Image1: the picture of the icon the program's windows carry.
        image1_ = AddWithFont(L"STATIC", L"", SS_ICON | SS_REALSIZEIMAGE, kIdAboutImage, 90, 180, 480, 480,
                              nullptr);
        SendMessageW(image1_, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        AddWithFont(L"STATIC", kNameLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, 765, 225, 2985, 240, &font_);
        AddWithFont(L"STATIC", kCopyrightLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, 765, 495, 2850, 240,
                    &font_);
        AddWithFont(L"STATIC", kCreditLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, 765, 765, 2985, 285, &font_);
        AddWithFont(L"STATIC", kContactLine, SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, 765, 1035, 3075, 240,
                    &font_);
        Form_Load(mainWindow);
        ShowWithFocusOn(command1);
    }

    ~FrmAbout() override {
        if (icon_)
            DestroyIcon(icon_);
    }

  protected:
    // The font of the platform's message boxes, so that the box reads like
    // one, and the icon at 32 x 32 pixels at 96 DPI, both scaled with the layout.
    void MakeFonts() override {
        const int dpi = Dpi();
        font_.Reset(MakeFittingFont(
            [dpi](double points) { return MakeMessageFont(points, dpi); }, 8.25,
            {{kNameLine, 2985}, {kCopyrightLine, 2850}, {kCreditLine, 2985}, {kContactLine, 3075}}));
        HICON old = icon_;
        icon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                              IMAGE_ICON, Px(480), Px(480), 0));
        if (image1_)
            SendMessageW(image1_, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
        if (old)
            DestroyIcon(old);
    }

    void OnButton(int id) override {
        if (id == kIdAboutOk)
            Command1_Click();
    }

  private:
    void Form_Load(HWND mainWindow) {
        modal_.Load(mainWindow);
        MoveTo(LeftOf(mainWindow) + kOffsetLeft, TopOf(mainWindow) + kOffsetTop);
    }

    void Command1_Click() { Unload(); }

    ScopedFont font_;
    HICON icon_ = nullptr;
    HWND image1_ = nullptr;
};

std::unique_ptr<FrmAbout> instance;

}  // namespace

void ShowAboutBox(HWND mainWindow) {
    if (ShowIfLoaded(instance.get()))
        return;
    instance = std::make_unique<FrmAbout>();
    instance->Show(mainWindow);
}
