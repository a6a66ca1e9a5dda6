#include "gamewindow.h"

#include "design.h"
#include "forms.h"
#include "startupwindow.h"

#include "controls/announce.h"
#include "controls/designkit.h"
#include "controls/services.h"
#include "controls/twips.h"
#include "pictures/imageswindow.h"
#include "pictures/picture.h"
#include "runtime/program.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace windows {

namespace {

ImageCell *designFace(QWidget *window)
{
    auto *face = new ImageCell(window, design::boardLeft, design::boardTop, 975, 975);
    // Faces take no clicks, so a back laid over the design face always gets its own.
    face->setAttribute(Qt::WA_TransparentForMouseEvents);
    return face;
}

ImageCell *designBack(QWidget *window)
{
    auto *back = new ImageCell(window, design::boardLeft, design::boardTop, 720, 540);
    back->setPicture(pictures::LoadPicture(QStringLiteral(":/design/cardback.gif")));
    return back;
}

} // namespace

GameWindow::GameWindow(Forms &forms)
    : imgFront(1, designBack(this))
    , imgFractal(0, designFace(this))
    , m_forms(forms)
    , m_game(*this, forms.services().random, forms.services().clock)
    , m_news(new News(this))
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

    connect(&imgFront(1), &ImageCell::clicked, this, [this] { imgFront_Click(1); });
    forms.actions().attach(m_game);
    cmdQuit->installEventFilter(this);
    cmdQuit->setFocus();
}

void GameWindow::setUp(int cellCount)
{
    // A second PLAY starts a fresh game on a fresh board.
    if (m_boardLaidOut)
        clearBoard();
    m_boardLaidOut = true;
    layOut(cellCount);
    makeCards();
    const rules::GameState &s = m_game.state();
    m_news->tell(QStringLiteral("%1 cards in 4 rows of %2.").arg(s.cellCount).arg(s.columnCount));
    m_game.deal();
    m_news->tell(QStringLiteral("The arrow keys move to the cards, Space turns one."));
}

// Lays the board out column by column from the two design-time cells: the first column is shifted by the
// left margin, the first cell of each row is made from it, then the rest of each row.
void GameWindow::layOut(int cellCount)
{
    using runtime::Int16;
    // The first reference to the library loads its pictures; the value itself is of no use.
    static_cast<void>(m_forms.images->picFront);

    rules::GameState &s = m_game.state();
    s.rowPitch = design::rowPitch;
    s.columnPitch = design::columnPitch;
    ImageCell &firstFace = imgFractal.Load(1);
    firstFace.setVisible(false);
    firstFace.setLeft(imgFractal(0).Left());
    firstFace.setTop(imgFractal(0).Top());

    s.cellCount = cellCount;
    s.columnCount = runtime::roundToInt16(s.cellCount / 4.0);
    const Int16 margin = design::boardMargin(s.columnCount);
    firstFace.setLeft(firstFace.Left() + float(s.columnPitch * margin));
    imgFront(1).setLeft(firstFace.Left());

    // Backs and faces are laid out alike, backs first: the first cell of rows 2 to 4, then the other columns.
    const CellLoader backs = [this](int index) -> ImageCell & { return loadBack(index); };
    const CellLoader faces = [this](int index) -> ImageCell & { return imgFractal.Load(index); };
    placeRowStarts(backs, imgFront(1), true);
    placeRowStarts(faces, imgFractal(1), false);
    placeColumns(backs, imgFront(1), true);
    placeColumns(faces, imgFractal(1), false);
}

// Makes the first cell of rows 2 to 4 below `first`, the cell of row 1.
void GameWindow::placeRowStarts(const CellLoader &load, const ImageCell &first, bool visible)
{
    rules::GameState &s = m_game.state();
    for (s.rowIndex = 2; s.rowIndex <= 4; s.rowIndex += 1) {
        s.cellIndex = (s.rowIndex - 1) * s.columnCount + 1;
        ImageCell &cell = load(s.cellIndex);
        cell.setVisible(visible);
        cell.setLeft(first.Left());
        cell.setTop(float((s.rowIndex - 1) * s.rowPitch) + first.Top());
    }
}

// Makes columns 2 and beyond of every row, counting from `first`, the cell of row 1 and column 1.
void GameWindow::placeColumns(const CellLoader &load, const ImageCell &first, bool visible)
{
    rules::GameState &s = m_game.state();
    for (s.rowIndex = 1; s.rowIndex <= 4; s.rowIndex += 1) {
        s.cellIndex = (s.rowIndex - 1) * s.columnCount + 1;
        const runtime::Int16 lastColumn = s.columnCount;
        for (s.columnIndex = 2; s.columnIndex <= lastColumn; s.columnIndex += 1) {
            s.cellIndex += 1;
            ImageCell &cell = load(s.cellIndex);
            cell.setVisible(visible);
            cell.setLeft(float((s.columnIndex - 1) * s.columnPitch) + first.Left());
            cell.setTop(float((s.rowIndex - 1) * s.rowPitch) + first.Top());
        }
    }
}

// Back to the window as designed: no cells but the design-time ones, a zero state, empty score area.
void GameWindow::clearBoard()
{
    cmdQuit->setFocus();
    for (Card *card : m_cards)
        delete card;
    m_cards.clear();
    m_cursor = 1;
    imgFront.unloadAll();
    imgFractal.unloadAll();
    imgFront(1).setLeft(design::boardLeft);
    imgFront(1).setTop(design::boardTop);
    imgFront(1).setVisible(true);
    m_game.state() = rules::GameState {};
    for (QLabel *label : {lblTurn, lblPlayers[0], lblPlayers[1], lblScore[0], lblScore[1], lblWinner}) {
        label->clear();
        label->setAccessibleName({});
    }
    lblWinner->hide();
}

ImageCell &GameWindow::loadBack(int index)
{
    ImageCell &back = imgFront.Load(index);
    connect(&back, &ImageCell::clicked, this, [this, index] { imgFront_Click(index); });
    return back;
}

// One card over each cell, in the order of the cells, above them all.
void GameWindow::makeCards()
{
    for (int index = 1; imgFront.exists(index); ++index) {
        auto *card = new Card(this, index, imgFront(index), imgFractal(index));
        card->installEventFilter(this);
        m_cards.push_back(card);
    }
}

Card *GameWindow::card(int index) const
{
    return index >= 1 && index <= cardCount() ? m_cards.at(size_t(index - 1)) : nullptr;
}

// The arrow keys bring the focus onto the board and move it over the cards as they lie, staying at an edge;
// Space or Return turns the card under it as a click does; Tab and Escape give the focus back to QUIT. Moving
// is not an action of the game, so it never waits for a miss.
bool GameWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_cards.empty())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool onCard = watched != cmdQuit;
    if (onCard
        && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        if (!key->isAutoRepeat())
            imgFront_Click(m_cursor);
        return true;
    }
    if (onCard
        && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
        cmdQuit->setFocus(Qt::TabFocusReason);
        return true;
    }
    const int target = cursorTarget(key->key(), key->modifiers());
    if (target == 0)
        return false;
    // From QUIT the first key comes back to the card where the cursor was left.
    if (onCard)
        m_cursor = target;
    m_cards.at(size_t(m_cursor - 1))->setFocus(Qt::OtherFocusReason);
    return true;
}

// Where `key` takes the cursor from where it is, staying at an edge; 0 for a key that does not move it.
int GameWindow::cursorTarget(int key, Qt::KeyboardModifiers modifiers) const
{
    const int columns = m_game.state().columnCount, cells = cardCount();
    const int row = (m_cursor - 1) / columns, column = (m_cursor - 1) % columns;
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Left:
        return column > 0 ? m_cursor - 1 : m_cursor;
    case Qt::Key_Right:
        return column < columns - 1 ? m_cursor + 1 : m_cursor;
    case Qt::Key_Up:
        return row > 0 ? m_cursor - columns : m_cursor;
    case Qt::Key_Down:
        return m_cursor + columns <= cells ? m_cursor + columns : m_cursor;
    case Qt::Key_Home:
        return control ? 1 : row * columns + 1;
    case Qt::Key_End:
        return control ? cells : row * columns + columns;
    default:
        return 0;
    }
}

void GameWindow::closeEvent(QCloseEvent *event)
{
    event->setAccepted(m_forms.mayClose(*this, rules::Action::Kind::CloseGame));
}

void GameWindow::cmdQuit_Click()
{
    m_forms.report({rules::Action::Kind::Quit});
}

void GameWindow::imgFront_Click(int index)
{
    m_forms.report({rules::Action::Kind::Pick, index});
}

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
    // The card now says face up or face down, and its focus mark goes round the side that shows.
    if (Card *turned = card(cell)) {
        turned->update();
        controls::announce(turned, QAccessible::DescriptionChanged);
    }
    if (visible)
        m_news->tell(QStringLiteral("Card %1: %2.").arg(cell).arg(imgFractal(cell).picture()->name()));
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
    m_news->tell(QStringLiteral("Turn to play: ") + text + QLatin1Char('.'));
    controls::announceName(*lblTurn, QStringLiteral("Turn to play: ") + text);
    lblTurn->setText(text);
}
void GameWindow::setPlayerCaption(int player, const QString &text)
{
    controls::announceName(*lblPlayers.at(size_t(player)),
                           QStringLiteral("Player %1: ").arg(player + 1) + text);
    lblPlayers.at(size_t(player))->setText(text);
}
void GameWindow::setScore(int player, int pairs)
{
    const QString text = QString::number(pairs);
    const QString unit = pairs == 1 ? QStringLiteral(" pair") : QStringLiteral(" pairs");
    const QString said = lblPlayers.at(size_t(player))->text() + QStringLiteral(": ") + text + unit;
    controls::announceName(*lblScore.at(size_t(player)), said);
    lblScore.at(size_t(player))->setText(text);
    m_news->tell(said + QLatin1Char('.'));
}

void GameWindow::attemptResolved(bool pair)
{
    m_news->tell(pair ? QStringLiteral("A pair.") : QStringLiteral("No pair."));
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
