// The Win32 clipboard adapter against the real clipboard: text goes out and
// comes back as Unicode, other programs see it, and a clipboard held
// elsewhere is a PlatformError after a short wait, not a hang.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/win32/win32_platform.h"

namespace {

const wchar_t kCyrillic[] = L"\u041F\u0440\u0438\u0432\u0435\u0442, \u0451\u0401 \u2116 mov ax, 1\r\n";

// The program's window that owns what it puts on the clipboard.
class OwnerWindow {
  public:
    OwnerWindow()
        : hwnd_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
    ~OwnerWindow() { DestroyWindow(hwnd_); }
    HWND Get() const { return hwnd_; }

  private:
    HWND hwnd_;
};

// Reads the clipboard straight through the API, as another program would.
std::wstring RawUnicodeText() {
    if (!OpenClipboard(nullptr))
        return L"<not opened>";
    std::wstring text = L"<none>";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void RawSetAnsiText(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t n = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(memory), text, n);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

void RawEmpty() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

class ClipboardWinTest : public ::testing::Test {
  protected:
    ClipboardWinTest() { clipboard.SetOwner(owner.Get()); }
    OwnerWindow owner;
    Win32Clipboard clipboard;
};

TEST_F(ClipboardWinTest, TextGoesBothWaysAsUnicodeAndAnEmptyTextIsStillText) {
    ASSERT_NE(owner.Get(), nullptr);
    clipboard.SetText(kCyrillic);
    EXPECT_EQ(clipboard.GetText(), kCyrillic);
    EXPECT_EQ(RawUnicodeText(), kCyrillic);
    clipboard.SetText(L"");
    EXPECT_EQ(RawUnicodeText(), L"");
    RawSetAnsiText("mov ax, bx");  // put there by another program as ANSI text
    EXPECT_EQ(clipboard.GetText(), L"mov ax, bx");
    RawEmpty();
    EXPECT_EQ(clipboard.GetText(), L"");
}

TEST_F(ClipboardWinTest, AClipboardHeldElsewhereFailsAfterAShortWait) {
    clipboard.SetText(L"kept");
    enum { kPending, kOpened, kRefused };
    std::atomic<int> state{kPending};
    std::atomic<bool> release{false};
    std::thread holder([&] {
        OwnerWindow other;
        state = OpenClipboard(other.Get()) ? kOpened : kRefused;
        while (!release)
            Sleep(5);
        if (state == kOpened)
            CloseClipboard();
    });
    while (state == kPending)
        Sleep(5);
    if (state != kOpened) {
        release = true;
        holder.join();
        FAIL() << "the other thread could not open the clipboard";
    }
    const DWORD started = GetTickCount();
    bool threw = false;
    try {
        clipboard.SetText(L"lost");
    } catch (const PlatformError&) {
        threw = true;
    }
    const DWORD waited = GetTickCount() - started;
    release = true;
    holder.join();
    EXPECT_TRUE(threw);
    EXPECT_LT(waited, 3000u);
    EXPECT_EQ(clipboard.GetText(), L"kept");
}

}  // namespace
