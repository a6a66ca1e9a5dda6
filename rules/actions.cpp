#include "actions.h"

#include "game.h"

#include <algorithm>

namespace rules {

namespace {

bool endsGame(Action::Kind kind)
{
    return kind == Action::Kind::Play || kind == Action::Kind::Quit || kind == Action::Kind::CloseGame;
}

} // namespace

void Actions::attach(Game &game)
{
    m_game = &game;
    game.whenMissCovered([this] { replay(); });
}

void Actions::report(const Action &action)
{
    const bool pick = action.kind == Action::Kind::Pick;
    if (pick && (!m_game || !m_game->canPick(action.value)))
        return;
    if (!m_game || !m_game->isShowingMiss()) {
        perform(action);
        return;
    }
    if (pick && m_gameEnding)
        return;
    if (endsGame(action.kind)) {
        std::erase_if(m_held, [](const Action &held) { return held.kind == Action::Kind::Pick; });
        m_gameEnding = true;
    }
    m_held.push_back(action);
}

void Actions::perform(const Action &action)
{
    switch (action.kind) {
    case Action::Kind::Pick:
        if (m_game->canPick(action.value))
            m_game->imgFront_Click(action.value);
        break;
    case Action::Kind::Play:
        m_stage.play(action.value);
        break;
    case Action::Kind::Quit:
        m_stage.quit();
        break;
    case Action::Kind::CloseSetup:
    case Action::Kind::CloseGame:
        m_stage.close(action.kind);
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
