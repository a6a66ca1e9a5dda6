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
    int card = 0; // the card of a pick
    int cellCount = 0; // the board size that a play plays, as chosen when PLAY was pressed

    static Action pick(int card) { return {Kind::Pick, card, 0}; }
    static Action play(int cellCount) { return {Kind::Play, 0, cellCount}; }
};

/** The program's two windows that a player can close. */
enum class Window { Setup, Game };

/** What the windows carry out for the actions that are not picks. */
class Stage
{
public:
    virtual ~Stage() = default;

    /** Shows the game window and starts a game of `cellCount` cards on it. */
    virtual void play(int cellCount) = 0;
    /** Ends the program. */
    virtual void quit() = 0;
    /** Closes `window`, as its frame would. */
    virtual void close(Window window) = 0;
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
    /** What became of a reported action. */
    enum class Outcome {
        Now, // carried out; a close, by the window's own close that reported it, which goes on
        Held, // waits for the miss on show; a close is then carried out by the stage
        Dropped, // does nothing, now or later
    };

    explicit Actions(Stage &stage) : m_stage(stage) { }

    /** The game that picks are made in, from the first PLAY on; its misses make actions wait. */
    void attach(Game &game);
    Outcome report(const Action &action);

private:
    void perform(const Action &action);
    void replay();

    Stage &m_stage;
    Game *m_game = nullptr;
    std::deque<Action> m_held;
    bool m_gameEnding = false; // a held action ends the game on show
};

} // namespace rules
