// The game window's board: laid out from the two design-time cells, cleared for a new game, with a card over
// each cell for the keyboard and assistive technology.
#include "design.h"
#include "forms.h"
#include "gamewindow.h"

#include "pictures/imageswindow.h"
#include "rules/boardgeometry.h"

#include <QLabel>
#include <QPushButton>

namespace windows {

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
    board::ImageCell &firstFace = imgFractal.Load(1);
    firstFace.setVisible(false);
    firstFace.setLeft(imgFractal(0).Left());
    firstFace.setTop(imgFractal(0).Top());

    s.cellCount = cellCount;
    s.columnCount = runtime::roundToInt16(s.cellCount / 4.0);
    const Int16 margin = design::boardMargin(s.columnCount);
    firstFace.setLeft(firstFace.Left() + float(s.columnPitch * margin));
    imgFront(1).setLeft(firstFace.Left());

    // Backs and faces are laid out alike, backs first: the first cell of rows 2 to 4, then the other columns.
    const CellLoader backs = [this](int index) -> board::ImageCell & { return loadBack(index); };
    const CellLoader faces = [this](int index) -> board::ImageCell & { return imgFractal.Load(index); };
    placeRowStarts(backs, imgFront(1), true);
    placeRowStarts(faces, imgFractal(1), false);
    placeColumns(backs, imgFront(1), true);
    placeColumns(faces, imgFractal(1), false);
}

// Makes the first cell of rows 2 to 4 below `first`, the cell of row 1.
void GameWindow::placeRowStarts(const CellLoader &load, const board::ImageCell &first, bool visible)
{
    rules::GameState &s = m_game.state();
    for (s.rowIndex = 2; s.rowIndex <= 4; s.rowIndex += 1) {
        s.cellIndex = (s.rowIndex - 1) * s.columnCount + 1;
        board::ImageCell &cell = load(s.cellIndex);
        cell.setVisible(visible);
        cell.setLeft(first.Left());
        cell.setTop(float((s.rowIndex - 1) * s.rowPitch) + first.Top());
    }
}

// Makes columns 2 and beyond of every row, counting from `first`, the cell of row 1 and column 1.
void GameWindow::placeColumns(const CellLoader &load, const board::ImageCell &first, bool visible)
{
    rules::GameState &s = m_game.state();
    for (s.rowIndex = 1; s.rowIndex <= 4; s.rowIndex += 1) {
        s.cellIndex = (s.rowIndex - 1) * s.columnCount + 1;
        const runtime::Int16 lastColumn = s.columnCount;
        for (s.columnIndex = 2; s.columnIndex <= lastColumn; s.columnIndex += 1) {
            s.cellIndex += 1;
            board::ImageCell &cell = load(s.cellIndex);
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
    for (board::Card *card : m_cards)
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

board::ImageCell &GameWindow::loadBack(int index)
{
    board::ImageCell &back = imgFront.Load(index);
    connect(&back, &board::ImageCell::clicked, this, [this, index] { imgFront_Click(index); });
    return back;
}

// One card over each cell, in the order of the cells, above them all.
void GameWindow::makeCards()
{
    for (int index = 1; imgFront.exists(index); ++index) {
        auto *card = new board::Card(this, index, rules::placeOf(index, m_game.state().columnCount.value()),
                                     imgFront(index), imgFractal(index));
        card->installEventFilter(this);
        m_cards.push_back(card);
    }
}

} // namespace windows
