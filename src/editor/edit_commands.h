#pragma once
// The Edit menu: thin commands on txtCode's selection and the clipboard.
#include "platform/clipboard.h"
#include "platform/main_window.h"

void mnuCut_Click(MainWindowView& view, Clipboard& clipboard);
void mnuCopy_Click(MainWindowView& view, Clipboard& clipboard);
void mnuPaste_Click(MainWindowView& view, Clipboard& clipboard);
void mnuUndo_Click(MainWindowView& view);
void mnuDel_Click(MainWindowView& view);
void mnuAll_Click(MainWindowView& view);
