#pragma once
// One small base for every window of the program: the C++ object is bound to
// its HWND at WM_NCCREATE, and one static window procedure routes messages
// to the object's HandleMessage. That procedure is the program's error
// boundary: an exception that reaches it is shown in one message box, and
// the program goes on.
#include <windows.h>

#include <string>

#include "platform/twips.h"
#include "platform/win32/handles_win.h"

class WindowBase {
  public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND Hwnd() const { return hwnd_; }
    // The DPI of the window's monitor; after WM_DPICHANGED, the new one.
    int Dpi() const;
    int Px(int twips) const { return TwipsToPixels(twips, Dpi()); }

    // Window rectangle in twips, as the program's layouts give positions.
    int Left() const;
    int Top() const;
    void MoveTo(int leftTwips, int topTwips);

    // The program's icon, from its resources (large and small forms).
    static HICON ProgramIcon(bool small);

  protected:
    // Registers the class on first use; every class carries the program's icon.
    static void RegisterWindowClass(const wchar_t* className,
                                    HBRUSH background = nullptr,
                                    UINT classStyle = 0,
                                    const wchar_t* cursor = IDC_ARROW);
    HWND Create(const wchar_t* className,
                const std::wstring& title,
                DWORD style,
                DWORD exStyle,
                int x,
                int y,
                int width,
                int height,
                HWND parent = nullptr,
                HMENU menu = nullptr);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone; a window that owns itself deletes itself here.
    virtual void OnDestroyed() {}
    // A tool window (Find, Build results) is enabled and disabled with its
    // owner, so that it cannot be used while a dialog holds the owner disabled.
    void FollowOwnerEnabled();

    // A child control at a rectangle given in twips.
    HWND AddControl(const wchar_t* className,
                    const std::wstring& text,
                    DWORD style,
                    int id,
                    int left,
                    int top,
                    int width,
                    int height,
                    HWND parent = nullptr,
                    DWORD exStyle = 0);

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    int dpi_ = 0;  // the DPI of the last WM_DPICHANGED, 0 before one
};

// Cyrillic character set (204) fonts of the program's layouts. A face that
// the system lacks falls back to one of the same pitch that shows Cyrillic.
HFONT MakeFont(const wchar_t* face, double points, int dpi, bool bold = false, bool fixedPitch = false);
// The font of the platform's message boxes at a size in points, with the
// Cyrillic character set: the face of the program's own small dialogs.
HFONT MakeMessageFont(double points, int dpi);
void SetControlFont(HWND control, HFONT font);

// "Modal by hand": a modeless dialog disables its opener when it loads; every
// way of closing it unloads it, enables the opener and makes it active.
class ModalByHand {
  public:
    void Load(HWND opener) {
        opener_ = opener;
        closing_ = false;
        EnableWindow(opener_, FALSE);
    }
    // Safe to call from every closing path: a nested call is ignored.
    void Close(HWND dialog) {
        if (closing_)
            return;
        closing_ = true;
        // The opener is enabled before the dialog goes, so that Windows does
        // not hand the activation to another program in between.
        EnableWindow(opener_, TRUE);
        if (IsWindow(dialog))
            DestroyWindow(dialog);
        SetActiveWindow(opener_);
    }
    HWND Opener() const { return opener_; }

  private:
    HWND opener_ = nullptr;
    bool closing_ = false;
};
