// What the rules see of the game window: the board's cells, the score area and the players' names, each
// change told to assistive technology as it happens.
#include "forms.h"
#include "gamewindow.h"
#include "startupwindow.h"

#include "board/wording.h"
#include "controls/announce.h"
#include "pictures/imageswindow.h"
#include "pictures/picture.h"

#include <QLabel>

namespace windows {

bool GameWindow::isBackShowing(int cell) const
{
    return !imgFront(cell).isHidden();
}
void GameWindow::setBackVisible(int cell, bool visible)
{
    imgFront(cell).setVisible(visible);
}
void GameWindow::setFaceVisible(int cell, bool visible)
{
    imgFractal(cell).setVisible(visible);
    if (board::Card *turned = card(cell))
        turned->turned();
    if (visible)
        m_news->tell(board::wording::faceTurned(cell, imgFractal(cell).picture()->name()));
}
void GameWindow::repaintFace(int cell)
{
    imgFractal(cell).Refresh();
}

quint32 GameWindow::facePicture(int cell) const
{
    const pictures::Picture &picture = imgFractal(cell).picture();
    return picture ? picture->Handle() : 0;
}

void GameWindow::putPicture(int cell, int picture)
{
    imgFractal(cell).setPicture(m_forms.images->picFractals(picture).picture());
}

QString GameWindow::playerName(int player) const
{
    return m_forms.startup->playerName(player);
}

// The score area's labels are named by what they mean, not only what they show, for assistive technology;
// a new name is announced. The name comes first: a label with a name of its own does not announce its text.
void GameWindow::setTurnCaption(const QString &text)
{
    m_news->tell(board::wording::turn(text) + QLatin1Char('.'));
    controls::announceName(*lblTurn, board::wording::turn(text));
    lblTurn->setText(text);
}
void GameWindow::setPlayerCaption(int player, const QString &text)
{
    controls::announceName(*lblPlayers.at(size_t(player)), board::wording::playerName(player, text));
    lblPlayers.at(size_t(player))->setText(text);
}
void GameWindow::setScore(int player, int pairs)
{
    const QString said = board::wording::score(lblPlayers.at(size_t(player))->text(), pairs);
    controls::announceName(*lblScore.at(size_t(player)), said);
    lblScore.at(size_t(player))->setText(QString::number(pairs));
    m_news->tell(said + QLatin1Char('.'));
}

void GameWindow::attemptResolved(bool pair)
{
    m_news->tell(board::wording::attempt(pair));
}
void GameWindow::setWinnerCaption(const QString &text)
{
    m_news->tell(text);
    controls::announceName(*lblWinner, text);
    lblWinner->setText(text);
}
void GameWindow::showWinner()
{
    lblWinner->show();
}

} // namespace windows
