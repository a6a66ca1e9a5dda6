#include "startupwindow.h"

#include "designkit.h"
#include "forms.h"
#include "gamewindow.h"

#include "runtime/program.h"
#include "runtime/services.h"
#include "runtime/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace windows {

namespace {

// Top edges of the ten size options, in twips; the last gap is a little wider, as designed.
constexpr std::array<int, 10> optionTops {1200, 1666, 2132, 2598, 3064, 3530, 3996, 4462, 4928, 5400};

} // namespace

StartupWindow::StartupWindow(Forms &forms) : m_forms(forms)
{
    using runtime::setTwipsGeometry;
    setWindowTitle(QStringLiteral("Pairfield: Getting Started"));
    runtime::setTwipsClientSize(*this, 11880, 8490);
    paintWindowGrey(*this);

    Label1 = designLabel(this, Qt::white, 9.75, QStringLiteral("How many cells do you want?"));
    setTwipsGeometry(*Label1, 480, 840, 2655, 255);
    Label2 = designLabel(this, Qt::white, 9.75, QStringLiteral("What are the players' names?"));
    setTwipsGeometry(*Label2, 3840, 1440, 2895, 255);

    for (size_t k = 0; k < numCells.size(); ++k) {
        numCells[k] = new QRadioButton(QString::number(4 * (k + 1)), this);
        setTwipsGeometry(*numCells[k], 1320, optionTops[k], 735, 375);
        setTextColour(*numCells[k], Qt::white);
        numCells[k]->setAccessibleName(QStringLiteral("Board size: %1 cards").arg(4 * (k + 1)));
    }
    numCells[5]->setChecked(true);
    makeOneTabStop(numCells);

    txtName[0] = new QLineEdit(QStringLiteral("A"), this);
    setTwipsGeometry(*txtName[0], 3840, 1800, 2535, 495);
    txtName[1] = new QLineEdit(QStringLiteral("B"), this);
    setTwipsGeometry(*txtName[1], 3840, 2640, 2535, 495);
    // A name may be as long as the players like.
    for (QLineEdit *name : txtName)
        name->setMaxLength(std::numeric_limits<int>::max());
    txtName[0]->setAccessibleName(QStringLiteral("Name of player 1"));
    txtName[1]->setAccessibleName(QStringLiteral("Name of player 2"));

    cmdPlay = new QPushButton(QStringLiteral("PLAY"), this);
    setTwipsGeometry(*cmdPlay, 8160, 1920, 1695, 1095);
    cmdPlay->setFont(runtime::designFont(18));
    cmdPlay->setAutoDefault(true); // Return works like Space on the focused button
    connect(cmdPlay, &QPushButton::clicked, this, [this] { runtime::guard([this] { cmdPlay_Click(); }); });

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
    runtime::setSelStart(*txtName[0], 0);
    runtime::setSelLength(*txtName[0], 2);
}

void StartupWindow::cmdPlay_Click()
{
    GameWindow &game = m_forms.game.get();
    runtime::Show(game);
    game.setUp();
}

} // namespace windows
