// The window procedure is the program's error boundary: an exception thrown
// while a window handles a message ends in one message box saying what
// failed, and the window goes on answering. A dialog moved to a monitor of
// another scale lays its twips out again, with fonts made for that scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <new>
#include <stdexcept>
#include <thread>

#include "platform/win32/dialog_window_win.h"

namespace {

constexpr UINT kFail = WM_APP + 1;

class InchDialog : public DialogWindow {
  public:
    std::function<void()> fail;
    int fontsMade = 0;
    HWND label = nullptr;
    InchDialog() {
        CreateDialogWindow(L"KorvelineInch", L"", WS_POPUP | WS_CAPTION, 2880, 1440);
        label = AddWithFont(L"STATIC", L"x", 0, 1, 1440, 720, 720, 360, &font_);
    }

  protected:
    void MakeFonts() override { ++fontsMade, font_.Reset(MakeFont(L"Arial", 12, Dpi())); }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        return message == kFail ? (fail(), 1) : DialogWindow::HandleMessage(message, wParam, lParam);
    }
    ScopedFont font_;
};

TEST(WindowBaseWin, AnExceptionInAWindowEndsInOneMessageSayingWhatFailedAndTheWindowGoesOn) {
    InchDialog window;
    const std::wstring lead = L"Korveline could not finish what it was doing: ",
                       tail = L"\r\n\r\nYour document is still open.";
    const std::pair<std::function<void()>, std::wstring> cases[] = {
        {[] { throw std::bad_alloc(); }, lead + L"there is not enough memory." + tail},
        {[] { throw PlatformError(L"WriteFile", ERROR_DISK_FULL); },
         lead + L"WriteFile failed.\r\n\r\n" + Win32System().ErrorText(ERROR_DISK_FULL) + tail},
        {[] { throw std::runtime_error("the listing is damaged"); }, lead + L"the listing is damaged" + tail},
    };
    for (const auto& [fail, expected] : cases) {
        window.fail = fail;
        wchar_t shown[512] = {};
        std::atomic<bool> answered{false};
        std::thread user([&] {  // reads the box and presses OK
            for (HWND box = nullptr; !answered; Sleep(20))
                if ((box = FindWindowW(L"#32770", nullptr)) && GetDlgItemTextW(box, 0xFFFF, shown, 512))
                    return (void)PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(SendMessageW(window.Hwnd(), kFail, 0, 0), 0);
        answered = true;
        user.join();
        EXPECT_EQ(shown, expected);
    }
}

TEST(WindowBaseWin, ADialogOnAMonitorOfAnotherScaleLaysItsTwipsOutAgainWithFontsForIt) {
    InchDialog dialog;
    RECT proposed{10, 20, 30, 40}, label{}, window{};
    SendMessageW(dialog.Hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&proposed));
    GetWindowRect(dialog.label, &label);
    MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&label), 2);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog.label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::to_string(label.left) + "," + std::to_string(label.top) + "," +
                  std::to_string(label.right) + "," + std::to_string(label.bottom) + " " +
                  std::to_string(font.lfHeight),
              "192,96,288,144 -32");
    EXPECT_EQ(dialog.fontsMade, 2);
    GetWindowRect(dialog.Hwnd(), &window);
    EXPECT_TRUE(window.left == 10 && window.top == 20 && window.right - window.left >= 384);
}

}  // namespace
