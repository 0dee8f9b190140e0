#pragma once
// The Find dialog: modeless, so it stays open while the user edits; what to
// find, whole word, match case, wrap around, up or down. Its controls carry
// the ids of the system's own Find dialog. It is the program's own because the
// system's, under Wine, passes the text through the ANSI code page and loses
// Cyrillic where that code page has none. A tool window of the main window:
// disabled while the main window is.
#include <string>

#include "editor/find_text.h"
#include "platform/win32/dialog_window_win.h"

constexpr int kFindWhatId = 0x480, kWholeWordId = 0x410, kMatchCaseId = 0x411, kWrapAroundId = 0x412,
              kUpId = 0x420, kDownId = 0x421;
inline const wchar_t kFindDialogClass[] = L"KorvelineFind";

class FindDialog : public DialogWindow {
  public:
    // Who Find Next asks to look.
    class Finder {
      public:
        virtual void FindNext(const std::wstring& what, const FindOptions& options) = 0;

      protected:
        ~Finder() = default;
    };

    // Opens the dialog (or brings it to the front) with the text and options;
    // its Find Next button asks the finder.
    void Open(HWND owner, const std::wstring& what, const FindOptions& options, Finder& finder);

  protected:
    void MakeFonts() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnButton(int id) override;
    void Form_Unload() override { DestroyWindow(Hwnd()); }

  private:
    Finder* finder_ = nullptr;
    ScopedFont font_;
};
