// The Edit menu: what the editor and the clipboard hold after each command.
#include <gtest/gtest.h>

#include "editor/document.h"
#include "editor/edit_commands.h"
#include "fakes.h"

namespace {

class EditCommandsTest : public ::testing::Test {
  protected:
    EditCommandsTest() {
        view.text = L"mov ax, bx";
        view.onChange = [this] { doc.DocChanged = 1; };
    }
    void Select(std::size_t start, std::size_t length) { view.SetSelection(start, length); }

    FakeMainView view;
    FakeClipboard clipboard;
    DocumentState doc;
};

TEST_F(EditCommandsTest, CopyAndCutPutTheSelectionOnTheClipboardAndCutIsOneUndoableChange) {
    Select(4, 2);
    mnuCopy_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L"ax");
    EXPECT_EQ(view.text, L"mov ax, bx");
    EXPECT_EQ(doc.DocChanged, 0);
    Select(3, 0);  // nothing selected: an empty text, nothing changed
    mnuCut_Click(view, clipboard);
    EXPECT_TRUE(clipboard.hasText);
    EXPECT_EQ(clipboard.text, L"");
    EXPECT_EQ(doc.DocChanged, 0);

    Select(3, 4);
    mnuCut_Click(view, clipboard);
    EXPECT_EQ(clipboard.text, L" ax,");
    EXPECT_EQ(view.text, L"mov bx");
    EXPECT_EQ(doc.DocChanged, 1);
    mnuUndo_Click(view);
    EXPECT_EQ(view.text, L"mov ax, bx");
    mnuUndo_Click(view);  // a second Undo undoes the first
    EXPECT_EQ(view.text, L"mov bx");
}

TEST_F(EditCommandsTest, PasteReplacesTheSelectionWithTheClipboardsTextOrNothing) {
    Select(3, 4);
    mnuPaste_Click(view, clipboard);  // no text on the clipboard: the selection goes
    EXPECT_EQ(view.text, L"mov bx");
    EXPECT_EQ(doc.DocChanged, 1);
    clipboard.SetText(L"\u041F\r\n");
    Select(0, 0);
    mnuPaste_Click(view, clipboard);
    EXPECT_EQ(view.text, L"\u041F\r\nmov bx");
}

TEST_F(EditCommandsTest, DeleteAndSelectAllNeverTouchTheClipboard) {
    clipboard.busy = true;
    mnuAll_Click(view);
    EXPECT_EQ(view.SelectedText(), L"mov ax, bx");
    Select(0, 4);
    mnuDel_Click(view);
    EXPECT_EQ(view.text, L"ax, bx");
    EXPECT_EQ(doc.DocChanged, 1);
    view.SetEditorText(L"");
    mnuAll_Click(view);
    EXPECT_EQ(view.selStart + view.selLength, 0u);
}

// A clipboard held by another program fails the command as a whole: the
// window skips it, and the editor is exactly as it was.
TEST_F(EditCommandsTest, ABusyClipboardLeavesTheEditorAsItWas) {
    clipboard.busy = true;
    Select(4, 2);
    EXPECT_FALSE(SkipOnFailure([&] { mnuCut_Click(view, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuPaste_Click(view, clipboard); }));
    EXPECT_FALSE(SkipOnFailure([&] { mnuCopy_Click(view, clipboard); }));
    EXPECT_EQ(view.text, L"mov ax, bx");
    EXPECT_EQ(view.SelectedText(), L"ax");
    EXPECT_EQ(doc.DocChanged, 0);
}

}  // namespace
