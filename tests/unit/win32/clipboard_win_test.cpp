// The clipboard adapter against the real clipboard: held by another program,
// it fails after a short wait instead of hanging, and what it held stays.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/win32_platform.h"

namespace {

TEST(ClipboardWin, AClipboardHeldElsewhereFailsAfterAShortWaitAndKeepsItsText) {
    const auto window = [] { return CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, 0, 0, 0, 0); };
    Win32Clipboard clipboard;
    clipboard.SetOwner(window());
    clipboard.SetText(L"\u041F\u0440\u0438\u0432\u0435\u0442\r\n");
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr),
           release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {  // another program, as far as the clipboard can tell
        const bool opened = OpenClipboard(window());
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        if (opened)
            CloseClipboard();
    });
    WaitForSingleObject(held, INFINITE);
    const DWORD started = GetTickCount();
    EXPECT_THROW(clipboard.SetText(L"lost"), PlatformError);
    EXPECT_THROW(clipboard.GetText(), PlatformError);
    EXPECT_LT(GetTickCount() - started, 3000u);
    SetEvent(release);
    holder.join();
    EXPECT_EQ(clipboard.GetText(), L"\u041F\u0440\u0438\u0432\u0435\u0442\r\n");
}

}  // namespace
