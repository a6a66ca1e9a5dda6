#include "accessible.h"

#include "card.h"
#include "imagecell.h"
#include "news.h"
#include "wording.h"

#include <QAccessibleWidget>

namespace board {

namespace {

// A card never tells its picture while it is face down.
class CardAccessible : public QAccessibleWidget
{
public:
    explicit CardAccessible(Card *card) : QAccessibleWidget(card, QAccessible::Button) { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return wording::cardName(card().index(), card().place());
        if (kind != QAccessible::Description)
            return {};
        const pictures::Picture &picture = card().side().picture();
        return wording::cardSide(card().isFaceDown() || !picture, picture ? picture->name() : QString());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }

    // The rectangle of the side that shows.
    QRect rect() const override { return {card().side().mapToGlobal(QPoint(0, 0)), card().side().size()}; }

    QStringList actionNames() const override
    {
        return card().isFaceDown() ? QStringList {pressAction()} : QStringList();
    }

    // Pressing turns the card exactly as a click on its back does, through the same handler. It runs from the
    // event loop once the request has been answered, so that assistive technology never waits for the game.
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            card().press();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    Card &card() const { return static_cast<Card &>(*widget()); }
};

} // namespace

QAccessibleInterface *accessibleFor(QObject *object)
{
    if (auto *card = qobject_cast<Card *>(object))
        return new CardAccessible(card);
    if (auto *news = qobject_cast<News *>(object))
        return new QAccessibleWidget(news, QAccessible::Notification);
    return nullptr;
}

} // namespace board
