#pragma once

#include "board/card.h"
#include "board/imagecell.h"
#include "board/news.h"
#include "controls/controlarray.h"
#include "rules/game.h"
#include "rules/gameview.h"

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

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

    /** Lays out a board of `cellCount` cards and deals a game on it. */
    void setUp(int cellCount);
    /** QUIT: ends the program, at once or once a miss on show is covered. */
    void cmdQuit_Click();
    /** A click on the back of cell `index`, or a key or assistive technology turning it. */
    void imgFront_Click(int index);

    const rules::GameState &state() const { return m_game.state(); }
    /** Whether a miss is on show. */
    bool isShowingMiss() const { return m_game.isShowingMiss(); }

    QPushButton *cmdQuit;
    QLabel *lblTurn;
    QLabel *Label1;
    std::array<QLabel *, 2> lblPlayers;
    std::array<QLabel *, 2> lblScore;
    QLabel *lblWinner;
    controls::ControlArray<board::ImageCell> imgFront;
    controls::ControlArray<board::ImageCell> imgFractal;

    /** Card `index` (1 to cellCount) of the board, for the keyboard and assistive technology; none before
     * the first PLAY. */
    board::Card *card(int index) const;
    int cardCount() const { return int(m_cards.size()); }
    /** The news that a screen reader speaks without being asked. */
    const board::News &news() const { return *m_news; }

    bool isBackShowing(int cell) const override;
    void setBackVisible(int cell, bool visible) override;
    void setFaceVisible(int cell, bool visible) override;
    void repaintFace(int cell) override;
    quint32 facePicture(int cell) const override;
    void putPicture(int cell, int picture) override;
    QString playerName(int player) const override;
    void setTurnCaption(const QString &text) override;
    void setPlayerCaption(int player, const QString &text) override;
    void setScore(int player, int pairs) override;
    void attemptResolved(bool pair) override;
    void setWinnerCaption(const QString &text) override;
    void showWinner() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    /** The keys on the board (boardkeys.cpp). */
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using CellLoader = std::function<board::ImageCell &(int index)>;

    // The board's layout (boardlayout.cpp).
    void layOut(int cellCount);
    void placeRowStarts(const CellLoader &load, const board::ImageCell &first, bool visible);
    void placeColumns(const CellLoader &load, const board::ImageCell &first, bool visible);
    void clearBoard();
    board::ImageCell &loadBack(int index);
    void makeCards();

    Forms &m_forms;
    rules::Game m_game;
    bool m_boardLaidOut = false;
    std::vector<board::Card *> m_cards;
    int m_cursor = 1;
    board::News *m_news;
};

} // namespace windows
