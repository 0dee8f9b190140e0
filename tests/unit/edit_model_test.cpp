// The editor as its user works it: one step of undo as the platform's edit
// control keeps it, the caret's movements (CR LF is one step), deleting, and
// the columns that tabs make.
#include <gtest/gtest.h>

#include "editor/edit_model.h"

namespace {

EditModel With(const std::wstring& text, std::size_t caret = 0) {
    EditModel model;
    model.SetText(text);
    model.Select(caret, caret);
    return model;
}

void Type(EditModel& model, const std::wstring& text) {
    for (wchar_t c : text)
        model.ReplaceSelection(std::wstring(1, c));
}

struct Sel {
    std::size_t anchor, caret;
    bool operator==(const Sel& o) const { return anchor == o.anchor && caret == o.caret; }
};
std::ostream& operator<<(std::ostream& out, const Sel& s) {
    return out << "(" << s.anchor << ", " << s.caret << ")";
}
Sel SelOf(const EditModel& model) {
    return {model.Anchor(), model.Caret()};
}

TEST(EditModelUndo, OneStepThatASecondUndoReverts) {
    EditModel model = With(L"mov ax, bx", 4);
    model.Select(4, 6);
    model.ReplaceSelection(L"");  // a cut
    EXPECT_EQ(model.Text(), L"mov , bx");
    EXPECT_TRUE(model.Undo());
    EXPECT_EQ(model.Text(), L"mov ax, bx");
    EXPECT_EQ(SelOf(model), (Sel{4, 6}));  // what came back is selected
    EXPECT_TRUE(model.Undo());
    EXPECT_EQ(model.Text(), L"mov , bx");
    EXPECT_TRUE(model.Undo());
    EXPECT_EQ(model.Text(), L"mov ax, bx");
}

TEST(EditModelUndo, ARunOfTypingOrDeletingAtOnePlaceIsOneStep) {
    EditModel model = With(L"mov ax, bx", 3);
    model.Select(4, 6);
    Type(model, L"cx");  // replaces the selection, then types on
    EXPECT_EQ(model.Text(), L"mov cx, bx");
    model.Undo();
    EXPECT_EQ(model.Text(), L"mov ax, bx");

    model = With(L"abcdef", 4);
    model.DeleteBackward();
    model.DeleteBackward();  // Backspace twice
    model.Select(2, 2);
    model.DeleteForward();  // Delete on from the same place
    EXPECT_EQ(model.Text(), L"abf");
    model.Undo();
    EXPECT_EQ(model.Text(), L"abcdef");

    model = With(L"ab", 2);
    Type(model, L"xyz");
    model.DeleteBackward();  // takes back what was typed: still one step
    Type(model, L"w");
    EXPECT_EQ(model.Text(), L"abxyw");
    model.Undo();
    EXPECT_EQ(model.Text(), L"ab");

    model = With(L"ab", 0);
    Type(model, L"x");
    model.Select(3, 3);
    Type(model, L"y");  // elsewhere: a new step
    model.Undo();
    EXPECT_EQ(model.Text(), L"xab");
}

TEST(EditModelUndo, SettingTheTextForgetsIt) {
    EditModel model = With(L"a", 1);
    Type(model, L"b");
    EXPECT_TRUE(model.CanUndo());
    model.SetText(L"new");
    EXPECT_FALSE(model.Undo());
    EXPECT_EQ(model.Text(), L"new");
    EXPECT_EQ(SelOf(model), (Sel{0, 0}));
    EXPECT_FALSE(model.ReplaceSelection(L""));  // nothing selected, nothing typed: no change
}

TEST(EditModelCaret, CrLfIsOneStepAndShiftExtends) {
    EditModel model = With(L"ab\r\ncd", 2);
    model.Move(Motion::Right, false);
    EXPECT_EQ(model.Caret(), 4u);
    model.Move(Motion::Left, false);
    EXPECT_EQ(model.Caret(), 2u);
    model.Move(Motion::Right, true);
    model.Move(Motion::Right, true);
    EXPECT_EQ(SelOf(model), (Sel{2, 5}));
    EXPECT_EQ(model.SelectedText(), L"\r\nc");
    model.Move(Motion::Left, false);  // a selection collapses to its start
    EXPECT_EQ(SelOf(model), (Sel{2, 2}));
    model.Select(2, 5);
    model.Move(Motion::Right, false);
    EXPECT_EQ(SelOf(model), (Sel{5, 5}));
    model.Move(Motion::Home, true);
    EXPECT_EQ(SelOf(model), (Sel{5, 4}));
    model.Move(Motion::End, false);
    EXPECT_EQ(model.Caret(), 6u);
    model.Move(Motion::TextStart, true);
    EXPECT_EQ(SelOf(model), (Sel{6, 0}));
    model.Move(Motion::TextEnd, false);
    model.Move(Motion::Right, false);  // at the end it stays
    EXPECT_EQ(model.Caret(), 6u);
}

TEST(EditModelCaret, UpAndDownKeepTheColumnThroughShortLinesAndTabs) {
    EditModel model = With(L"0123456789\r\nab\r\n\tx\r\n0123456789", 9);
    model.Move(Motion::Down, false);
    EXPECT_EQ(model.Caret(), 14u);  // the end of "ab"
    model.Move(Motion::Down, false);
    EXPECT_EQ(model.Caret(), 18u);  // column 9 is after the tab (columns 0-7) and the x
    model.Move(Motion::Down, false);
    EXPECT_EQ(model.Caret(), 20u + 9);  // back at column 9
    model.Move(Motion::Down, false);    // the last line: it stays
    EXPECT_EQ(model.Caret(), 29u);
    model.Move(Motion::PageUp, true, 10);
    EXPECT_EQ(SelOf(model), (Sel{29, 9}));
    model.Move(Motion::Up, false);  // the first line: it stays
    EXPECT_EQ(model.Caret(), 9u);
    model.Move(Motion::PageDown, false, 2);
    EXPECT_EQ(model.Caret(), 18u);
}

// Only Up, Down, Page Up and Page Down keep the column where vertical
// movement began; any other motion starts from where the caret is.
TEST(EditModelCaret, OnlyVerticalMotionsKeepTheRememberedColumn) {
    const Motion others[] = {Motion::Left, Motion::Right, Motion::WordLeft,  Motion::WordRight,
                             Motion::Home, Motion::End,   Motion::TextStart, Motion::TextEnd};
    for (Motion other : others) {
        EditModel model = With(L"0123456789\r\nab\r\n0123456789\r\nx", 9);
        model.Move(Motion::Down, false);  // column 2, column 9 remembered
        model.Move(other, false);
        const std::size_t column = model.ColumnOf(model.Caret());
        const std::size_t line = model.Buffer().LineOf(model.Caret());
        model.Move(line == 0 ? Motion::Down : Motion::Up, false);
        EXPECT_EQ(model.Caret(), model.PosAtColumn(line == 0 ? 1 : line - 1, column))
            << static_cast<int>(other);
    }
    for (Motion vertical : {Motion::Up, Motion::Down, Motion::PageUp, Motion::PageDown}) {
        EditModel model =
            With(L"0123456789\r\nab\r\n0123456789\r\nab\r\n0123456789", 25);  // line 2, column 9
        const bool up = vertical == Motion::Up || vertical == Motion::PageUp;
        model.Move(vertical, false);  // to a short line
        model.Move(up ? Motion::Up : Motion::Down, false);
        EXPECT_EQ(model.ColumnOf(model.Caret()), 9u) << static_cast<int>(vertical);
    }
}

TEST(EditModelCaret, WordsSkipBlanksAndStopAtLineEnds) {
    EditModel model = With(L"mov  ax, [bx]\r\nint 21h", 0);
    const std::size_t stops[] = {5, 7, 9, 10, 12, 13, 15, 19, 22};
    for (std::size_t stop : stops) {
        model.Move(Motion::WordRight, false);
        EXPECT_EQ(model.Caret(), stop);
    }
    model.Move(Motion::WordLeft, false);  // back over the line end
    EXPECT_EQ(model.Caret(), 19u);
    model.Select(15, 15);
    model.Move(Motion::WordLeft, true);
    EXPECT_EQ(SelOf(model), (Sel{15, 13}));
    model.SelectWordAt(6);
    EXPECT_EQ(model.SelectedText(), L"ax");
    model.SelectWordAt(13);  // the end of a line: the word before it
    EXPECT_EQ(model.SelectedText(), L"]");
    model.SelectWordAt(14);  // between CR and LF: the same
    EXPECT_EQ(model.SelectedText(), L"]");
    model.Select(9, 9);  // after "ax," and a blank: back over the blank, then the comma
    model.Move(Motion::WordLeft, false);
    EXPECT_EQ(model.Caret(), 7u);
    model.SelectWordAt(16);  // Cyrillic letters and digits are word characters too
    EXPECT_EQ(model.SelectedText(), L"int");
    model = With(L"db 09Zz_@", 3);
    model.SelectWordAt(3);
    EXPECT_EQ(model.SelectedText(), L"09Zz_");
    model = With(L"\u0414\u0430\u043D\u043E db 1", 2);
    model.SelectWordAt(2);
    EXPECT_EQ(model.SelectedText(), L"\u0414\u0430\u043D\u043E");
}

TEST(EditModelDelete, BackspaceAndDeleteTakeCrLfAsOne) {
    EditModel model = With(L"ab\r\ncd", 4);
    EXPECT_TRUE(model.DeleteBackward());
    EXPECT_EQ(model.Text(), L"abcd");
    EXPECT_EQ(model.Caret(), 2u);
    model.ReplaceSelection(L"\r\n");
    model.Select(2, 2);
    EXPECT_TRUE(model.DeleteForward());
    EXPECT_EQ(model.Text(), L"abcd");
    model.Select(1, 3);
    EXPECT_TRUE(model.DeleteForward());  // a selection goes whole
    EXPECT_EQ(model.Text(), L"ad");
    model.Select(0, 0);
    EXPECT_FALSE(model.DeleteBackward());
    model.Select(2, 2);
    EXPECT_FALSE(model.DeleteForward());

    model = With(L"mov ax, bx", 10);
    EXPECT_TRUE(model.DeleteBackward(true));  // Ctrl+Backspace: the word
    EXPECT_EQ(model.Text(), L"mov ax, ");
    model.Undo();
    EXPECT_EQ(model.Text(), L"mov ax, bx");
}

TEST(EditModelColumns, TabsReachTheNextMultipleOfEightAndTheWidestLineIsKnown) {
    EditModel model = With(L"a\tb\r\n\t\tmov\r\nxy");
    EXPECT_EQ(model.ColumnOf(2), 8u);
    EXPECT_EQ(model.ColumnOf(3), 9u);
    EXPECT_EQ(model.ColumnOf(100), 2u);      // past the end: the end of the last line
    EXPECT_EQ(model.PosAtColumn(0, 3), 1u);  // the nearer side of the tab
    EXPECT_EQ(model.PosAtColumn(0, 5), 2u);
    EXPECT_EQ(model.PosAtColumn(1, 4), 6u);  // halfway across a tab: the far side
    EXPECT_EQ(model.PosAtColumn(1, 3), 5u);
    EXPECT_EQ(model.PosAtColumn(0, 50), 3u);
    EXPECT_EQ(model.PosAtColumn(9, 1), 13u);  // past the last line: the last line
    EXPECT_EQ(model.WidestLine(), 19u);
    model.Select(model.Length(), model.Length());
    model.ReplaceSelection(std::wstring(30, L'z'));
    EXPECT_EQ(model.WidestLine(), 32u);
    model.SetText(L"short");
    EXPECT_EQ(model.WidestLine(), 5u);
}

}  // namespace
