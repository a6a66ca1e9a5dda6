#include "fakes/fakes.h"
#include "runtime/announce.h"
#include "runtime/pause.h"
#include "runtime/services.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// A card as a screen reader reads it: name, description, and whether it can be pressed.
QString reading(windows::GameWindow &game, int card)
{
    QAccessibleInterface *about = accessible(&game.imgFront(card));
    const bool pressable
        = about->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction());
    return about->text(QAccessible::Name) + QStringLiteral(", ") + about->text(QAccessible::Description)
        + (pressable ? QStringLiteral(", press") : QString());
}

// A press action, and the event loop's turn that carries it out.
void press(windows::GameWindow &game, int card)
{
    accessible(&game.imgFront(card))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
}

} // namespace

class tst_Accessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aGameReadAndPlayedThroughAccessibility();
};

void tst_Accessibility::aGameReadAndPlayedThroughAccessibility()
{
    runtime::installFontSubstitutes();
    QStringList events; // what the program announces, as "<accessible name>: <change>"
    runtime::setAnnouncementListener([&events](QObject *control, QAccessible::Event change) {
        events << accessible(control)->text(QAccessible::Name)
                + (change == QAccessible::NameChanged ? QStringLiteral(": name")
                                                      : QStringLiteral(": turned"));
    });
    // Every draw 0 deals eight cards as pairs 1-5, 2-6, 3-7 and 4-8 and lets player A start.
    fakes::ScriptedRandom random(QList<float>(9, 0.0f));
    fakes::FakeClock clock;
    windows::Forms forms({QByteArray(PF_FACES_DIR), random, clock});
    windows::StartupWindow &startup = forms.startup.get();
    startup.numCells[1]->click();
    startup.cmdPlay->click();
    windows::GameWindow &game = forms.game.get();

    const std::tuple<QObject *, QAccessible::Role, QString> controls[] = {
        {&startup, QAccessible::Window, "Pairfield: Getting Started"},
        {startup.numCells[5], QAccessible::RadioButton, "Board size: 24 cards"},
        {startup.txtName[1], QAccessible::EditableText, "Name of player 2"},
        {startup.cmdPlay, QAccessible::Button, "PLAY"},
        {&game, QAccessible::Window, "Pairfield"},
        {game.cmdQuit, QAccessible::Button, "QUIT"},
        {game.lblTurn, QAccessible::StaticText, "Turn to play: A"},
        {&game.imgFront(8), QAccessible::Button, "Card 8"},
    };
    for (const auto &[object, role, name] : controls) {
        QCOMPARE(accessible(object)->text(QAccessible::Name), name);
        QCOMPARE(accessible(object)->role(), role);
    }
    // The board lists its controls, then its cards in order; a card's face is part of the card, and no
    // card takes the focus.
    QAccessibleInterface *board = accessible(&game);
    QCOMPARE(board->childCount(), 8 + 8);
    QCOMPARE(board->child(8)->object(), &game.imgFront(1));
    QCOMPARE(board->indexOfChild(accessible(&game.imgFront(8))), 15);
    QCOMPARE(board->indexOfChild(accessible(&game.imgFractal(1))), -1);
    QVERIFY(!accessible(&game.imgFront(1))->state().focusable);
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, face down, press"));

    // A pair: each card is announced as it turns, then the score and the turn. A face-up card cannot be
    // pressed.
    events.clear();
    press(game, 1);
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, face up: Mandelbrot set"));
    press(game, 1);
    press(game, 5);
    QCOMPARE(events,
             QStringList({"Card 1: turned", "Card 5: turned", "Player 1: A: name", "Player 2: B: name",
                          "A: 1 pair: name", "B: 0 pairs: name", "Turn to play: B: name"}));

    // A miss: both faces can be read during the pause, and a press then waits for it, like a click.
    clock.onSleep = [&] {
        const runtime::PauseScope pause;
        press(game, 6);
        QCOMPARE(reading(game, 3), QStringLiteral("Card 3, face up: emerald Julia set"));
        QCOMPARE(reading(game, 6), QStringLiteral("Card 6, face down, press"));
    };
    press(game, 2);
    press(game, 3);
    clock.onSleep = {};
    QCOMPARE(reading(game, 3), QStringLiteral("Card 3, face down, press"));
    QTRY_COMPARE(reading(game, 6), QStringLiteral("Card 6, face up: burning ship"));
    QCOMPARE(game.state().picksThisTurn, 1); // A's first pick, after the turn passed

    // Three more pairs end the game: the winner is announced.
    events.clear();
    for (int card : {2, 3, 7, 4, 8})
        press(game, card);
    QVERIFY(game.lblWinner->isVisible());
    QVERIFY(events.contains("Congratulations A !: name"));
    QCOMPARE(accessible(game.lblScore[0])->text(QAccessible::Name), QStringLiteral("A: 3 pairs"));
    runtime::setAnnouncementListener({});
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
