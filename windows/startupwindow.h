#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace windows {

class Forms;

/** The window the program starts with: the board size, the players' names and "PLAY". */
class StartupWindow : public QWidget
{
    Q_OBJECT

public:
    explicit StartupWindow(Forms &forms);

    /** Selects the first name so that typing replaces it. */
    void Form_Load();
    /** PLAY: a game of the board size chosen now, at once or once a miss on show is covered. */
    void cmdPlay_Click();
    /** The board size that the selected option asks for, 4 to 40; 0 while none is selected. */
    int chosenCellCount() const;
    /** The name of player 0 or 1 as it stands now. */
    QString playerName(int player) const;

    QLabel *Label1;
    QLabel *Label2;
    std::array<QRadioButton *, 10> numCells;
    std::array<QLineEdit *, 2> txtName;
    QPushButton *cmdPlay;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Forms &m_forms;
};

} // namespace windows
