#include "controls/textbox.h"

#include <QLineEdit>
#include <QTest>

class tst_Controls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectionIsClampedToTheText_data();
    void selectionIsClampedToTheText();
};

void tst_Controls::selectionIsClampedToTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("selected");

    QTest::newRow("one character, length 2") << "A" << 0 << 2 << "A";
    QTest::newRow("empty text") << "" << 0 << 2 << "";
    QTest::newRow("longer text") << "Alice" << 0 << 2 << "Al";
    QTest::newRow("start past the end") << "Bo" << 5 << 2 << "";
    QTest::newRow("from the middle") << "Alice" << 3 << 9 << "ce";
}

void tst_Controls::selectionIsClampedToTheText()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, selected);

    QLineEdit box(text);
    controls::setSelStart(box, start);
    controls::setSelLength(box, length);
    QCOMPARE(box.selectedText(), selected);
}

QTEST_MAIN(tst_Controls)
#include "tst_controls.moc"
