#include "accessibility.h"

#include "gamewindow.h"
#include "startupwindow.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace windows {

namespace {

// The game window: its controls, then the cards in their order. Each card stands for its back and its
// face together, so the faces are not children of their own.
class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(GameWindow *game) : QAccessibleWidget(game, QAccessible::Window) { }

    int childCount() const override { return int(children().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> all = children();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr ? int(children().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget *> children() const
    {
        const auto &game = static_cast<const GameWindow &>(*widget());
        QList<QWidget *> all;
        for (QObject *object : game.children()) {
            auto *control = qobject_cast<QWidget *>(object);
            if (control != nullptr && !control->isWindow() && qobject_cast<ImageCell *>(control) == nullptr
                && qobject_cast<Card *>(control) == nullptr)
                all << control;
        }
        for (int index = 1; index <= game.cardCount(); ++index)
            all << game.card(index);
        return all;
    }
};

// A card of the board: where it lies and what shows, "Card 7, row 2, column 1", face down or face up with
// its picture's name, which is never told while it is face down. It is pressable while face down.
class CardAccessible : public QAccessibleWidget
{
public:
    CardAccessible(GameWindow &game, Card *card) : QAccessibleWidget(card, QAccessible::Button), m_game(&game)
    { }

    QString text(QAccessible::Text kind) const override
    {
        const int index = card().index();
        if (kind == QAccessible::Name) {
            const int columns = m_game ? m_game->state().columnCount.value() : 1;
            return QStringLiteral("Card %1, row %2, column %3")
                .arg(index)
                .arg((index - 1) / columns + 1)
                .arg((index - 1) % columns + 1);
        }
        if (kind != QAccessible::Description)
            return {};
        if (faceDown() || !card().side().picture())
            return QStringLiteral("face down");
        return QStringLiteral("face up: ") + card().side().picture()->name();
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
        return faceDown() ? QStringList {pressAction()} : QStringList();
    }

    // Pressing turns the card exactly as a click on its back does, through the same handler, which holds
    // it during a miss like a click. It runs from the event loop once the request has been answered, so
    // that assistive technology never waits for the game.
    void doAction(const QString &action) override
    {
        if (action != pressAction() || !m_game)
            return;
        ImageCell *back = &m_game->imgFront(card().index());
        QTimer::singleShot(0, back, [back] { back->click(); });
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    const Card &card() const { return static_cast<const Card &>(*widget()); }
    bool faceDown() const { return m_game && &card().side() == &m_game->imgFront(card().index()); }

    QPointer<GameWindow> m_game;
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    if (auto *game = qobject_cast<GameWindow *>(object))
        return new BoardAccessible(game);
    if (auto *startup = qobject_cast<StartupWindow *>(object))
        return new QAccessibleWidget(startup, QAccessible::Window);
    if (auto *card = qobject_cast<Card *>(object))
        if (auto *game = qobject_cast<GameWindow *>(card->parentWidget()))
            return new CardAccessible(*game, card);
    // A group of the setup window's answers is the buddy of the label that asks the question. The window
    // may still be in the making, so it is asked for its labels, not for its members.
    if (auto *startup = qobject_cast<StartupWindow *>(object->parent()))
        for (const QLabel *question : startup->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            if (question->buddy() == object)
                return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
    if (auto *news = qobject_cast<News *>(object))
        return new QAccessibleWidget(news, QAccessible::Notification);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    static_cast<void>(installed);
}

} // namespace windows
