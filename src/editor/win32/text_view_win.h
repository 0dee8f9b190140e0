#pragma once
// The editor control: a window class of the program's own that shows an
// EditModel and lays out only the lines in view, so that a text of many
// megabytes is taken in a blink. It answers the edit control's messages that
// the program and its tests send (WM_SETTEXT, WM_GETTEXT, EM_GETSEL,
// EM_SETSEL, EM_REPLACESEL, EM_UNDO ...) with their meaning for that control,
// and tells its parent of every user's change with EN_CHANGE; WM_SETTEXT and
// SetText tell nothing.
//
// Beyond the edit control it colours the syntax, shows line numbers, finds
// text and goes to a line; these are reached from its context menu and from
// keys that the menu bar leaves free (Ctrl+Shift+F, F3, Shift+F3, Ctrl+G).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/asm_syntax.h"
#include "editor/edit_model.h"
#include "editor/find_text.h"
#include "editor/view_layout.h"
#include "editor/view_settings.h"
#include "editor/win32/find_dialog_win.h"
#include "editor/win32/go_to_line_win.h"
#include "platform/win32/window_base_win.h"

inline const wchar_t kTextViewClass[] = L"KorvelineTextView";

class TextView : public WindowBase, private FindDialog::Finder {
  public:
    // A child window at a rectangle in pixels; style adds to WS_CHILD | WS_VISIBLE.
    HWND CreateControl(HWND parent, int id, DWORD style, DWORD exStyle, int x, int y, int width, int height);
    // The switches of the context menu as the user left them, and where a
    // change of them is kept.
    using KeepSettings = std::function<void(const ViewSettings&)>;
    void UseSettings(const ViewSettings& settings, KeepSettings keep);

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

    // A key of the view's own commands (Find, Find next, Go to line), which
    // the main window's tool windows pass on to the view.
    static bool IsCommandKey(WPARAM key);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    void OnPaint();
    void PaintRow(HDC dc, std::size_t line, int y);
    void OnKeyDown(WPARAM key);
    void OnChar(wchar_t c);
    void OnMouse(UINT message, WPARAM keys, int x, int y);
    void OnContextMenu(int x, int y);
    void OnScroll(int bar, int request);
    void SetFont(HFONT font);

    // Every event ends in one call of Refresh (through Changed when the text
    // may have changed): the scroll bars, the caret and what to repaint.
    void Changed(bool textChanged);
    void Refresh();
    // Before and after an edit: the colours below the edited lines are found again.
    std::size_t EditStarts() const;
    void Edited(std::size_t fromLine);
    void UpdateScrollBars();
    void SetBar(int bar, int max, UINT page, int pos);
    void PlaceCaret();
    void ShowPosition(std::size_t pos, bool centre = false);
    void ScrollTo(ViewPosition view);
    ViewMetrics Metrics() const;

    void OpenFindDialog();
    void FindNext(bool down);
    void FindNext(const std::wstring& what, const FindOptions& options) override;  // from the Find dialog
    void GoToLine();
    void Toggle(bool ViewSettings::*which);

    bool CopyToClipboard();
    void PasteFromClipboard();

    EditModel model_;
    SyntaxStates syntax_;
    ViewSettings settings_;
    KeepSettings keepSettings_;
    HFONT font_ = nullptr;
    int lineHeight_ = 16, charWidth_ = 8;
    ViewPosition view_;
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
        ViewPosition view{static_cast<std::size_t>(-1), -1};
        std::size_t lines = 0;
        int gutter = -1;
    } shown_;
    struct Typed {  // the lines that the key being handled edited
        bool edited = false;
        std::size_t from = 0, to = 0;
    } typed_;
    RowLayout row_;  // reused by every painted row, with the two below
    std::wstring shown_text_;
    std::vector<INT> advances_;

    // The Find dialog (modeless) and what it last looked for; Go to line.
    FindDialog findDialog_;
    GoToLineDialog goToLineDialog_;
    std::wstring findWhat_;
    FindOptions findOptions_;
};
