#include "gamewindow.h"

#include "forms.h"
#include "startupwindow.h"

#include "runtime/twips.h"

#include <QLineEdit>
#include <QRadioButton>

namespace windows {

GameWindow::GameWindow(Forms &forms)
    : m_forms(forms), m_game(*this, forms.services().random, forms.services().clock)
{
    setWindowTitle(QStringLiteral("Pairfield"));
    runtime::setTwipsClientSize(*this, 11880, 8490);
}

void GameWindow::setUp()
{
    rules::GameState &s = m_game.state();
    StartupWindow &startup = m_forms.startup.get();
    for (s.loopIndex = 0; s.loopIndex <= 9; s.loopIndex += 1)
        if (startup.numCells.at(size_t(s.loopIndex.value()))->isChecked())
            s.cellCount = (s.loopIndex + 1) * 4;
    s.columnCount = runtime::roundToInt16(s.cellCount / 4.0);
    m_game.deal();
}

bool GameWindow::isBackShowing(int) const
{
    return true;
}
void GameWindow::setBackVisible(int, bool) { }
void GameWindow::setFaceVisible(int, bool) { }
void GameWindow::repaintFace(int) { }
quint32 GameWindow::facePicture(int cell) const
{
    return quint32(m_faces.at(size_t(cell)));
}
void GameWindow::putPicture(int cell, int picture)
{
    m_faces.at(size_t(cell)) = picture;
}

QString GameWindow::playerName(int player) const
{
    return m_forms.startup->txtName.at(size_t(player))->text();
}

void GameWindow::setTurnCaption(const QString &text)
{
    m_turn = text;
}
void GameWindow::setPlayerCaption(int, const QString &) { }
void GameWindow::setScoreCaption(int, const QString &) { }
void GameWindow::setWinnerCaption(const QString &) { }
void GameWindow::showWinner() { }

} // namespace windows
