#pragma once

#include <QString>
#include <QtGlobal>

namespace rules {

/** What the rules need of the windows: the board's cells, the score area and the players' names. */
class GameView
{
public:
    virtual ~GameView() = default;

    /** Whether the back of `cell` is showing. */
    virtual bool isBackShowing(int cell) const = 0;
    virtual void setBackVisible(int cell, bool visible) = 0;
    virtual void setFaceVisible(int cell, bool visible) = 0;
    /** Repaints the face of `cell` before returning. */
    virtual void repaintFace(int cell) = 0;
    /** The handle of the picture object that the face of `cell` shows. */
    virtual quint32 facePicture(int cell) const = 0;
    /** Puts library picture `picture` (1 to 20) on the face of `cell`. */
    virtual void putPicture(int cell, int picture) = 0;

    /** The current name of player 0 or 1, read afresh each time. */
    virtual QString playerName(int player) const = 0;
    virtual void setTurnCaption(const QString &text) = 0;
    virtual void setPlayerCaption(int player, const QString &text) = 0;
    /** Shows the pairs that `player` has found, 0 to 20. */
    virtual void setScore(int player, int pairs) = 0;
    /** The two cards turned in this turn are a pair, or not: said before anything else of the turn's end. */
    virtual void attemptResolved(bool pair) = 0;
    virtual void setWinnerCaption(const QString &text) = 0;
    virtual void showWinner() = 0;
};

} // namespace rules
