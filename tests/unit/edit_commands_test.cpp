// The Edit menu: what the editor and the clipboard hold after each command.
#include <gtest/gtest.h>

#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

TEST(EditCommands, CopyCutPasteDeleteAndSelectAll) {
    FakeMainView view;
    FakeClipboard clipboard;
    view.text = L"mov ax, bx";
    view.SetSelection(4, 2);
    mnuCopy_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L"ax");
    EXPECT_FALSE(view.undoText) << "a copy changes nothing";
    view.SetSelection(3, 4);
    mnuCut_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L" ax,");
    EXPECT_EQ(view.text, L"mov bx");
    mnuUndo_Click(view);
    EXPECT_EQ(view.text, L"mov ax, bx");

    view.SetSelection(0, 4);
    mnuPaste_Click(view, clipboard);
    EXPECT_EQ(view.text, L" ax,ax, bx");
    view.SetSelection(0, 4);
    mnuDel_Click(view);
    EXPECT_EQ(view.text, L"ax, bx");
    mnuAll_Click(view);
    EXPECT_EQ(view.SelectedText(), L"ax, bx");
}

// A clipboard held by another program fails the command as a whole: the
// window skips it, and the editor is exactly as it was.
TEST(EditCommands, ABusyClipboardLeavesTheEditorAsItWas) {
    FakeMainView view;
    FakeClipboard clipboard;
    view.text = L"mov ax, bx";
    view.SetSelection(4, 2);
    clipboard.busy = true;
    EXPECT_FALSE(SkipOnFailure([&] { mnuCut_Click(view, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuPaste_Click(view, clipboard); }));
    EXPECT_EQ(view.text, L"mov ax, bx");
    EXPECT_EQ(view.SelectedText(), L"ax");
}

}  // namespace
