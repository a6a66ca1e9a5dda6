#pragma once

#include "gamestate.h"
#include "gameview.h"

namespace runtime {
class Clock;
class RandomSource;
} // namespace runtime

namespace rules {

/** One game on the board of a game view: the deal, the picks, the pair check and the scores. */
class Game
{
public:
    Game(GameView &view, runtime::RandomSource &random, runtime::Clock &clock);

    GameState &state() { return m_state; }
    const GameState &state() const { return m_state; }

    /** Deals every cell 1..cellCount its face picture, each picture in play to two cells, and picks who
     * starts. */
    void deal();

    /** Turns up cell `index` if its back is showing; the second pick of a turn resolves it. */
    void imgFront_Click(Int16 index);

private:
    void checkPair();
    void showScores();
    void announceWinner();

    GameState m_state;
    GameView &m_view;
    runtime::RandomSource &m_random;
    runtime::Clock &m_clock;
};

} // namespace rules
