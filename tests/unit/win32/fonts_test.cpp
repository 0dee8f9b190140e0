// The fonts the layouts ask for exist in some form on this Windows, with the
// Cyrillic character set, even where the face itself is missing.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/window_base_win.h"

namespace {

TEST(Fonts, TheEditorsAndTheDialogsFontsShowCyrillicInTheirPitchAndWeight) {
    const struct {
        const wchar_t* face;
        double points;
        bool bold, fixedPitch;
    } fonts[] = {{L"Fixedsys", 9.75, false, true}, {L"Times New Roman", 11.25, true, false}};
    for (const auto& f : fonts) {
        HFONT font = MakeFont(f.face, f.points, 96, f.bold, f.fixedPitch);
        ASSERT_NE(font, nullptr);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        DeleteObject(font);
        EXPECT_EQ(tm.tmCharSet, RUSSIAN_CHARSET) << f.points;
        EXPECT_GT(tm.tmHeight, 8);
        EXPECT_TRUE(!f.fixedPitch || !(tm.tmPitchAndFamily & TMPF_FIXED_PITCH));  // the bit: a variable pitch
        EXPECT_TRUE(!f.bold || tm.tmWeight >= FW_BOLD);
    }
}

}  // namespace
