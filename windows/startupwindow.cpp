#include "startupwindow.h"

#include "design.h"
#include "forms.h"

#include "controls/designkit.h"
#include "controls/textbox.h"
#include "controls/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace windows {

namespace {

// An invisible group of the controls that answer a question: it draws nothing and starts at the window's
// corner, so its controls keep their designed places, and assistive technology reads the question, its
// label, with them.
QWidget *questionGroup(QWidget *window, QLabel *question)
{
    auto *group = new QWidget(window);
    // The buddy first: naming the group may already make its accessible interface, which the buddy decides.
    question->setBuddy(group);
    group->setAccessibleName(question->text());
    return group;
}

// Makes a group reach from the window's corner to the far corner of its controls, and no further.
void fitToControls(QWidget &group)
{
    const QRect controls = group.childrenRect();
    group.setGeometry(0, 0, controls.right() + 1, controls.bottom() + 1);
}

} // namespace

StartupWindow::StartupWindow(Forms &forms) : m_forms(forms)
{
    using controls::setTwipsGeometry;
    setWindowTitle(QStringLiteral("Pairfield: Getting Started"));
    controls::setTwipsClientSize(*this, 11880, 8490);
    controls::paintWindowGrey(*this);

    Label1 = controls::designLabel(this, Qt::white, 9.75, QStringLiteral("How many cells do you want?"));
    setTwipsGeometry(*Label1, 480, 840, 2655, 255);
    Label2 = controls::designLabel(this, Qt::white, 9.75, QStringLiteral("What are the players' names?"));
    setTwipsGeometry(*Label2, 3840, 1440, 2895, 255);

    // The names' group lies under the sizes' one, which reaches less far: each control gets its own clicks.
    QWidget *names = questionGroup(this, Label2);
    QWidget *sizes = questionGroup(this, Label1);
    for (size_t k = 0; k < numCells.size(); ++k) {
        numCells[k] = new QRadioButton(QString::number(4 * (k + 1)), sizes);
        setTwipsGeometry(*numCells[k], design::optionLeft, design::optionTops[k], design::optionWidth,
                         design::optionHeight);
        controls::setTextColour(*numCells[k], Qt::white);
        numCells[k]->setAccessibleName(QStringLiteral("Board size: %1 cards").arg(4 * (k + 1)));
    }
    numCells[5]->setChecked(true);
    controls::makeOneTabStop(numCells);

    txtName[0] = new QLineEdit(QStringLiteral("A"), names);
    setTwipsGeometry(*txtName[0], 3840, 1800, 2535, 495);
    txtName[1] = new QLineEdit(QStringLiteral("B"), names);
    setTwipsGeometry(*txtName[1], 3840, 2640, 2535, 495);
    fitToControls(*sizes);
    fitToControls(*names);
    // A name may be as long as the players like.
    for (QLineEdit *name : txtName)
        name->setMaxLength(std::numeric_limits<int>::max());
    txtName[0]->setAccessibleName(QStringLiteral("Name of player 1"));
    txtName[1]->setAccessibleName(QStringLiteral("Name of player 2"));

    cmdPlay = new QPushButton(QStringLiteral("PLAY"), this);
    setTwipsGeometry(*cmdPlay, 8160, 1920, 1695, 1095);
    cmdPlay->setFont(controls::designFont(18));
    cmdPlay->setAutoDefault(true); // Return works like Space on the focused button
    connect(cmdPlay, &QPushButton::clicked, this, &StartupWindow::cmdPlay_Click);

    // Tab order: the names, the sizes, then PLAY; the first name has the focus.
    QWidget *previous = txtName[1];
    setTabOrder(txtName[0], txtName[1]);
    for (QRadioButton *option : numCells) {
        setTabOrder(previous, option);
        previous = option;
    }
    setTabOrder(previous, cmdPlay);
    txtName[0]->setFocus();
}

void StartupWindow::Form_Load()
{
    controls::setSelStart(*txtName[0], 0);
    controls::setSelLength(*txtName[0], 2);
}

void StartupWindow::cmdPlay_Click()
{
    m_forms.report(rules::Action::play(chosenCellCount()));
}

int StartupWindow::chosenCellCount() const
{
    int cellCount = 0;
    for (size_t option = 0; option < numCells.size(); ++option)
        if (numCells[option]->isChecked())
            cellCount = int(option + 1) * 4;
    return cellCount;
}

QString StartupWindow::playerName(int player) const
{
    return txtName.at(size_t(player))->text();
}

void StartupWindow::closeEvent(QCloseEvent *event)
{
    event->setAccepted(m_forms.mayClose(rules::Window::Setup));
}

} // namespace windows
