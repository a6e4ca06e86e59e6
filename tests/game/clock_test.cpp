#include "game/text.h"
#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;

struct TickCase {
    double countBefore; // the clock's seconds before the tick
    double countAfter;
    const char* shown;
};

class Ticks : public ::testing::TestWithParam<TickCase> {};

TEST_P(Ticks, CountASecondAndShowOneMore) {
    GameFixture f;
    f.game.stbStatusBar.Panels(3).Tag = GetParam().countBefore;
    f.game.timElapsed_Timer();
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Tag, GetParam().countAfter);
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Clock, Ticks,
    ::testing::Values(TickCase{0, 1, "0:00:02"}, TickCase{58, 59, "0:01:00"},
                      TickCase{3597, 3598, "0:59:59"}, TickCase{3598, 3599, "1:00:00"},
                      TickCase{32765, 32766, "9:06:07"}, TickCase{32766, 32767, "9:06:08"},
                      TickCase{32767, 32768, "9:06:09"}, TickCase{86398, 86399, "24:00:00"},
                      TickCase{3600.0 * 1000, 3600.0 * 1000 + 1, "1000:00:02"}));

TEST(Clock, FiftyNineTicksFromALevelStartShowOneMinute) {
    GameFixture f;
    for (int i = 0; i < 59; ++i) {
        f.game.timElapsed_Timer();
    }
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Tag, 59);
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, "0:01:00");
}

TEST(Clock, NumbersAreWrittenAsTheGameShowsThem) {
    EXPECT_EQ(TimeText(0), "0:00:00");
    EXPECT_EQ(TimeText(59.9), "0:00:59");
    EXPECT_EQ(NumberText(9999999), "9999999");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(12.5), "12.5");
}

} // namespace
} // namespace pylons
