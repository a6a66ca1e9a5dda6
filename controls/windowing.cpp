#include "windowing.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>

namespace controls {

void Show(QWidget &window)
{
    // A minimised window comes back as it was before, not merely mapped behind its icon.
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void showFailureBox(const QString &message, std::function<void()> done)
{
    // Modal over the windows but without an event loop of its own: the program's one loop shows it.
    auto *box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Pairfield"), message, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    // The message may quote a path, which is text, never markup.
    box->setTextFormat(Qt::PlainText);
    QObject::connect(box, &QMessageBox::finished, box, [done = std::move(done)] { done(); });
    box->show();
}

void closeEveryWindow()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
}

} // namespace controls
