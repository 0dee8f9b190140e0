#pragma once
// frmMain: the main window with its menu bar and the editor txtCode.
#include <windows.h>

#include <memory>

#include "app/startup.h"
#include "app/win32/frm_build_results.h"
#include "compile/build_pipeline.h"
#include "compile/dos_route.h"
#include "editor/document_commands.h"
#include "editor/win32/text_view_win.h"
#include "platform/main_window.h"
#include "platform/win32/dos_host_win.h"
#include "platform/win32/window_base_win.h"

// Posted to the main window when a build's script has ended.
constexpr UINT WM_BUILD_ENDED = WM_APP + 1;

class FrmMain : public WindowBase, public MainWindowView {
  public:
    explicit FrmMain(ProgramContext& program);
    ~FrmMain() override;

    // Creates, loads and shows the window.
    void Show();
    HACCEL Accelerators() const { return accelerators_; }
    const MainFields& Fields() const { return fields_; }

    // MainWindowView
    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;
    std::wstring EditorText() const override;
    void SetEditorText(const std::wstring& text) override;
    void TakeEditorText(std::wstring&& text) override;
    std::size_t EditorTextLength() const override;
    std::wstring SelectedText() const override;
    void ReplaceSelection(const std::wstring& text) override;
    void SetSelection(std::size_t start, std::size_t length) override;
    void Undo() override;
    void EmptyUndo() override;
    void SetRunEnabled(bool enabled) override;
    bool RunEnabled() const override;
    void SetRegChecked(bool checked) override;
    bool RegChecked() const override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void txtCode_Change();
    void OnCommand(int id);
    void mnuExit_Click();
    void mnuReg_Click();
    void BuildMenuBar();
    void ShowFailure(const std::wstring& what, const PlatformError& error);
    void Build(BuildKind kind);
    void OnBuildEnded();
    void GoToAssemblerLine(std::size_t line);

    ProgramContext& program_;
    MainFields fields_;
    CommonDialog CDialog;
    DocumentCommands documents_;
    TextView txtCode;
    Win32DosHost dosHost_;
    DosRoute dosRoute_;  // builds and runs DOS programs through DOSBox where Windows cannot
    HMENU menuBar_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ScopedFont editorFont_;
    bool exitChecked_ = false;  // the exit question is asked at most once per closing
    // The results of the latest build, handed over from the thread that saw
    // its script end; an earlier build's that ends later is dropped.
    struct BuildEnd;
    std::shared_ptr<BuildEnd> buildEnd_;
    FrmBuildResults frmBuildResults;
};
