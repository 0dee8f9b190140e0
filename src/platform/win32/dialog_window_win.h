#pragma once
// What every dialog of the program (About, tool location, build options,
// Find, Go to line) is built from: a top-level window laid out in twips, of a
// fixed size, that gives the keyboard focus back to the control that had it.
// It takes its size, its controls' places and its fonts from its monitor's DPI
// when it is made and again when it moves to a monitor of another scale.
#include <functional>
#include <vector>

#include "platform/win32/window_base_win.h"

class DialogWindow : public WindowBase {
  public:
    // A window's left and top edges in twips.
    int LeftOf(HWND window) const;
    int TopOf(HWND window) const;

  protected:
    // Creates the window hidden, its client area of the design size, then
    // makes its fonts (MakeFonts). The outer size is that client area plus
    // this platform's caption and borders; with the classic frame (4-pixel
    // borders, 19-pixel caption) at 96 DPI it is exactly the design's outer
    // size. An owner makes it a window of the owner's (Find, Go to line).
    bool CreateDialogWindow(const wchar_t* className,
                            const std::wstring& caption,
                            DWORD style,
                            int clientWidthTwips,
                            int clientHeightTwips,
                            HWND owner = nullptr,
                            DWORD exStyle = 0);

    // Makes every font (and picture) the dialog draws with for Dpi(): when
    // the window is made and after each change of DPI, before the controls
    // are given their fonts again.
    virtual void MakeFonts() {}

    // Undoes a resize in the normal state; a minimised or maximised dialog
    // is left as it is.
    void PinSize();

    // The closing steps, safe to run from every way of closing: unload,
    // enable the opener, make it active.
    void Unload() { modal_.Close(Hwnd()); }

    // Shows the window and gives the focus to the given control.
    void ShowWithFocusOn(HWND control);

    // A button, label, frame ... in twips, with the font the member holds
    // (none: the system's); it keeps its twips and its font member for a
    // change of DPI.
    HWND AddWithFont(const wchar_t* className,
                     const std::wstring& text,
                     DWORD style,
                     int id,
                     int left,
                     int top,
                     int width,
                     int height,
                     const ScopedFont* font,
                     DWORD exStyle = 0);

    // A text that must fit a width in twips (less an allowance in pixels,
    // such as a check box's square).
    struct FitItem {
        const wchar_t* text;
        int widthTwips;
        int allowancePx = 0;
    };
    // The font of the design size, or the largest size below it at which
    // every item fits, for systems where the face is missing and a wider
    // one stands in for it.
    HFONT MakeFittingFont(const wchar_t* face, double points, const std::vector<FitItem>& items) const;
    // The same for a font that make creates at a size in points.
    HFONT MakeFittingFont(const std::function<HFONT(double points)>& make,
                          double points,
                          const std::vector<FitItem>& items) const;
    // The room a check box's square and its gap take before the text.
    int CheckBoxAllowance() const;

    // Routes button clicks to OnButton, and closing, focus, resize and DPI messages.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A button's id; also IDOK and IDCANCEL from Enter and Esc, which no button answers.
    virtual void OnButton(int /*id*/) {}
    virtual void Form_Unload() { Unload(); }
    virtual void Form_Resize() { PinSize(); }

    ModalByHand modal_;

  private:
    SIZE OuterSize() const;
    void OnDpiChanged(const RECT& proposed);

    struct Placed {
        HWND control;
        int left, top, width, height;  // twips
        const ScopedFont* font;
    };
    std::vector<Placed> placed_;
    int clientWidth_ = 0, clientHeight_ = 0;  // twips
    DWORD style_ = 0, exStyle_ = 0;
    SIZE fixedSize_{0, 0};
    HWND lastFocus_ = nullptr;
};

// The whole text of a control.
std::wstring TextOf(HWND control);

// Brings an already loaded single-instance dialog to the front. True when
// the dialog is loaded.
bool ShowIfLoaded(const WindowBase* dialog);
