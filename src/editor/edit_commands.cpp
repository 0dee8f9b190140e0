#include "editor/edit_commands.h"

// Every change goes through the document as a user's edit would, so it marks
// the document changed and Undo sees it.

void mnuCut_Click(Document& doc, Clipboard& clipboard) {
    clipboard.SetText(doc.Model().SelectedText());  // the clipboard first, the editor second
    doc.ReplaceSelection(L"");
}

void mnuCopy_Click(const Document& doc, Clipboard& clipboard) {
    clipboard.SetText(doc.Model().SelectedText());
}

void mnuPaste_Click(Document& doc, Clipboard& clipboard) {
    doc.ReplaceSelection(clipboard.GetText());
}

void mnuUndo_Click(Document& doc) {
    doc.Undo();
}

void mnuDel_Click(Document& doc) {
    doc.ReplaceSelection(L"");
}

void mnuAll_Click(Document& doc) {
    doc.Select(0, doc.Length());
}
