#include "services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace runtime {

QString appPath()
{
    QString path = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

void Show(QWidget &window)
{
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
