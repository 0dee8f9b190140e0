#pragma once
// frmBoot: the splash window. 700 ms after it loads, its timer shows the
// main window and unloads the splash.
#include <functional>

#include "platform/win32/window_base_win.h"

class FrmBoot : public WindowBase {
  public:
    explicit FrmBoot(std::function<void()> showMain) : showMain_(std::move(showMain)) {}
    void Show();

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Form_Load();
    void Timer1_Timer();
    void Paint(HDC dc);
    HFONT FittingCreditFont() const;

    std::function<void()> showMain_;
    ScopedFont creditFont_;
    ScopedFont titleFont_;
};
