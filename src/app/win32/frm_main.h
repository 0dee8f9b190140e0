#pragma once
// frmMain: the main window. It holds the document and shows it in the editor
// txtCode, carries the menu bar, and routes every command of the command
// table to the document, the build session or a tool window.
#include <windows.h>

#include "app/command_table.h"
#include "app/startup.h"
#include "app/win32/frm_build_results.h"
#include "compile/build_session.h"
#include "editor/document.h"
#include "editor/document_commands.h"
#include "editor/win32/text_view_win.h"
#include "platform/win32/dos_host_win.h"
#include "platform/win32/window_base_win.h"

// Posted to the main window when a build's script has ended.
constexpr UINT WM_BUILD_ENDED = WM_APP + 1;

class FrmMain : public WindowBase, private Document::Listener {
  public:
    explicit FrmMain(ProgramContext& program);
    ~FrmMain() override;

    // Creates, loads and shows the window.
    void Show();
    HACCEL Accelerators() const { return accelerators_; }

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct CommandState {
        bool enabled = true;
        bool checked = false;
    };

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void ExitCheckOnce();
    void BuildMenuBar();
    // Each command is carried out here and says here when it can be.
    void OnCommand(Command command);
    CommandState StateOf(Command command) const;
    void UpdateMenuBar();
    void ShowContextMenu(int x, int y);
    void ToggleViewSetting(bool ViewSettings::*which, UserSwitch kept);
    void ShowFailure(const std::wstring& what, const PlatformError& error);
    void OnBuildEnded();
    void GoToResultLine(std::size_t line, unsigned build, unsigned generation);
    void SetEditorFont(int dpi);
    // The caption mirrors the document's path.
    void DocumentChanged(DocumentChange change, std::size_t fromLine) override;

    ProgramContext& program_;
    MainFields fields_;
    Document document_;
    CommonDialog CDialog;
    DocumentCommands documents_;
    TextView txtCode;
    Win32DosHost dosHost_;
    BuildSession session_;
    FrmBuildResults frmBuildResults;
    HMENU menuBar_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ScopedFont editorFont_;
    bool exitChecked_ = false;  // the exit question is asked at most once per closing
};
