#include "services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

#include <climits>
#include <unistd.h>

namespace runtime {

QByteArray appPath()
{
    // The kernel's link to the running executable has the real path's bytes, every symlink resolved.
    QByteArray executable(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", executable.data(), size_t(executable.size()));
    QByteArray path;
    if (length > 0 && length < executable.size()) {
        executable.truncate(length);
        path = executable.left(executable.lastIndexOf('/'));
    } else {
        path = QFile::encodeName(QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
    }
    while (path.endsWith('/'))
        path.chop(1);
    return path;
}

void Show(QWidget &window)
{
    // A minimised window comes back as it was before, not merely mapped behind its icon.
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

void setSelStart(QLineEdit &box, int start)
{
    box.setCursorPosition(std::clamp(start, 0, int(box.text().size())));
}

void setSelLength(QLineEdit &box, int length)
{
    const int start = box.hasSelectedText() ? box.selectionStart() : box.cursorPosition();
    box.setSelection(start, std::clamp(length, 0, int(box.text().size()) - start));
}

void installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
}

QFont designFont(double points)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace runtime
