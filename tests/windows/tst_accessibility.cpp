#include "controls/announce.h"
#include "controls/services.h"
#include "fakes/fakes.h"
#include "rules/game.h"
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
    controls::installFontSubstitutes();
    QStringList events; // what the program announces, as "<accessible name>: <change>"
    controls::setAnnouncementListener([&events](QObject *control, QAccessible::Event change) {
        events << accessible(control)->text(QAccessible::Name)
                + (change == QAccessible::NameChanged ? QStringLiteral(": name")
                                                      : QStringLiteral(": turned"));
    });
    // Every draw 0 deals eight cards as pairs 1-5, 2-6, 3-7 and 4-8 and lets player A start, twice.
    fakes::ScriptedRandom random(QList<float>(18, 0.0f));
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

    // A miss: both faces can be read while it is on show, and presses of a card and of PLAY wait for it,
    // like clicks, then come in their order.
    press(game, 2);
    press(game, 3);
    press(game, 6);
    QAccessibleInterface *playButton = accessible(startup.cmdPlay);
    playButton->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(!startup.cmdPlay->isDown()); // the button's press has clicked it
    QCOMPARE(reading(game, 3), QStringLiteral("Card 3, face up: emerald Julia set"));
    QCOMPARE(reading(game, 6), QStringLiteral("Card 6, face down, press"));
    events.clear();
    clock.advance(2);
    QCOMPARE(events.mid(0, 2), QStringList({"Card 2: turned", "Card 3: turned"}));
    QVERIFY(events.indexOf("Card 6: turned") < events.lastIndexOf("Turn to play: A: name"));
    QCOMPARE(reading(game, 6), QStringLiteral("Card 6, face down, press")); // a fresh board

    // Four pairs, two each, end the new game in a tie, announced.
    events.clear();
    for (int card : {1, 5, 2, 6, 3, 7, 4, 8})
        press(game, card);
    QVERIFY(game.lblWinner->isVisible());
    QVERIFY(events.contains("It's a tie.  Congratulations to you both!: name"));
    QCOMPARE(accessible(game.lblScore[0])->text(QAccessible::Name), QStringLiteral("A: 2 pairs"));
    controls::setAnnouncementListener({});
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
