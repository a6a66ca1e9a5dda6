#pragma once

#include "rules/game.h"
#include "rules/gameview.h"

#include <QWidget>

#include <array>

namespace windows {

class Forms;

/** The window that holds the board and the game played on it. */
class GameWindow : public QWidget, public rules::GameView
{
    Q_OBJECT

public:
    explicit GameWindow(Forms &forms);

    /** Reads the board size from the setup window and deals a game for it. */
    void setUp();

    const rules::GameState &state() const { return m_game.state(); }
    /** The picture number dealt to `cell`. */
    int dealtPicture(int cell) const { return m_faces.at(size_t(cell)); }
    QString turnCaption() const { return m_turn; }

    bool isBackShowing(int cell) const override;
    void setBackVisible(int cell, bool visible) override;
    void setFaceVisible(int cell, bool visible) override;
    void repaintFace(int cell) override;
    quint32 facePicture(int cell) const override;
    void putPicture(int cell, int picture) override;
    QString playerName(int player) const override;
    void setTurnCaption(const QString &text) override;
    void setPlayerCaption(int player, const QString &text) override;
    void setScoreCaption(int player, const QString &text) override;
    void setWinnerCaption(const QString &text) override;
    void showWinner() override;

private:
    Forms &m_forms;
    rules::Game m_game;
    std::array<int, 41> m_faces {};
    QString m_turn;
};

} // namespace windows
