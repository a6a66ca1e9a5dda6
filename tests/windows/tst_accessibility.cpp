#include "controls/designkit.h"
#include "controls/windowing.h"
#include "fakes/fakes.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QAccessible>
#include <QApplication>
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
    QAccessibleInterface *about = accessible(game.card(card));
    const bool pressable
        = about->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction());
    return about->text(QAccessible::Name) + QStringLiteral(", ") + about->text(QAccessible::Description)
        + (pressable ? QStringLiteral(", press") : QString());
}

// A press action, and the event loop's turn that carries it out.
void press(windows::GameWindow &game, int card)
{
    accessible(game.card(card))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
}

// A key as the player presses it, then the number of the card that has the focus (0: none).
int key(windows::GameWindow &game, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    for (int card = 1; card <= game.cardCount(); ++card)
        if (game.card(card)->hasFocus())
            return card;
    return 0;
}

// What the screen reader was last told without asking, once the event that told it is over.
QString news(windows::GameWindow &game)
{
    QCoreApplication::processEvents();
    return game.news().accessibleName();
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
    // Every draw 0 deals eight cards as pairs 1-5, 2-6, 3-7 and 4-8 and lets player A start, twice.
    fakes::ScriptedRandom random(QList<float>(18, 0.0f));
    fakes::FakeClock clock;
    windows::Forms forms({QByteArray(PF_FACES_DIR), random, clock});
    windows::StartupWindow &startup = forms.startup.get();
    controls::Show(startup);
    startup.numCells[1]->click();
    startup.cmdPlay->click();
    windows::GameWindow &game = forms.game.get();
    QVERIFY(QTest::qWaitForWindowActive(&game));

    const std::tuple<QObject *, QAccessible::Role, QString> controls[] = {
        {&startup, QAccessible::Window, "Pairfield: Getting Started"},
        {startup.numCells[5], QAccessible::RadioButton, "Board size: 24 cards"},
        {startup.numCells[5]->parentWidget(), QAccessible::Grouping, "How many cells do you want?"},
        {startup.txtName[1]->parentWidget(), QAccessible::Grouping, "What are the players' names?"},
        {startup.txtName[1], QAccessible::EditableText, "Name of player 2"},
        {startup.cmdPlay, QAccessible::Button, "PLAY"},
        {&game, QAccessible::Window, "Pairfield"},
        {game.cmdQuit, QAccessible::Button, "QUIT"},
        {game.lblTurn, QAccessible::StaticText, "Turn to play: A"},
        {game.card(8), QAccessible::Button, "Card 8, row 4, column 2"},
    };
    for (const auto &[object, role, name] : controls) {
        QCOMPARE(accessible(object)->text(QAccessible::Name), name);
        QCOMPARE(accessible(object)->role(), role);
    }
    // The questions are read with the controls that answer them.
    for (QWidget *answer :
         {static_cast<QWidget *>(startup.numCells[0]), static_cast<QWidget *>(startup.txtName[0])}) {
        const auto labels = accessible(answer->parentWidget())->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->object(),
                 answer == startup.txtName[0] ? startup.Label2 : startup.Label1);
    }

    // The board lists its controls and its news, then its cards in order; the faces are part of the cards.
    QAccessibleInterface *board = accessible(&game);
    QCOMPARE(board->childCount(), 9 + 8);
    QCOMPARE(accessible(const_cast<board::News *>(&game.news()))->role(), QAccessible::Notification);
    QCOMPARE(board->child(9)->object(), game.card(1));
    QCOMPARE(board->indexOfChild(accessible(game.card(8))), 16);
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, row 1, column 1, face down, press"));
    QCOMPARE(news(game),
             QStringLiteral("8 cards in 4 rows of 2. Turn to play: A. The arrow keys move to the "
                            "cards, Space turns one."));

    // The arrow keys bring the cursor onto the board and move it as the cards lie, staying at the edges.
    QCOMPARE(QApplication::focusWidget(), game.cmdQuit);
    const std::pair<Qt::Key, Qt::KeyboardModifiers> walk[] = {{Qt::Key_Right, {}},
                                                              {Qt::Key_Down, {}},
                                                              {Qt::Key_End, {}},
                                                              {Qt::Key_Down, {}},
                                                              {Qt::Key_Down, {}},
                                                              {Qt::Key_Down, {}},
                                                              {Qt::Key_Right, {}},
                                                              {Qt::Key_Home, {}},
                                                              {Qt::Key_Home, Qt::ControlModifier},
                                                              {Qt::Key_Up, {}},
                                                              {Qt::Key_End, Qt::ControlModifier},
                                                              {Qt::Key_Left, {}},
                                                              {Qt::Key_Escape, {}},
                                                              {Qt::Key_Up, {}}};
    QList<int> visited;
    for (const auto &[pressed, modifiers] : walk)
        visited << key(game, pressed, modifiers);
    QCOMPARE(visited, QList<int>({1, 3, 4, 6, 8, 8, 8, 7, 1, 1, 8, 7, 0, 7}));

    // A pair by keys: Space turns the card under the cursor, whose face is told; then the pair, the scores
    // and the turn. A face-up card can be visited and read, not turned again.
    key(game, Qt::Key_Home, Qt::ControlModifier);
    key(game, Qt::Key_Space);
    QCOMPARE(news(game), QStringLiteral("Card 1: Mandelbrot set."));
    QCOMPARE(reading(game, 1), QStringLiteral("Card 1, row 1, column 1, face up: Mandelbrot set"));
    key(game, Qt::Key_Space);
    QCOMPARE(game.state().picksThisTurn, 1);
    key(game, Qt::Key_Down);
    key(game, Qt::Key_Down);
    QCOMPARE(key(game, Qt::Key_Return), 5);
    QCOMPARE(news(game),
             QStringLiteral("Card 5: Mandelbrot set. A pair. A: 1 pair. B: 0 pairs. Turn to play: B."));

    // A miss: both faces can be read while it is on show, and presses of a card and of PLAY wait for it,
    // like clicks; the new game that PLAY starts drops the card pressed in the old one.
    press(game, 2);
    press(game, 3);
    QCOMPARE(news(game), QStringLiteral("Card 3: emerald Julia set. No pair."));
    press(game, 6);
    QAccessibleInterface *playButton = accessible(startup.cmdPlay);
    playButton->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QTRY_VERIFY(!startup.cmdPlay->isDown()); // the button's press has clicked it
    QCOMPARE(reading(game, 3), QStringLiteral("Card 3, row 2, column 1, face up: emerald Julia set"));
    QCOMPARE(reading(game, 6), QStringLiteral("Card 6, row 3, column 2, face down, press"));
    clock.advance(2);
    QCOMPARE(
        news(game),
        QStringLiteral("A: 1 pair. B: 0 pairs. Turn to play: A. 8 cards in 4 rows of 2. Turn to play: A. "
                       "The arrow keys move to the cards, Space turns one."));
    QCOMPARE(reading(game, 6), QStringLiteral("Card 6, row 3, column 2, face down, press")); // a fresh board

    // Four pairs, two each, end the new game in a tie, which is told.
    for (int card : {1, 5, 2, 6, 3, 7, 4, 8})
        press(game, card);
    QVERIFY(game.lblWinner->isVisible());
    QVERIFY(news(game).contains("It's a tie.  Congratulations to you both!"));
    QCOMPARE(accessible(game.lblScore[0])->text(QAccessible::Name), QStringLiteral("A: 2 pairs"));
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
