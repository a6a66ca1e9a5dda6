#pragma once

#include <QStringList>
#include <QWidget>

namespace board {

/**
 * What the game has to tell a player who cannot see it, spoken by a screen reader without being asked: a
 * control of the notification role, one pixel that paints nothing, shown again with each piece of news. The
 * pieces told during one event make one announcement.
 */
class News : public QWidget
{
    Q_OBJECT

public:
    explicit News(QWidget *window);

    /** Adds `piece` to what is announced once the current event has been handled. */
    void tell(const QString &piece);

private:
    void announce();

    QStringList m_pieces;
};

} // namespace board
