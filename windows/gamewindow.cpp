#include "gamewindow.h"

#include "design.h"
#include "forms.h"

#include "board/wording.h"
#include "controls/designkit.h"
#include "controls/twips.h"
#include "pictures/picture.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace windows {

namespace {

board::ImageCell *designFace(QWidget *window)
{
    auto *face = new board::ImageCell(window, design::boardLeft, design::boardTop, 975, 975);
    // Faces take no clicks, so a back laid over the design face always gets its own.
    face->setAttribute(Qt::WA_TransparentForMouseEvents);
    return face;
}

board::ImageCell *designBack(QWidget *window)
{
    auto *back = new board::ImageCell(window, design::boardLeft, design::boardTop, 720, 540);
    back->setPicture(pictures::LoadPicture(QStringLiteral(":/design/cardback.gif")));
    return back;
}

} // namespace

GameWindow::GameWindow(Forms &forms)
    : imgFront(1, designBack(this))
    , imgFractal(0, designFace(this))
    , m_forms(forms)
    , m_game(*this, forms.services().random, forms.services().clock)
    , m_news(new board::News(this))
{
    using controls::setTwipsGeometry;
    setWindowTitle(QStringLiteral("Pairfield"));
    controls::setTwipsClientSize(*this, 11880, 8490);
    controls::paintWindowGrey(*this);

    cmdQuit = new QPushButton(QStringLiteral("QUIT"), this);
    setTwipsGeometry(*cmdQuit, 10680, 360, 1095, 435);
    cmdQuit->setFont(controls::designFont(12));
    cmdQuit->setAutoDefault(true); // Return works like Space on the focused button
    connect(cmdQuit, &QPushButton::clicked, this, &GameWindow::cmdQuit_Click);

    const QColor yellow(0xFF, 0xFF, 0x00), green(0x00, 0xC0, 0x00), blue(0x00, 0x00, 0xFF);
    lblTurn = controls::designLabel(this, yellow, 12);
    setTwipsGeometry(*lblTurn, 10440, 1920, 1335, 375);
    Label1 = controls::designLabel(this, yellow, 12, QStringLiteral("Turn to Play:"));
    setTwipsGeometry(*Label1, 10440, 1560, 1335, 255);
    lblPlayers = {controls::designLabel(this, green, 12), controls::designLabel(this, blue, 12)};
    setTwipsGeometry(*lblPlayers[0], 10680, 2880, 1095, 375);
    setTwipsGeometry(*lblPlayers[1], 10680, 3960, 1095, 375);
    lblScore = {controls::designLabel(this, green, 12), controls::designLabel(this, blue, 12)};
    setTwipsGeometry(*lblScore[0], 10680, 3360, 1215, 495);
    setTwipsGeometry(*lblScore[1], 10680, 4440, 1215, 495);
    lblWinner = controls::designLabel(this, blue, 18);
    setTwipsGeometry(*lblWinner, 2640, 7560, 7215, 735);
    lblWinner->hide();

    connect(&imgFront(1), &board::ImageCell::clicked, this, [this] { imgFront_Click(1); });
    forms.actions().attach(m_game);
    cmdQuit->installEventFilter(this);
    cmdQuit->setFocus();
}

void GameWindow::setUp(int cellCount)
{
    // A game never starts over a miss on show: the rules hold PLAY until the miss is covered.
    Q_ASSERT(!m_game.isShowingMiss());
    // A second PLAY starts a fresh game on a fresh board.
    if (m_boardLaidOut)
        clearBoard();
    m_boardLaidOut = true;
    layOut(cellCount);
    makeCards();
    const rules::GameState &s = m_game.state();
    m_news->tell(board::wording::boardLaidOut(s.cellCount.value(), s.columnCount.value()));
    m_game.deal();
    m_news->tell(board::wording::howToPlay());
}

void GameWindow::closeEvent(QCloseEvent *event)
{
    event->setAccepted(m_forms.mayClose(rules::Window::Game));
}

void GameWindow::cmdQuit_Click()
{
    m_forms.report({rules::Action::Kind::Quit});
}

void GameWindow::imgFront_Click(int index)
{
    m_forms.report(rules::Action::pick(index));
}

board::Card *GameWindow::card(int index) const
{
    return index >= 1 && index <= cardCount() ? m_cards.at(size_t(index - 1)) : nullptr;
}

} // namespace windows
