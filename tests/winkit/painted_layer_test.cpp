// The painted labels and images of both windows, and the About box's texts.
#include "windows/about_texts.h"
#include "windows/main_form_layout.h"
#include "winkit/painted_layer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every character is 6 x 13 pixels; invalidated areas are recorded.
struct Recorder {
    std::vector<TBounds> areas;
    TPaintedLayer Layer() {
        return TPaintedLayer(
            [](const std::string& text, int) {
                return TSize{static_cast<int>(text.size()) * 6, 13};
            },
            [this](const TBounds& area) { areas.push_back(area); });
    }
};

TEST(PaintedLayer, RepaintsOnlyWhatChanged) {
    Recorder rec;
    TPaintedLayer layer = rec.Layer();
    for (const TGraphic& g : MainFormGraphics())
        layer.Add(g);
    rec.areas.clear();

    // The idle pass sets the counters again and again: the same text asks for no painting,
    // which is what keeps a window at rest.
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(layer.SetText("LabelTotalCount", "..."), false);
    EXPECT_TRUE(rec.areas.empty());

    // A longer text grows the label; both the old and the new area are repainted.
    EXPECT_TRUE(layer.SetText("LabelTotalCount", "10000"));
    const TGraphic* count = layer.Find("LabelTotalCount");
    EXPECT_EQ(count->bounds, (TBounds{680, 496, 30, 13}));
    ASSERT_EQ(rec.areas.size(), 2u);
    EXPECT_EQ(rec.areas[0], (TBounds{680, 496, 18, 13}));
    EXPECT_EQ(rec.areas[1], count->bounds);

    // A word-wrapped label keeps its size; an unknown name changes nothing.
    rec.areas.clear();
    EXPECT_TRUE(layer.SetText("LabelInfo", "a much longer text than before"));
    EXPECT_EQ(layer.Find("LabelInfo")->bounds, (TBounds{112, 488, 457, 78}));
    EXPECT_EQ(rec.areas.size(), 1u);
    EXPECT_FALSE(layer.SetText("LabelNowhere", "x"));
    EXPECT_FALSE(layer.SetVisible("LabelInfo", true));
}

TEST(PaintedLayer, ExactlyOneInfoIconShowsAtATime) {
    Recorder rec;
    TPaintedLayer layer = rec.Layer();
    for (const TGraphic& g : MainFormGraphics())
        layer.Add(g);
    const auto shown = [&] {
        std::vector<std::string> names;
        for (const TGraphic& g : layer.Items())
            if (g.group == kInfoIconGroup && g.visible)
                names.push_back(g.name);
        return names;
    };
    // Before anything else runs (say, reading the settings failed), the neutral icon only.
    EXPECT_EQ(shown(), std::vector<std::string>{"ImageIconInfo"});
    for (TInfoIcon icon : {TInfoIcon::Error, TInfoIcon::Good, TInfoIcon::Good, TInfoIcon::Info}) {
        layer.ShowOnly(InfoIconName(icon));
        EXPECT_EQ(shown(), std::vector<std::string>{InfoIconName(icon)});
    }
    // The rest of the layer is untouched by the switching.
    EXPECT_TRUE(layer.Find("LabelInfo")->visible);
    // The top-most visible graphic answers a hit.
    EXPECT_EQ(layer.HitTest(40, 500)->name, "ImageIconInfo");
    EXPECT_EQ(layer.HitTest(5, 5)->name, "ImageMain");
}

TEST(AboutTexts, ValuesAreFilledInOnceAndLiterally) {
    TGlobalVars vars;
    vars.Version = "1.2.3";
    vars.Copyright = "Example Holder";
    vars.HelpHomePageLink = "https://home.example/";
    TAboutTexts t = AboutTexts("Sweeper", vars, 2026);
    EXPECT_EQ(t.caption, "About Sweeper");
    EXPECT_EQ(t.appName, "Sweeper");
    EXPECT_EQ(t.version, "Version 1.2.3");
    EXPECT_EQ(t.copyright, "Copyright (c) 2026 Example Holder");
    EXPECT_EQ(t.web, "https://home.example/");

    // Placeholders inside the values are text, not further placeholders.
    vars.Copyright = "100%d %s Holder";
    vars.Version = "%s";
    t = AboutTexts("50% %d Tool", vars, 1999);
    EXPECT_EQ(t.caption, "About 50% %d Tool");
    EXPECT_EQ(t.version, "Version %s");
    EXPECT_EQ(t.copyright, "Copyright (c) 1999 100%d %s Holder");

    // Empty values stay empty.
    t = AboutTexts("", TGlobalVars{}, 2000);
    EXPECT_EQ(t.caption, "About ");
    EXPECT_EQ(t.version, "Version ");
    EXPECT_EQ(t.copyright, "Copyright (c) 2000 ");
    EXPECT_EQ(t.web, "");
}

} // namespace
