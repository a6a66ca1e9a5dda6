#include "actions.h"

#include "game.h"

#include <algorithm>

namespace rules {

namespace {

bool endsGame(Action::Kind kind)
{
    return kind == Action::Kind::Play || kind == Action::Kind::Quit || kind == Action::Kind::CloseGame;
}

bool closes(Action::Kind kind)
{
    return kind == Action::Kind::CloseSetup || kind == Action::Kind::CloseGame;
}

} // namespace

void Actions::attach(Game &game)
{
    m_game = &game;
    game.whenMissCovered([this] { replay(); });
}

Actions::Outcome Actions::report(const Action &action)
{
    const bool pick = action.kind == Action::Kind::Pick;
    if (pick && (!m_game || !m_game->canPick(action.card)))
        return Outcome::Dropped;
    if (!m_game || !m_game->isShowingMiss()) {
        if (!closes(action.kind))
            perform(action);
        return Outcome::Now;
    }
    if (pick && m_gameEnding)
        return Outcome::Dropped;
    if (endsGame(action.kind)) {
        std::erase_if(m_held, [](const Action &held) { return held.kind == Action::Kind::Pick; });
        m_gameEnding = true;
    }
    m_held.push_back(action);
    return Outcome::Held;
}

void Actions::perform(const Action &action)
{
    switch (action.kind) {
    case Action::Kind::Pick:
        if (m_game->canPick(action.card))
            m_game->imgFront_Click(action.card);
        break;
    case Action::Kind::Play:
        m_stage.play(action.cellCount);
        break;
    case Action::Kind::Quit:
        m_stage.quit();
        break;
    case Action::Kind::CloseSetup:
        m_stage.close(Window::Setup);
        break;
    case Action::Kind::CloseGame:
        m_stage.close(Window::Game);
        break;
    }
}

// What waited for the miss, in order, against the board as it is now. A pick may start another miss: the rest
// then waits for that one too.
void Actions::replay()
{
    m_gameEnding = false;
    while (!m_game->isShowingMiss() && !m_held.empty()) {
        const Action action = m_held.front();
        m_held.pop_front();
        perform(action);
    }
}

} // namespace rules
