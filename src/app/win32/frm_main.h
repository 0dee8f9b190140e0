#pragma once
// frmMain: the main window with its menu bar and the editor txtCode.
#include <windows.h>

#include "app/startup.h"
#include "editor/document_commands.h"
#include "editor/win32/text_view_win.h"
#include "platform/main_window.h"
#include "platform/win32/window_base_win.h"

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

    ProgramContext& program_;
    MainFields fields_;
    CommonDialog CDialog;
    DocumentCommands documents_;
    TextView txtCode;
    HMENU menuBar_ = nullptr;
    HACCEL accelerators_ = nullptr;
    ScopedFont editorFont_;
    bool exitChecked_ = false;  // the exit question is asked at most once per closing
};
