// The editor control answers the edit control's messages as that control does,
// where the end-to-end tests do not reach: what tells the parent of a change,
// -1 and backward selections, and what WM_GETTEXT gives.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor/win32/text_view_win.h"

namespace {

int changes = 0;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    changes += message == WM_COMMAND && wParam == MAKEWPARAM(7, EN_CHANGE);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(TextView, AnswersTheEditControlsMessagesAsThatControlDoes) {
    WNDCLASSW parentClass{0, ParentProc, 0, 0, GetModuleHandleW(nullptr), 0, 0, 0, 0, L"TextViewTestParent"};
    RegisterClassW(&parentClass);
    TextView view;
    HWND hwnd = view.CreateControl(
        CreateWindowExW(0, L"TextViewTestParent", L"", 0, 0, 0, 400, 300, 0, 0, parentClass.hInstance, 0), 7,
        WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 380, 200);
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;  // -2: not looked at
        int changes;     // told to the parent so far
    } steps[] = {
        {WM_SETTEXT, 0, LPARAM(L"ab\r\ncd"), TRUE, 0},  // setting the text tells nothing
        {EM_SETSEL, 5, 1, -2, 0},
        {EM_GETSEL, 0, 0, MAKELRESULT(1, 5), 0},  // backwards: the same selection
        {EM_SETSEL, WPARAM(-1), 0, -2, 0},
        {EM_GETSEL, 0, 0, MAKELRESULT(1, 1), 0},  // -1: none, the caret stays
        {EM_SETSEL, 100, -1, -2, 0},
        {EM_GETSEL, 0, 0, MAKELRESULT(6, 6), 0},
        {EM_LINEINDEX, WPARAM(-1), 0, 4, 0},
        {EM_LINEINDEX, 2, 0, -1, 0},
        {EM_REPLACESEL, FALSE, LPARAM(L"e"), -2, 1},
        {EM_CANUNDO, 0, 0, FALSE, 1},  // not undoable
        {WM_CHAR, 0x07, 0, -2, 1},     // Ctrl+G types nothing
        {WM_CHAR, L'\r', 0, -2, 2},
        {EM_CANUNDO, 0, 0, TRUE, 2},
        {WM_GETTEXTLENGTH, 0, 0, 9, 2},
        {WM_GETTEXT, 4, LPARAM(buffer), 3, 2},  // what fits, then a NUL
    };
    for (const auto& s : steps) {
        const LRESULT result = SendMessageW(hwnd, s.message, s.wParam, s.lParam);
        EXPECT_TRUE(s.result == -2 || result == s.result) << "message " << s.message << " gave " << result;
        EXPECT_EQ(changes, s.changes) << "after message " << s.message;
    }
    EXPECT_EQ(std::wstring(buffer, 4), std::wstring(L"ab\r\0", 4));
    view.SetText(std::wstring(L"a\0b", 3));  // NUL characters held and given whole
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0) + changes, 3 + 2);
    DestroyWindow(GetParent(hwnd));
}

}  // namespace
