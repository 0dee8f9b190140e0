// The editor control's messages mean what they mean for the edit control,
// where the end-to-end tests do not reach: what tells the parent of a change,
// -1 and backward selections, and text holding NUL characters.
#include <windows.h>

#include <gtest/gtest.h>

#include "editor/win32/text_view_win.h"

namespace {

int changes = 0;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 7 && HIWORD(wParam) == EN_CHANGE)
        ++changes;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(TextView, AnswersTheEditControlsMessagesAsThatControlDoes) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TextViewTestParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    TextView view;
    HWND hwnd = view.CreateControl(parent, 7, WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 380, 200);
    const auto send = [&](UINT message, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageW(hwnd, message, w, l);
    };
    const auto text = [](const wchar_t* s) { return reinterpret_cast<LPARAM>(s); };
    DWORD start = 0xdeadbeef, end = 0xdeadbeef;
    const auto selection = [&] {
        send(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return std::make_pair(start, end);
    };

    EXPECT_EQ(send(WM_SETTEXT, 0, text(L"ab\r\ncd")), TRUE);
    EXPECT_EQ(changes, 0);  // setting the text tells nothing
    send(EM_SETSEL, 5, 1);  // backwards: the same selection
    EXPECT_EQ(selection(), std::make_pair(DWORD{1}, DWORD{5}));
    EXPECT_EQ(send(EM_GETSEL), MAKELRESULT(1, 5));
    send(EM_SETSEL, static_cast<WPARAM>(-1), 0);  // -1: no selection, the caret (1) stays
    EXPECT_EQ(selection(), std::make_pair(DWORD{1}, DWORD{1}));
    send(EM_SETSEL, 100, static_cast<LPARAM>(-1));
    EXPECT_EQ(selection(), std::make_pair(DWORD{6}, DWORD{6}));
    EXPECT_EQ(send(EM_LINEINDEX, static_cast<WPARAM>(-1)), 4);
    EXPECT_EQ(send(EM_LINEINDEX, 2), -1);

    send(EM_REPLACESEL, FALSE, text(L"e"));  // not undoable
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
    send(WM_CHAR, 0x07);  // Ctrl+G types nothing
    send(WM_CHAR, L'\r');
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(send(EM_CANUNDO), TRUE);

    view.SetText(std::wstring(L"a\0b\r\n", 5));
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(send(WM_GETTEXTLENGTH), 5);
    EXPECT_EQ(send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);  // what fits, then a NUL
    EXPECT_EQ(std::wstring(buffer, 4), std::wstring(L"a\0b\0", 4));
    EXPECT_EQ(view.Text(), std::wstring(L"a\0b\r\n", 5));
    EXPECT_EQ(send(EM_CANUNDO), FALSE);
    EXPECT_EQ(changes, 2);
    DestroyWindow(parent);
}

}  // namespace
