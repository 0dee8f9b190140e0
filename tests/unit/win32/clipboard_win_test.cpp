// The clipboard adapter against the real clipboard: Unicode text both ways and
// other programs' text, and a clipboard held elsewhere failing after a short
// wait instead of hanging.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/win32/win32_platform.h"

namespace {

// Puts the bytes on the clipboard in the format as another program would; format 0 empties it.
void PutAsAnotherProgram(UINT format, const void* bytes, std::size_t size) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = format ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (memory) {
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        SetClipboardData(format, memory);
    }
    CloseClipboard();
}

class ClipboardWinTest : public ::testing::Test {
  protected:
    ClipboardWinTest() { clipboard.SetOwner(owner); }
    ~ClipboardWinTest() override { DestroyWindow(owner); }
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    Win32Clipboard clipboard;
};

TEST_F(ClipboardWinTest, TextGoesBothWaysAsUnicodeAndOtherProgramsTextIsRead) {
    const std::wstring cyrillic = L"\u041F\u0440\u0438\u0432\u0435\u0442, \u0451\u0401 \u2116 mov ax, 1\r\n";
    const struct {
        UINT format;  // put there by another program; 0: by the adapter
        std::wstring text, read;
    } cases[] = {{0, cyrillic, cyrillic},
                 {0, L"", L""},
                 {CF_UNICODETEXT, cyrillic, cyrillic},
                 {CF_TEXT, L"mov ax, bx", L"mov ax, bx"}};
    for (const auto& c : cases) {
        const std::string ansi(c.text.begin(), c.text.end());
        if (!c.format)
            clipboard.SetText(c.text);
        else if (c.format == CF_TEXT)
            PutAsAnotherProgram(c.format, ansi.c_str(), ansi.size() + 1);
        else
            PutAsAnotherProgram(c.format, c.text.c_str(), (c.text.size() + 1) * sizeof(wchar_t));
        EXPECT_EQ(clipboard.GetText(), c.read) << c.format;
        ASSERT_TRUE(OpenClipboard(nullptr));  // as another program reads it
        HANDLE data = GetClipboardData(CF_UNICODETEXT);
        EXPECT_EQ(data ? std::wstring(static_cast<const wchar_t*>(GlobalLock(data))) : L"", c.read);
        if (data)
            GlobalUnlock(data);
        CloseClipboard();
    }
    PutAsAnotherProgram(0, nullptr, 0);  // no text at all
    EXPECT_EQ(clipboard.GetText(), L"");
}

TEST_F(ClipboardWinTest, AClipboardHeldElsewhereFailsAfterAShortWaitAndKeepsItsText) {
    clipboard.SetText(L"kept");
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr),
           release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const bool opened = OpenClipboard(nullptr);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        if (opened)
            CloseClipboard();
    });
    WaitForSingleObject(held, INFINITE);
    const DWORD started = GetTickCount();
    EXPECT_THROW(clipboard.SetText(L"lost"), PlatformError);
    EXPECT_LT(GetTickCount() - started, 3000u);
    SetEvent(release);
    holder.join();
    EXPECT_EQ(clipboard.GetText(), L"kept");
    CloseHandle(held);
    CloseHandle(release);
}

}  // namespace
