#pragma once
// The Go to line dialog: asks for a line number from 1 to the number of
// lines, made modal by hand over the window that opens it.
#include <cstddef>
#include <functional>

#include "platform/win32/dialog_window_win.h"

constexpr int kGoToLineBoxId = 100;  // the number's text box
inline const wchar_t kGoToLineClass[] = L"KorvelineGoToLine";

class GoToLineDialog : public DialogWindow {
  public:
    // Called with the chosen line, from 0; a number past the last line is the last line.
    using Chosen = std::function<void(std::size_t line)>;
    // Opens the dialog over the owner, the current line's number in the box.
    void Open(HWND owner, std::size_t currentLine, std::size_t lineCount, Chosen chosen);

  protected:
    void MakeFonts() override;
    void OnButton(int id) override;

  private:
    std::size_t lineCount_ = 0;
    std::wstring label_;
    Chosen chosen_;
    ScopedFont font_;
};
