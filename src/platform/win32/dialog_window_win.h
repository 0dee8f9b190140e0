#pragma once
// What the program's dialogs (the About box, the tool location and the build
// option dialogs) share: a top-level window made modal by hand, of a fixed
// size, that gives the keyboard focus back to the control that had it.
#include <functional>
#include <vector>

#include "platform/win32/window_base_win.h"

class DialogWindow : public WindowBase {
  public:
    // A window's left and top edges in twips.
    int LeftOf(HWND window) const;
    int TopOf(HWND window) const;

  protected:
    // Creates the window hidden, its client area of the design size. The
    // outer size is that client area plus this platform's caption and
    // borders; with the classic frame (4-pixel borders, 19-pixel caption)
    // at 96 DPI it is exactly the design's outer size.
    bool CreateDialogWindow(const wchar_t* className,
                            const std::wstring& caption,
                            DWORD style,
                            int clientWidthTwips,
                            int clientHeightTwips);

    // Undoes a resize in the normal state; a minimised or maximised dialog
    // is left as it is.
    void PinSize();

    // The closing steps, safe to run from every way of closing: unload,
    // enable the opener, make it active.
    void Unload() { modal_.Close(Hwnd()); }

    // Shows the window and gives the focus to the given control.
    void ShowWithFocusOn(HWND control);

    // A button, label, frame ... in twips, with the given font.
    HWND AddWithFont(const wchar_t* className,
                     const std::wstring& text,
                     DWORD style,
                     int id,
                     int left,
                     int top,
                     int width,
                     int height,
                     HFONT font,
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

    // Routes button clicks to OnButton, and closing, focus and resize messages.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A button's id; also IDOK and IDCANCEL from Enter and Esc, which no button answers.
    virtual void OnButton(int /*id*/) {}
    virtual void Form_Unload() { Unload(); }
    virtual void Form_Resize() { PinSize(); }

    ModalByHand modal_;

  private:
    SIZE fixedSize_{0, 0};
    HWND lastFocus_ = nullptr;
};

// The whole text of a control.
std::wstring TextOf(HWND control);

// Brings an already loaded single-instance dialog to the front. True when
// the dialog is loaded.
bool ShowIfLoaded(const WindowBase* dialog);
