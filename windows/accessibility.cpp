#include "accessibility.h"

#include "gamewindow.h"
#include "startupwindow.h"

#include <QAccessibleWidget>
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
            if (control != nullptr && !control->isWindow() && qobject_cast<ImageCell *>(control) == nullptr)
                all << control;
        }
        for (int card = 1; game.imgFront.exists(card); ++card)
            all << &game.imgFront(card);
        return all;
    }
};

// A card of the board, seen through its back: "Card 7", face down or face up showing its picture, and
// pressable while face down.
class CardAccessible : public QAccessibleWidget
{
public:
    CardAccessible(GameWindow &game, ImageCell *back, int index)
        : QAccessibleWidget(back, QAccessible::Button), m_game(&game), m_index(index)
    { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return QStringLiteral("Card %1").arg(m_index);
        if (kind != QAccessible::Description)
            return {};
        const ImageCell *face = this->face();
        if (face == nullptr || face->isHidden() || !face->picture())
            return QStringLiteral("face down");
        return QStringLiteral("face up: ") + face->picture()->name();
    }

    QAccessible::State state() const override
    {
        // On the board while either side shows.
        QAccessible::State state = QAccessibleWidget::state();
        const ImageCell *face = this->face();
        state.invisible = widget()->isHidden() && (face == nullptr || face->isHidden());
        return state;
    }

    QRect rect() const override
    {
        const ImageCell *face = this->face();
        if (widget()->isHidden() && face != nullptr && !face->isHidden())
            return {face->mapToGlobal(QPoint(0, 0)), face->size()};
        return QAccessibleWidget::rect();
    }

    QStringList actionNames() const override
    {
        return widget()->isHidden() ? QStringList() : QStringList {pressAction()};
    }

    // Pressing turns the card exactly as a click on its back does, through the same handler, which holds
    // it during a miss like a click. It runs from the event loop once the request has been answered, so
    // that assistive technology never waits for the game.
    void doAction(const QString &action) override
    {
        if (action != pressAction())
            return;
        auto *back = static_cast<ImageCell *>(widget());
        QTimer::singleShot(0, back, [back] { back->click(); });
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    const ImageCell *face() const
    {
        return m_game && m_game->imgFractal.exists(m_index) ? &m_game->imgFractal(m_index) : nullptr;
    }

    QPointer<GameWindow> m_game;
    int m_index;
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    if (auto *game = qobject_cast<GameWindow *>(object))
        return new BoardAccessible(game);
    if (auto *startup = qobject_cast<StartupWindow *>(object))
        return new QAccessibleWidget(startup, QAccessible::Window);
    if (auto *cell = qobject_cast<ImageCell *>(object))
        if (auto *game = qobject_cast<GameWindow *>(cell->parentWidget()))
            if (const int index = game->imgFront.indexOf(cell); index > 0)
                return new CardAccessible(*game, cell, index);
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
