// The fonts the layouts ask for exist in some form on this Windows, with the
// Cyrillic character set, even where the face itself is missing.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/window_base_win.h"

namespace {

struct Metrics {
    TEXTMETRICW tm{};
    std::wstring face;
};

Metrics MetricsOf(HFONT font) {
    Metrics m;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsW(dc, &m.tm);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    m.face = face;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return m;
}

TEST(Fonts, EditorFontIsFixedPitchAndShowsCyrillic) {
    HFONT font = MakeFont(L"Fixedsys", 9.75, 96, false, true);
    ASSERT_NE(font, nullptr);
    const Metrics m = MetricsOf(font);
    // TMPF_FIXED_PITCH set means a variable pitch font.
    EXPECT_EQ(m.tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0)
        << "face: " << std::string(m.face.begin(), m.face.end());
    EXPECT_EQ(m.tm.tmCharSet, RUSSIAN_CHARSET);
    EXPECT_GT(m.tm.tmHeight, 8);
    DeleteObject(font);
}

TEST(Fonts, DialogFontShowsCyrillic) {
    HFONT font = MakeFont(L"Times New Roman", 11.25, 96, true);
    ASSERT_NE(font, nullptr);
    const Metrics m = MetricsOf(font);
    EXPECT_EQ(m.tm.tmCharSet, RUSSIAN_CHARSET) << "face: " << std::string(m.face.begin(), m.face.end());
    EXPECT_GE(m.tm.tmWeight, FW_BOLD);
    DeleteObject(font);
}

}  // namespace
