#pragma once

#include <deque>

namespace rules {

class Game;

/** Something a player did, as the windows report it: the kind of action and what it was done to. */
struct Action
{
    enum class Kind {
        Pick, // a card turned, by click, key or assistive technology
        Play, // PLAY
        Quit, // QUIT
        CloseSetup, // the setup window closed through its frame
        CloseGame, // the game window closed through its frame
    };

    Kind kind;
    int value = 0; // the card of a pick; the board size that a play plays, as chosen when PLAY was pressed
};

/** What the windows carry out for the actions that are not picks. */
class Stage
{
public:
    virtual ~Stage() = default;

    /** Shows the game window and starts a game of `cellCount` cards on it. */
    virtual void play(int cellCount) = 0;
    /** Ends the program. */
    virtual void quit() = 0;
    /** Closes the window that a CloseSetup or CloseGame action names. */
    virtual void close(Action::Kind window) = 0;
};

/**
 * Every action of the players passes here. A pick is judged when it is made: one on a card that does not show
 * its back does nothing, now or later. While a miss is on show the game stands still, so actions wait and are
 * carried out once it is covered, in order. An action that ends the game on show (PLAY, QUIT, closing the
 * game window) takes the picks made in that game with it: they were meant for a board that will not be
 * played.
 */
class Actions
{
public:
    explicit Actions(Stage &stage) : m_stage(stage) { }

    /** The game that picks are made in, from the first PLAY on; its misses make actions wait. */
    void attach(Game &game);
    void report(const Action &action);

private:
    void perform(const Action &action);
    void replay();

    Stage &m_stage;
    Game *m_game = nullptr;
    std::deque<Action> m_held;
    bool m_gameEnding = false; // a held action ends the game on show
};

} // namespace rules
