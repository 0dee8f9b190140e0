#pragma once
// Layouts are given in twips (1/1440 inch): 15 twips a pixel at 96 DPI.
inline int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>((scaled >= 0 ? scaled + 720 : scaled - 720) / 1440);
}
inline int PixelsToTwips(int pixels, int dpi) {
    return dpi > 0 ? static_cast<int>((static_cast<long long>(pixels) * 1440 + dpi / 2) / dpi) : pixels * 15;
}
// A font's height in pixels for its size in points (negative: the character height).
inline int PointsToFontHeight(double points, int dpi) {
    return -static_cast<int>(points * dpi / 72.0 + 0.5);
}
