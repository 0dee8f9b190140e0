#pragma once
// frmBuildResults: what the last build had to say, one row per message and a
// last row about the output. A tool window owned by the main window, never
// modal, but disabled while the main window is; double-click or Enter on a
// row shows its line in the editor, Esc closes it, and it keeps its place and
// size for the user. The main window's keys typed in it go to the main window.
#include <windows.h>

#include <functional>
#include <vector>

#include "compile/build_results.h"
#include "platform/win32/window_base_win.h"
#include "settings/user_settings.h"

inline const wchar_t kBuildResultsClass[] = L"KorvelineBuildResults";

class FrmBuildResults : public WindowBase {
  public:
    // A row's line of the document, with the build and the document's text
    // that the rows speak of (BuildResults::build, documentGeneration).
    using GoToLine = std::function<void(std::size_t line, unsigned build, unsigned documentGeneration)>;
    FrmBuildResults(UserSettings& user, GoToLine goToLine);

    // Shows the rows and makes the window active, opening it where the user
    // last left it.
    void Show(HWND owner, const BuildResults& results);
    // Shows the rows if the window is open; a closed window stays closed.
    void Update(const BuildResults& results);

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool Open(HWND owner);
    void Fill(const BuildResults& results);
    void ActivateRow(int index);
    void SetListFont();
    void Layout();
    void SavePlace();

    UserSettings& user_;
    GoToLine goToLine_;
    std::vector<ResultRow> rows_;
    unsigned build_ = 0, documentGeneration_ = 0;
    HWND list_ = nullptr;
    ScopedFont font_;
};
