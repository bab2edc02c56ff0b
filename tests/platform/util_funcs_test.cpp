#include "platform/util_funcs.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingCursor : IScreenCursor {
    std::vector<int> set;
    void SetCursor(int cursor) override { set.push_back(cursor); }
};

TEST(BusyCounter, NestedSectionsKeepTheHourglassUntilTheLastEnds) {
    RecordingCursor cursor;
    TBusyCounter busy(&cursor);
    busy.Begin();
    busy.Begin();
    busy.End();
    EXPECT_EQ(busy.Count(), 1);
    EXPECT_EQ(busy.Cursor(), crHourGlass);
    busy.End();
    EXPECT_EQ(busy.Cursor(), crDefault);
    busy.End(); // one too many: nothing
    EXPECT_EQ(busy.Count(), 0);
    EXPECT_EQ(cursor.set, (std::vector<int>{crHourGlass, crHourGlass, crDefault}));
}

TEST(BusyCounter, OpenLinkRestoresTheProcessCursor) {
    RecordingCursor cursor;
    SetScreenCursorSink(&cursor);
    BeginBusy();
    OpenLink("");
    EXPECT_EQ(BusyCount(), 1);
    EXPECT_EQ(ScreenCursor(), crHourGlass);
    EndBusy();
    SetScreenCursorSink(nullptr);
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(ScreenCursor(), crDefault);
    EXPECT_EQ(cursor.set, (std::vector<int>{crHourGlass, crHourGlass, crDefault}));
}

} // namespace
