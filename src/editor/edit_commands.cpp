#include "editor/edit_commands.h"

// Every change goes through the editor as a user's edit would, so the
// editor's change notification marks the document changed and Undo sees it.

void mnuCut_Click(MainWindowView& view, Clipboard& clipboard) {
    clipboard.SetText(view.SelectedText());  // the clipboard first, the editor second
    view.ReplaceSelection(L"");
}

void mnuCopy_Click(MainWindowView& view, Clipboard& clipboard) {
    clipboard.SetText(view.SelectedText());
}

void mnuPaste_Click(MainWindowView& view, Clipboard& clipboard) {
    view.ReplaceSelection(clipboard.GetText());
}

void mnuUndo_Click(MainWindowView& view) {
    view.Undo();
}

void mnuDel_Click(MainWindowView& view) {
    view.ReplaceSelection(L"");
}

void mnuAll_Click(MainWindowView& view) {
    view.SetSelection(0, view.EditorTextLength());
}
