#pragma once
// The Find dialog: modeless, so it stays open while the user edits; what to
// find, whole word, match case, up or down. Its controls carry the ids of
// the system's own Find dialog. It is the program's own because the
// system's, under Wine, passes the text through the ANSI code page and loses
// Cyrillic where that code page has none.
#include <windows.h>

#include <string>

#include "editor/find_text.h"

constexpr int kFindWhatId = 0x480, kWholeWordId = 0x410, kMatchCaseId = 0x411, kUpId = 0x420, kDownId = 0x421;

class FindDialog {
  public:
    // Who Find Next asks to look.
    class Finder {
      public:
        virtual void FindNext(const std::wstring& what, const FindOptions& options) = 0;

      protected:
        ~Finder() = default;
    };
    FindDialog() = default;
    FindDialog(const FindDialog&) = delete;
    FindDialog& operator=(const FindDialog&) = delete;
    ~FindDialog();

    // Opens the dialog (or brings it to the front) with the text and options;
    // its Find Next button asks the finder.
    void Open(HWND owner, const std::wstring& what, const FindOptions& options, Finder& finder);
    // The open dialog, or nullptr.
    HWND Hwnd() const { return hwnd_; }

  private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);

    HWND hwnd_ = nullptr;
    Finder* finder_ = nullptr;
};
