// Where a tool window was left: kept per user, and a damaged place gives none.
#include <gtest/gtest.h>

#include "fakes.h"
#include "settings/window_placement.h"

namespace {

TEST(WindowPlacement, APlaceComesBackAsSavedAndADamagedOneGivesNone) {
    FakeRegistry registry;
    const wchar_t kKey[] = L"Software\\Korveline\\Build results";
    EXPECT_FALSE(LoadWindowRect(registry, L"Build results"));
    SaveWindowRect(registry, L"Build results", {-20, 30, 400, 250});
    const auto rect = LoadWindowRect(registry, L"Build results");
    ASSERT_TRUE(rect);
    EXPECT_EQ(std::vector<int>({rect->left, rect->top, rect->width, rect->height}),
              std::vector<int>({-20, 30, 400, 250}));
    for (const std::uint32_t height : {0u, 100001u, 0xFFFFFFFFu}) {
        registry.Set(RegRoot::CurrentUser, kKey, L"Height", RegNumber(height));
        EXPECT_FALSE(LoadWindowRect(registry, L"Build results")) << height;
    }
    registry.Set(RegRoot::CurrentUser, kKey, L"Height", RegText(L"250"));
    EXPECT_FALSE(LoadWindowRect(registry, L"Build results"));
}

}  // namespace
