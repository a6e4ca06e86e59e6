#include "support/game_fixture.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

using testing::GameFixture;
using testing::Layout;
using testing::LayoutOf;
using testing::ReadBytes;
using testing::Solve;

// Every level from 3 to 9, played by dragging alone, in the fewest moves. Finishing a level
// sets up the next one from inside the last drop; under AddressSanitizer this also proves that
// nothing of the old level is used after it is gone.
TEST(Playthrough, EveryLevelInTheFewestMovesEntersFirstPlaceAndWritesTheFile) {
    GameFixture f;
    const int fewest[] = {7, 15, 31, 17, 25, 33, 41};
    for (int level = 3; level <= 9; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        ASSERT_EQ(f.game.Level(), level);
        const int poles = level <= 5 ? 3 : 4;
        const auto moves = Solve(level, poles);
        ASSERT_EQ(moves.size(), static_cast<std::size_t>(fewest[level - 3]));
        f.desktop.calls.clear();
        f.desktop.names = {"Player " + std::to_string(level)};
        f.desktop.answers = {MsgResult::No};
        f.Moves(moves);

        const HiScoreRecord& first = f.game.HiScores.Record(HiScoreTable::RecordNumber(level, 1));
        EXPECT_EQ(first.Moves, moves.size());
        EXPECT_EQ(first.Name.Str(), ("Player " + std::to_string(level)).append(17, ' '));
        EXPECT_EQ(first.Time.View(), "0:00:00   ") << "no tick came: the clock never ran";
        const auto table = f.game.HiScores.Encode();
        EXPECT_EQ(ReadBytes(f.HiScoreFile()),
                  std::vector<std::uint8_t>(table.begin(), table.end()));
        ASSERT_EQ(f.desktop.calls.size(), 4u);
        EXPECT_EQ(f.desktop.calls[2], level == 3 ? "InputBox Hiscore: You name []"
                                                 : "InputBox Hiscore: You name [Player " +
                                                       std::to_string(level - 1) + "]");
    }
    EXPECT_EQ(f.game.Level(), 9);
    EXPECT_EQ(LayoutOf(f.game), (Layout{{{}, {}, {}, {9, 8, 7, 6, 5, 4, 3, 2, 1}}}));
    EXPECT_EQ(f.game.Window.Width, 5340);
    EXPECT_FALSE(f.game.Unloaded);
}

TEST(Playthrough, TheClockRunsFromTheFirstDragAndStandsStillAfterTheLevel) {
    GameFixture f;
    const auto moves = Solve(3, 3);
    f.Move(moves[0].first, moves[0].second);
    ASSERT_TRUE(f.game.timElapsed.Enabled);
    for (int tick = 0; tick < 5; ++tick) {
        f.game.timElapsed_Timer();
    }
    f.desktop.names = {"Ann"};
    f.Moves({moves.begin() + 1, moves.end()});
    EXPECT_FALSE(f.game.timElapsed.Enabled);
    EXPECT_EQ(f.game.HiScores.Record(1).Time.View(), "0:00:06   ");
    EXPECT_EQ(f.game.stbStatusBar.Panels(3).Text, "0:00:00") << "level 4 waits for a drag";
    EXPECT_EQ(f.game.stbStatusBar.Panels(2).Text, "Fastest time 0:00:00   ");
}

} // namespace
} // namespace pylons
