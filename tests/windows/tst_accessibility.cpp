#include "fakes/fakes.h"
#include "runtime/announce.h"
#include "runtime/pause.h"
#include "runtime/program.h"
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

// What the program announces, as "<the control's accessible name>: <change>".
QStringList events;

void record(QObject *control, QAccessible::Event change)
{
    const QString kind = change == QAccessible::NameChanged ? QStringLiteral("name")
        : change == QAccessible::DescriptionChanged         ? QStringLiteral("description")
                                                            : QString::number(change);
    events << QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name) + QStringLiteral(": ")
            + kind;
}

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// The card's name, description and press action, as a screen reader reads them.
QString reading(windows::GameWindow &game, int card)
{
    QAccessibleInterface *about = accessible(&game.imgFront(card));
    const bool pressable
        = about->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction());
    return about->text(QAccessible::Name) + QStringLiteral(", ") + about->text(QAccessible::Description)
        + (pressable ? QStringLiteral(", press") : QString())
        + (about->state().invisible ? QStringLiteral(", invisible") : QString());
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
    void initTestCase();
    void init();
    void cleanup();
    void everyControlSaysWhatItIs();
    void aGamePlayedByPressActionsIsAnnounced();

private:
    windows::GameWindow &play(int option);

    std::unique_ptr<fakes::ScriptedRandom> m_random;
    std::unique_ptr<fakes::FakeClock> m_clock;
    std::unique_ptr<windows::Forms> m_forms;
};

void tst_Accessibility::initTestCase()
{
    runtime::installFontSubstitutes();
    runtime::setAnnouncementListener(record);
}

void tst_Accessibility::init()
{
    // Deals in a script: every draw 0 puts pictures "1 2 ... n/2" twice over and lets player 1 start.
    m_random = std::make_unique<fakes::ScriptedRandom>(QList<float>(41 * 3, 0.0f));
    m_clock = std::make_unique<fakes::FakeClock>();
    m_forms = std::make_unique<windows::Forms>(
        windows::Forms::Services {QByteArray(PF_FACES_DIR), *m_random, *m_clock});
    runtime::Show(m_forms->startup.get());
    events.clear();
}

void tst_Accessibility::cleanup()
{
    m_forms.reset();
    runtime::clearEnd();
}

windows::GameWindow &tst_Accessibility::play(int option)
{
    m_forms->startup->numCells.at(size_t(option))->click();
    m_forms->startup->cmdPlay->click();
    return m_forms->game.get();
}

void tst_Accessibility::everyControlSaysWhatItIs()
{
    windows::StartupWindow &startup = m_forms->startup.get();
    windows::GameWindow &game = play(9);
    struct Expected
    {
        QObject *object;
        QAccessible::Role role;
        QString name;
    };
    const Expected controls[] = {
        {&startup, QAccessible::Window, "Pairfield: Getting Started"},
        {startup.numCells[0], QAccessible::RadioButton, "Board size: 4 cards"},
        {startup.numCells[5], QAccessible::RadioButton, "Board size: 24 cards"},
        {startup.txtName[0], QAccessible::EditableText, "Name of player 1"},
        {startup.txtName[1], QAccessible::EditableText, "Name of player 2"},
        {startup.cmdPlay, QAccessible::Button, "PLAY"},
        {&game, QAccessible::Window, "Pairfield"},
        {game.cmdQuit, QAccessible::Button, "QUIT"},
        {game.lblTurn, QAccessible::StaticText, "Turn to play: A"},
        {&game.imgFront(1), QAccessible::Button, "Card 1"},
        {&game.imgFront(40), QAccessible::Button, "Card 40"},
    };
    for (const Expected &control : controls) {
        QAccessibleInterface *about = accessible(control.object);
        QCOMPARE(about->text(QAccessible::Name), control.name);
        QCOMPARE(about->role(), control.role);
    }

    // The board lists its controls, then its forty cards in order; a card's face is part of the card.
    QAccessibleInterface *board = accessible(&game);
    QCOMPARE(board->childCount(), 8 + 40);
    for (int card = 1; card <= 40; ++card)
        QCOMPARE(board->child(7 + card)->object(), &game.imgFront(card));
    QCOMPARE(board->indexOfChild(accessible(&game.imgFront(40))), 47);
    QCOMPARE(board->indexOfChild(accessible(&game.imgFractal(1))), -1);
    // Nothing new takes the focus.
    QVERIFY(!accessible(&game.imgFront(1))->state().focusable);
}

void tst_Accessibility::aGamePlayedByPressActionsIsAnnounced()
{
    windows::GameWindow &game = play(1); // eight cards, pairs 1-5, 2-6, 3-7 and 4-8
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, face down, press"));
    events.clear();

    // A pair: each card is announced as it turns, then the score and the turn.
    press(game, 1);
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, face up: Mandelbrot set"));
    press(game, 1); // a face-up card cannot be pressed
    press(game, 5);
    QCOMPARE(
        events,
        QStringList({"Card 1: description", "Card 5: description", "Player 1: A: name", "Player 2: B: name",
                     "A: 1 pair: name", "B: 0 pairs: name", "Turn to play: B: name"}));

    // A miss: both faces can be read during the pause, and a press then waits for it, like a click.
    m_clock->onSleep = [&] {
        const runtime::PauseScope pause;
        press(game, 6);
        QCOMPARE(reading(game, 3), QStringLiteral("Card 3, face up: emerald Julia set"));
        QCOMPARE(reading(game, 6), QStringLiteral("Card 6, face down, press"));
    };
    press(game, 2);
    press(game, 3);
    m_clock->onSleep = {};
    QCOMPARE(reading(game, 3), QStringLiteral("Card 3, face down, press"));
    QTRY_COMPARE(reading(game, 6), QStringLiteral("Card 6, face up: burning ship"));
    QCOMPARE(game.state().picksThisTurn, 1); // A's first pick, after the turn passed

    // Three more pairs end the game: the winner's text is shown and announced.
    events.clear();
    for (int card : {2, 3, 7, 4, 8})
        press(game, card);
    QVERIFY(game.lblWinner->isVisible());
    QVERIFY(events.contains("Congratulations A !: name"));
    QCOMPARE(accessible(game.lblScore[0])->text(QAccessible::Name), QStringLiteral("A: 3 pairs"));
    QCOMPARE(reading(game, 8), QStringLiteral("Card 8, face up: fiery Julia set"));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
