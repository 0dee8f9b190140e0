#pragma once
// The editor control: a window class of the program's own that shows an
// EditModel and lays out only the lines in view, so that a text of many
// megabytes is taken in a blink. It answers the edit control's messages that
// the program and its tests send (WM_SETTEXT, WM_GETTEXT, EM_GETSEL,
// EM_SETSEL, EM_REPLACESEL, EM_UNDO ...) with their meaning for that control,
// and tells its parent of every user's change with EN_CHANGE; WM_SETTEXT and
// SetText tell nothing.
#include <windows.h>

#include <string>

#include "editor/edit_model.h"
#include "platform/win32/window_base_win.h"

inline const wchar_t kTextViewClass[] = L"KorvelineTextView";

class TextView : public WindowBase {
  public:
    // A child window at a rectangle in pixels; style adds to WS_CHILD | WS_VISIBLE.
    HWND CreateControl(HWND parent, int id, DWORD style, DWORD exStyle, int x, int y, int width, int height);

    // The program's own access: whole strings, NUL characters included.
    std::wstring Text() const { return model_.Text(); }
    std::size_t TextLength() const { return model_.Length(); }
    void SetText(std::wstring text);  // a moved string is taken over, not copied
    std::wstring SelectedText() const { return model_.SelectedText(); }
    // As the user's edit: undoable (unless told otherwise), tells the parent.
    void ReplaceSelection(const std::wstring& text, bool undoable = true);
    void SetSelection(std::size_t anchor, std::size_t caret);
    void ScrollCaret();
    void Undo();
    void EmptyUndo() { model_.EmptyUndo(); }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void OnPaint();
    void PaintLine(HDC dc, std::size_t line, int y, int width);
    void OnKeyDown(WPARAM key);
    void OnChar(wchar_t c);
    void OnMouse(UINT message, WPARAM keys, int x, int y);
    void OnContextMenu(int x, int y);
    void OnScroll(int bar, int request);
    void SetFont(HFONT font);
    // After a change of the text, the selection or the view.
    void Changed(bool textChanged);
    void Refresh();
    void UpdateScrollBars();
    void SetBar(int bar, int max, UINT page, int pos);
    void PlaceCaret();
    void ScrollTo(std::ptrdiff_t topLine, int xOffset);
    std::size_t VisibleLines() const;
    std::size_t PosFromPoint(int x, int y) const;
    bool CopyToClipboard();
    void PasteFromClipboard();

    static constexpr int kMargin = 2;  // pixels left of the first column, as the edit control leaves

    EditModel model_;
    HFONT font_ = nullptr;
    int lineHeight_ = 16, charWidth_ = 8;
    std::size_t topLine_ = 0;
    int xOffset_ = 0;  // pixels scrolled to the left
    bool focused_ = false;
    bool dragging_ = false;
    int wheelRest_ = 0;  // wheel movement not yet turned into lines
    struct BarState {
        int max = -1;
        UINT page = 0;
        int pos = -1;
    };
    BarState bars_[2];  // what the horizontal and vertical bars were last set to
    struct Shown {      // the view when it was last repainted whole
        std::size_t top = static_cast<std::size_t>(-1);
        int xOffset = -1;
        std::size_t lines = 0;
    } shown_;
    struct Typed {  // the lines that the key being handled edited
        bool edited = false;
        std::size_t from = 0, to = 0;
    } typed_;
};
