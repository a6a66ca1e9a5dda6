#pragma once

#include "rules/game.h"
#include "rules/gameview.h"
#include "runtime/controlarray.h"
#include "runtime/imagecell.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace windows {

class Forms;

/** The window that holds the board, the score area and the game played on them. */
class GameWindow : public QWidget, public rules::GameView
{
    Q_OBJECT

public:
    explicit GameWindow(Forms &forms);

    /** Lays out a board of the size chosen on the setup window and deals a game on it. */
    void setUp();
    /** Ends the program. */
    void cmdQuit_Click();
    /** A click on the back of cell `index`. */
    void imgFront_Click(int index);

    const rules::GameState &state() const { return m_game.state(); }

    QPushButton *cmdQuit;
    QLabel *lblTurn;
    QLabel *Label1;
    std::array<QLabel *, 2> lblPlayers;
    std::array<QLabel *, 2> lblScore;
    QLabel *lblWinner;
    runtime::ControlArray<runtime::ImageCell> imgFront;
    runtime::ControlArray<runtime::ImageCell> imgFractal;

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
    using CellLoader = std::function<runtime::ImageCell &(int index)>;

    void layOut();
    void placeRowStarts(const CellLoader &load, const runtime::ImageCell &first, bool visible);
    void placeColumns(const CellLoader &load, const runtime::ImageCell &first, bool visible);
    void clearBoard();
    runtime::ImageCell &loadBack(int index);

    Forms &m_forms;
    rules::Game m_game;
    bool m_boardLaidOut = false;
};

} // namespace windows
