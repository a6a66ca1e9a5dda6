#pragma once

#include "gamestate.h"
#include "gameview.h"

#include <functional>

namespace runtime {
class Clock;
class RandomSource;
} // namespace runtime

namespace rules {

/**
 * One game on the board of a game view: the deal, the picks, the pair check and the scores. A miss stays on
 * show for two seconds on the clock while the program goes on; what the players do meanwhile waits for it
 * (see Actions).
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

    /** Whether cell `index` is on the board and shows its back, so that a click turns it. */
    bool canPick(int index) const;

    /** Whether a miss is on show, waiting to be covered. */
    bool isShowingMiss() const { return m_showingMiss; }

    /** Runs `covered` each time a miss has been covered and the turn has passed. */
    void whenMissCovered(std::function<void()> covered) { m_missCovered = std::move(covered); }

private:
    void checkPair();
    void delay(double seconds, std::function<void()> then);
    void coverMiss();
    void endTurn();
    void showScores();
    void announceWinner();

    GameState m_state;
    GameView &m_view;
    runtime::RandomSource &m_random;
    runtime::Clock &m_clock;
    bool m_showingMiss = false;
    std::function<void()> m_missCovered;
};

} // namespace rules
