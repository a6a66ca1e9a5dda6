#include "accessibility.h"

#include "gamewindow.h"
#include "startupwindow.h"

#include "board/accessible.h"

#include <QAccessibleWidget>
#include <QLabel>

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
            if (control != nullptr && !control->isWindow()
                && qobject_cast<board::ImageCell *>(control) == nullptr
                && qobject_cast<board::Card *>(control) == nullptr)
                all << control;
        }
        for (int index = 1; index <= game.cardCount(); ++index)
            all << game.card(index);
        return all;
    }
};

QAccessibleInterface *accessibleFor(const QString &, QObject *object)
{
    if (auto *game = qobject_cast<GameWindow *>(object))
        return new BoardAccessible(game);
    if (auto *startup = qobject_cast<StartupWindow *>(object))
        return new QAccessibleWidget(startup, QAccessible::Window);
    if (QAccessibleInterface *piece = board::accessibleFor(object))
        return piece;
    // A group of the setup window's answers is the buddy of the label that asks the question. The window
    // may still be in the making, so it is asked for its labels, not for its members.
    if (auto *startup = qobject_cast<StartupWindow *>(object->parent()))
        for (const QLabel *question : startup->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            if (question->buddy() == object)
                return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Grouping);
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
