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
    /** Shows the game window and starts a game on it. */
    void cmdPlay_Click();

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
