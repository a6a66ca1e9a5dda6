#include "wording.h"

namespace board::wording {

QString cardName(int index, rules::CellPlace place)
{
    return QStringLiteral("Card %1, row %2, column %3").arg(index).arg(place.row).arg(place.column);
}

QString cardSide(bool faceDown, const QString &picture)
{
    return faceDown ? QStringLiteral("face down") : QStringLiteral("face up: ") + picture;
}

QString boardLaidOut(int cells, int columns)
{
    return QStringLiteral("%1 cards in 4 rows of %2.").arg(cells).arg(columns);
}

QString howToPlay()
{
    return QStringLiteral("The arrow keys move to the cards, Space turns one.");
}

QString faceTurned(int index, const QString &picture)
{
    return QStringLiteral("Card %1: %2.").arg(index).arg(picture);
}

QString turn(const QString &player)
{
    return QStringLiteral("Turn to play: ") + player;
}

QString playerName(int player, const QString &name)
{
    return QStringLiteral("Player %1: ").arg(player + 1) + name;
}

QString score(const QString &name, int pairs)
{
    return name + QStringLiteral(": %1 ").arg(pairs)
        + (pairs == 1 ? QStringLiteral("pair") : QStringLiteral("pairs"));
}

QString attempt(bool pair)
{
    return pair ? QStringLiteral("A pair.") : QStringLiteral("No pair.");
}

} // namespace board::wording
