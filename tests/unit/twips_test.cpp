// Layouts in twips become pixels for the screen's DPI.
#include <gtest/gtest.h>

#include "platform/twips.h"

TEST(Twips, FifteenTwipsAPixelAtNinetySixDpi) {
    EXPECT_EQ(TwipsToPixels(9255, 96), 617);
    EXPECT_EQ(TwipsToPixels(5685, 96), 379);
    EXPECT_EQ(TwipsToPixels(400, 96), 27);  // 26.67 rounds to 27
    EXPECT_EQ(TwipsToPixels(-2000, 96), -133);
    EXPECT_EQ(TwipsToPixels(5820, 144), 582);  // 150 % scaling
    EXPECT_EQ(PixelsToTwips(617, 96), 9255);
    EXPECT_EQ(PointsToFontHeight(9.75, 96), -13);
    EXPECT_EQ(PointsToFontHeight(11.25, 96), -15);
}
