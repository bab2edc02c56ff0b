// Display scale: the rounding of scaled numbers, the choice of the picture rendering, the
// main window's places at every density.
#include "windows/main_form_layout.h"
#include "winkit/display_scale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DisplayScale, RoundsHalfAwayFromZeroAsMulDiv) {
    EXPECT_EQ(Scale(11, 96), 11);
    EXPECT_EQ(Scale(11, 144), 17);  // 16.5
    EXPECT_EQ(Scale(86, 120), 108); // 107.5
    EXPECT_EQ(Scale(77, 144), 116); // 115.5
    EXPECT_EQ(Scale(35, 120), 44);  // 43.75
    EXPECT_EQ(Scale(-3, 144), -5);  // -4.5
    EXPECT_EQ(Scale(783, 192), 1566);
    EXPECT_EQ(Scale(TBounds{24, 400, 86, 77}, 144), (TBounds{36, 600, 129, 116}));
}

TEST(DisplayScale, PicksTheRenderingAtOrAboveTheScale) {
    const std::pair<int, int> cases[] = {{72, 100},  {96, 100},  {97, 125},  {120, 125}, {121, 150},
                                         {144, 150}, {168, 200}, {192, 200}, {288, 200}};
    for (const auto& [dpi, percent] : cases)
        EXPECT_EQ(PictureScale(dpi), percent) << dpi;
}

// Rounding each number on its own must not make places that are apart in the table touch or
// overlap at any density: the child windows, the buttons and the fixed-size graphics.
TEST(DisplayScale, PlacesApartAt96DpiStayApartAtEveryDensity) {
    std::vector<std::pair<std::string, TBounds>> places;
    for (const TControlPlace& c : kMainControls)
        places.emplace_back(c.name, c.bounds);
    for (const TButtonPlace& b : kMainButtons)
        places.emplace_back(b.name, b.bounds);
    for (const TGraphic& g : MainFormGraphics())
        if (g.kind != TGraphic::Kind::Label && g.name != "ImageMain" && g.name != "ImageIconGood" &&
            g.name != "ImageIconError") // the same place
            places.emplace_back(g.name, g.bounds);
    const auto apart = [](const TBounds& a, const TBounds& b) {
        return a.left + a.width <= b.left || b.left + b.width <= a.left ||
               a.top + a.height <= b.top || b.top + b.height <= a.top;
    };
    for (int dpi = 96; dpi <= 288; ++dpi)
        for (std::size_t i = 0; i < places.size(); ++i)
            for (std::size_t j = i + 1; j < places.size(); ++j) {
                ASSERT_TRUE(apart(places[i].second, places[j].second));
                EXPECT_TRUE(apart(Scale(places[i].second, dpi), Scale(places[j].second, dpi)))
                    << places[i].first << " and " << places[j].first << " at " << dpi;
            }
}

} // namespace
