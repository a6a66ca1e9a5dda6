#include "game.h"

#include "runtime/clock.h"
#include "runtime/random.h"

#include <array>
#include <chrono>
#include <cmath>

namespace rules {

namespace {

constexpr int deckSize = 40;

using Deck = std::array<Int16, deckSize + 1>;

Int16 &at(Deck &deck, int position)
{
    if (position < 0 || position > deckSize)
        runtime::fail(QStringLiteral("Subscript out of range"));
    return deck[size_t(position)];
}

} // namespace

Game::Game(GameView &view, runtime::RandomSource &random, runtime::Clock &clock)
    : m_view(view), m_random(random), m_clock(clock)
{ }

void Game::deal()
{
    GameState &s = m_state;
    Deck deck {};
    for (s.loopIndex = 1; s.loopIndex <= deckSize; s.loopIndex += 1)
        at(deck, s.loopIndex) = s.loopIndex;

    m_random.randomize();
    const double half = s.cellCount / 2.0;
    Int16 remaining = s.cellCount;
    const Int16 last = s.cellCount;
    for (Int16 cell = 1; cell <= last; cell += 1) {
        // floor(r * n) + 1, computed as the integer part of r * n + 1 in double precision.
        const double r = m_random.next();
        s.cellIndex = runtime::floorToInt16(r * double(float(remaining)) + 1.0);
        const Int16 value = at(deck, s.cellIndex);
        // Values v and v + half give the same picture; the comparison is strict, so half keeps its own
        // number.
        const Int16 picture = value > half ? runtime::roundToInt16(double(value) - half) : value;
        m_view.putPicture(cell, picture);
        std::swap(at(deck, s.cellIndex), at(deck, remaining));
        remaining = remaining - 1;
    }

    s.currentPlayer = runtime::floorToInt16(2.0 * double(m_random.next())).value();
    m_view.setTurnCaption(m_view.playerName(s.currentPlayer));
}

void Game::imgFront_Click(Int16 index)
{
    Q_ASSERT(index >= 1 && index <= m_state.cellCount);
    Q_ASSERT(!m_showingMiss);
    if (!m_view.isBackShowing(index))
        return;
    GameState &s = m_state;
    s.picksThisTurn = s.picksThisTurn + 1;
    if (s.picksThisTurn == 1)
        s.firstPick = index.value();
    else
        s.secondPick = index.value();
    m_view.setBackVisible(index, false);
    m_view.setFaceVisible(index, true);
    // The face is on screen at once, whatever comes after it in this turn.
    m_view.repaintFace(index);
    if (s.picksThisTurn == 2)
        checkPair();
}

bool Game::canPick(int index) const
{
    return index >= 1 && index <= m_state.cellCount.value() && m_view.isBackShowing(index);
}

void Game::checkPair()
{
    GameState &s = m_state;
    Q_ASSERT(s.picksThisTurn == 2 && s.firstPick != s.secondPick);
    s.picksThisTurn = 0;
    // Two cells are a pair when they show the very same picture object of the library.
    const bool pair = m_view.facePicture(s.firstPick) == m_view.facePicture(s.secondPick);
    m_view.attemptResolved(pair);
    if (pair) {
        s.score[s.currentPlayer] = s.score[s.currentPlayer] + 1;
        endTurn();
        return;
    }
    // Both faces stay up for the pause; the program answers everything but the players meanwhile.
    m_showingMiss = true;
    delay(2, [this] {
        coverMiss();
        endTurn();
        m_showingMiss = false;
        if (m_missCovered)
            m_missCovered();
    });
}

// Runs `then` once `seconds` have passed on the clock, from the event loop.
void Game::delay(double seconds, std::function<void()> then)
{
    m_clock.after(std::chrono::milliseconds(std::llround(std::ceil(seconds * 1000))), std::move(then));
}

void Game::coverMiss()
{
    const GameState &s = m_state;
    m_view.setBackVisible(s.firstPick, true);
    m_view.setFaceVisible(s.firstPick, false);
    m_view.setBackVisible(s.secondPick, true);
    m_view.setFaceVisible(s.secondPick, false);
}

// The end of every attempt, pair or miss: the score area, the end of the game, and the turn passes.
void Game::endTurn()
{
    GameState &s = m_state;
    showScores();
    const Byte found = s.score[0] + s.score[1];
    if (double(found) == s.cellCount / 2.0)
        announceWinner();
    // The turn passes after every attempt, a pair and the last pair included.
    s.currentPlayer = s.currentPlayer == 0 ? 1 : 0;
    m_view.setTurnCaption(m_view.playerName(s.currentPlayer));
}

void Game::showScores()
{
    m_view.setPlayerCaption(0, m_view.playerName(0));
    m_view.setPlayerCaption(1, m_view.playerName(1));
    m_view.setScore(0, m_state.score[0]);
    m_view.setScore(1, m_state.score[1]);
}

void Game::announceWinner()
{
    const auto &score = m_state.score;
    if (score[0] > score[1])
        m_view.setWinnerCaption(QStringLiteral("Congratulations ") + m_view.playerName(0)
                                + QStringLiteral(" !"));
    else if (score[0] == score[1])
        m_view.setWinnerCaption(QStringLiteral("It's a tie.  Congratulations to you both!"));
    else
        m_view.setWinnerCaption(QStringLiteral("Congratulations ") + m_view.playerName(1)
                                + QStringLiteral(" !"));
    m_view.showWinner();
}

} // namespace rules
