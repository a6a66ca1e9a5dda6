// The floors that the game's start-up and memory are measured against (bench_startup.py): a plain Qt Widgets
// program whose one window, the size of the game's, holds one label, one line edit, one radio button and one
// push button that shows a second, empty window ("bench_floor text"), or nothing at all ("bench_floor").
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(792, 566);
    if (argc > 1 && std::strcmp(argv[1], "text") == 0) {
        (new QLabel(QStringLiteral("How many cells do you want?"), &window))->setGeometry(32, 56, 177, 17);
        (new QLineEdit(QStringLiteral("A"), &window))->setGeometry(256, 120, 169, 33);
        (new QRadioButton(QStringLiteral("4"), &window))->setGeometry(88, 80, 49, 25);
        auto *button = new QPushButton(QStringLiteral("PLAY"), &window);
        button->setGeometry(544, 128, 113, 73);
        QObject::connect(button, &QPushButton::clicked, &window, [] {
            auto *second = new QWidget;
            second->setAttribute(Qt::WA_DeleteOnClose);
            second->resize(792, 566);
            second->show();
        });
    }
    window.show();
    return QApplication::exec();
}
