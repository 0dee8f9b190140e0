#pragma once
// The Edit menu: thin commands on the document's selection and the clipboard.
#include "editor/document.h"
#include "platform/clipboard.h"

void mnuCut_Click(Document& doc, Clipboard& clipboard);
void mnuCopy_Click(const Document& doc, Clipboard& clipboard);
void mnuPaste_Click(Document& doc, Clipboard& clipboard);
void mnuUndo_Click(Document& doc);
void mnuDel_Click(Document& doc);
void mnuAll_Click(Document& doc);
