#include "news.h"

#include <QTimer>

namespace board {

News::News(QWidget *window) : QWidget(window)
{
    setGeometry(0, 0, 1, 1);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void News::tell(const QString &piece)
{
    if (m_pieces.isEmpty())
        QTimer::singleShot(0, this, &News::announce);
    m_pieces << piece;
}

// A notification is read when it shows; hiding it first makes the same control show again.
void News::announce()
{
    setAccessibleName(m_pieces.join(QLatin1Char(' ')));
    m_pieces.clear();
    hide();
    show();
}

} // namespace board
