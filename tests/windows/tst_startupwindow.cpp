#include "controls/designkit.h"
#include "controls/windowing.h"
#include "fakes/fakes.h"
#include "runtime/program.h"
#include "windows/design.h"
#include "windows/forms.h"
#include "windows/gamewindow.h"
#include "windows/startupwindow.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>

class tst_StartupWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { controls::installFontSubstitutes(); }
    void init();
    void cleanup();

    void designDefaults();
    void optionsAreOneGroupInTheirPlaces_data();
    void optionsAreOneGroupInTheirPlaces();
    void firstNameHasTheFocusAndIsSelected();
    void keyboardWalksTheFocusChain();
    void playRestoresAMinimisedGameWindow();

private:
    std::unique_ptr<runtime::SystemRandom> m_random;
    std::unique_ptr<fakes::FakeClock> m_clock;
    std::unique_ptr<windows::Forms> m_forms;
};

void tst_StartupWindow::init()
{
    m_random = std::make_unique<runtime::SystemRandom>();
    m_clock = std::make_unique<fakes::FakeClock>();
    m_forms = std::make_unique<windows::Forms>(
        windows::Forms::Services {QByteArray(PF_FACES_DIR), *m_random, *m_clock});
    controls::Show(m_forms->startup.get());
    QVERIFY(QTest::qWaitForWindowExposed(&m_forms->startup.get()));
}

void tst_StartupWindow::cleanup()
{
    m_forms.reset();
    runtime::clearEnd();
}

void tst_StartupWindow::designDefaults()
{
    windows::StartupWindow &startup = m_forms->startup.get();
    QCOMPARE(startup.windowTitle(), QStringLiteral("Pairfield: Getting Started"));
    QCOMPARE(startup.size(), QSize(792, 566)); // 11880 x 8490 twips
    QCOMPARE(startup.palette().color(QPalette::Window), QColor(0x40, 0x40, 0x40));
    QVERIFY(!m_forms->game.exists());
    // The application's icon at the sizes of title bars and task switchers, its middle drawn.
    const QIcon icon = windows::applicationIcon();
    QList<QSize> sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    QCOMPARE(sizes, (QList<QSize> {{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    QCOMPARE(qAlpha(icon.pixmap(64).toImage().pixel(32, 32)), 255);

    for (QLabel *label : {startup.Label1, startup.Label2}) {
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(label->font().pointSizeF(), 9.75);
        QCOMPARE(label->font().weight(), QFont::Normal);
        QCOMPARE(label->font().family(), QStringLiteral("MS Sans Serif"));
        // Linux has no such font: a metric-compatible one stands in at the designed size.
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("Liberation Sans"));
    }
    QCOMPARE(startup.Label1->text(), QStringLiteral("How many cells do you want?"));
    QCOMPARE(startup.Label1->geometry(), QRect(32, 56, 177, 17));
    QCOMPARE(startup.Label2->text(), QStringLiteral("What are the players' names?"));
    QCOMPARE(startup.Label2->geometry(), QRect(256, 96, 193, 17));

    QCOMPARE(startup.txtName[0]->text(), QStringLiteral("A"));
    QCOMPARE(startup.txtName[0]->geometry(), QRect(256, 120, 169, 33));
    QCOMPARE(startup.txtName[1]->text(), QStringLiteral("B"));
    QCOMPARE(startup.txtName[1]->geometry(), QRect(256, 176, 169, 33));
    QCOMPARE(startup.txtName[0]->maxLength(), std::numeric_limits<int>::max()); // no limit of our own

    QCOMPARE(startup.cmdPlay->text(), QStringLiteral("PLAY"));
    QCOMPARE(startup.cmdPlay->geometry(), QRect(544, 128, 113, 73));
    QCOMPARE(startup.cmdPlay->font().pointSizeF(), 18.0);
}

void tst_StartupWindow::optionsAreOneGroupInTheirPlaces_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("top");
    for (int k = 0; k < 10; ++k)
        QTest::addRow("option %d", k)
            << k << QString::number(4 * (k + 1)) << windows::design::optionTops.at(k);
}

void tst_StartupWindow::optionsAreOneGroupInTheirPlaces()
{
    QFETCH(int, option);
    QFETCH(QString, caption);
    QFETCH(int, top);
    windows::StartupWindow &startup = m_forms->startup.get();
    QRadioButton *button = startup.numCells.at(size_t(option));
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->geometry(), QRect(88, qRound(top / 15.0), 49, 25));
    // As designed: even steps of 466 twips from 1200, the last gap a little wider.
    QCOMPARE(top, option < 9 ? 1200 + 466 * option : 5400);
    QCOMPARE(button->palette().color(QPalette::WindowText), QColor(Qt::white));
    QCOMPARE(button->isChecked(), option == 5);

    // Selecting one option clears the one selected before.
    button->click();
    for (int k = 0; k < 10; ++k)
        QCOMPARE(startup.numCells.at(size_t(k))->isChecked(), k == option);
}

void tst_StartupWindow::firstNameHasTheFocusAndIsSelected()
{
    windows::StartupWindow &startup = m_forms->startup.get();
    QVERIFY(QTest::qWaitForWindowActive(&startup));
    QCOMPARE(QApplication::focusWidget(), startup.txtName[0]);
    QCOMPARE(startup.txtName[0]->selectedText(), QStringLiteral("A"));
    QTest::keyClicks(startup.txtName[0], QStringLiteral("Zoe"));
    QCOMPARE(startup.txtName[0]->text(), QStringLiteral("Zoe"));
}

// Tab visits the names, the selected size (the options are one stop), PLAY, and round again; the arrows
// move the selection within the options; Shift+Tab walks back.
void tst_StartupWindow::keyboardWalksTheFocusChain()
{
    windows::StartupWindow &startup = m_forms->startup.get();
    QVERIFY(QTest::qWaitForWindowActive(&startup));
    QStringList walk;
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        QWidget *focus = QApplication::focusWidget();
        const auto *option = qobject_cast<QRadioButton *>(focus);
        walk << (option != nullptr ? option->text() + (option->isChecked() ? QStringLiteral("*") : QString())
                     : focus == startup.cmdPlay    ? QStringLiteral("PLAY")
                     : focus == startup.txtName[0] ? QStringLiteral("name 0")
                     : focus == startup.txtName[1] ? QStringLiteral("name 1")
                                                   : QStringLiteral("?"));
    };
    for (const Qt::Key key :
         {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Tab, Qt::Key_Tab})
        press(key);
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(walk,
             QStringList({"name 1", "24*", "28*", "32*", "28*", "PLAY", "name 0", "PLAY", "28*", "name 1"}));
}

void tst_StartupWindow::playRestoresAMinimisedGameWindow()
{
    windows::StartupWindow &startup = m_forms->startup.get();
    startup.cmdPlay->click();
    windows::GameWindow &game = m_forms->game.get();
    game.showMinimized();
    QVERIFY(game.isMinimized());
    startup.cmdPlay->click();
    QVERIFY(game.isVisible());
    QVERIFY(!game.isMinimized());
}

QTEST_MAIN(tst_StartupWindow)
#include "tst_startupwindow.moc"
