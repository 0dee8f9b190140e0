#pragma once
// The editor control: a window class of the program's own that shows a
// Document and lays out only the lines in view, so that a text of many
// megabytes is taken in a blink. It answers the edit control's messages that
// the program, its tests and other programs send (WM_SETTEXT, WM_GETTEXT,
// EM_GETSEL, EM_SETSEL, EM_REPLACESEL, EM_UNDO ...) with their meaning for
// that control, on the document it shows.
//
// Beyond the edit control it colours the syntax, shows line numbers, finds
// text and goes to a line. The commands that reach these (its context menu,
// keys the menu bar leaves free) are the main window's: the view asks its
// parent for the context menu with WM_CONTEXTMENU at the mouse or the caret.
#include <windows.h>

#include <string>
#include <vector>

#include "editor/asm_syntax.h"
#include "editor/document.h"
#include "editor/edit_model.h"
#include "editor/find_text.h"
#include "editor/view_layout.h"
#include "editor/view_settings.h"
#include "editor/win32/find_dialog_win.h"
#include "editor/win32/go_to_line_win.h"
#include "platform/win32/window_base_win.h"

inline const wchar_t kTextViewClass[] = L"KorvelineTextView";
// Told to the parent as a WM_COMMAND notification, as an edit control tells
// EN_CHANGE: the user ticked or cleared Find's "Wrap around" (Settings()).
constexpr WORD kFindWrapChanged = 0x4001;

class TextView : public WindowBase, private FindDialog::Finder, private Document::Listener {
  public:
    // Shows the document for as long as the view lives.
    explicit TextView(Document& document);
    // A child window at a rectangle in pixels; style adds to WS_CHILD | WS_VISIBLE.
    HWND CreateControl(HWND parent, int id, DWORD style, DWORD exStyle, int x, int y, int width, int height);

    const ViewSettings& Settings() const { return settings_; }
    void SetViewSettings(const ViewSettings& settings);
    void ScrollCaret();

    // The commands the view carries out for its owner.
    void OpenFindDialog();
    bool CanFindNext() const { return !findWhat_.empty(); }
    void FindNext(bool down);
    void GoToLine();

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

    // Every event ends in one call of Refresh (through DocumentChanged when
    // the document changed): the scroll bars, the caret and what to repaint.
    void DocumentChanged(DocumentChange change, std::size_t fromLine) override;
    void Refresh();
    // The view's own edits, told to the document afterwards.
    std::size_t EditStarts() const;
    void ReplaceSelection(const std::wstring& text, bool undoable = true);
    void SetSelection(std::size_t anchor, std::size_t caret);
    void UpdateScrollBars();
    void SetBar(int bar, int max, UINT page, int pos);
    void PlaceCaret();
    void ShowPosition(std::size_t pos, bool centre = false);
    void ScrollTo(ViewPosition view);
    ViewMetrics Metrics() const;

    void FindNext(const std::wstring& what, const FindOptions& options) override;  // from the Find dialog

    bool CopyToClipboard();
    void PasteFromClipboard();

    Document& document_;
    EditModel& model_;  // the document's
    SyntaxStates syntax_;
    ViewSettings settings_;
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
