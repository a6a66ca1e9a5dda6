#pragma once

#include "gamestate.h"
#include "gameview.h"

#include <deque>
#include <functional>

namespace runtime {
class Clock;
class RandomSource;
} // namespace runtime

namespace rules {

/**
 * One game on the board of a game view: the deal, the picks, the pair check and the scores. A miss stays on
 * show for two seconds on the clock while the program goes on; what the players do meanwhile waits here and
 * happens after it, in the order it was done.
 */
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

    /** Whether a miss is on show, waiting to be covered. */
    bool isShowingMiss() const { return m_showingMiss; }

    /**
     * Runs a player's action now or, while a miss is on show, once the miss is covered and the turn has
     * passed, after the actions that were held before it.
     */
    void whenSettled(std::function<void()> action);

private:
    void checkPair();
    void delay(double seconds, std::function<void()> then);
    void coverMiss();
    void endTurn();
    void showScores();
    void announceWinner();
    void replayHeld();

    GameState m_state;
    GameView &m_view;
    runtime::RandomSource &m_random;
    runtime::Clock &m_clock;
    bool m_showingMiss = false;
    std::deque<std::function<void()>> m_held;
};

} // namespace rules
