#pragma once

#include "rules/boardgeometry.h"

#include <QString>

/** The words that a screen reader speaks of the board and the game, made in one place. */
namespace board::wording {

/** "Card 7, row 2, column 1". */
QString cardName(int index, rules::CellPlace place);
/** "face down", or "face up: " and the picture's name. */
QString cardSide(bool faceDown, const QString &picture);
/** "24 cards in 4 rows of 6." */
QString boardLaidOut(int cells, int columns);
/** How to play by keys, said once a board is laid out. */
QString howToPlay();
/** "Card 1: fern." */
QString faceTurned(int index, const QString &picture);
/** "Turn to play: A", the turn label's name; the news adds a full stop. */
QString turn(const QString &player);
/** "Player 1: A" for player 0. */
QString playerName(int player, const QString &name);
/** "A: 1 pair", "B: 0 pairs". */
QString score(const QString &name, int pairs);
/** "A pair." or "No pair." */
QString attempt(bool pair);

} // namespace board::wording
