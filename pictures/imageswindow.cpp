#include "imageswindow.h"

#include "runtime/picture.h"
#include "runtime/twips.h"

namespace pictures {

ImagesWindow::ImagesWindow(QString directory)
    : picFront(new runtime::PictureHolder(this, 3240, 2160, 975, 735))
    , picFractals(0, new runtime::PictureHolder(this, 480, 480, 1095, 1095))
    , m_directory(std::move(directory))
{
    setWindowTitle(QStringLiteral("Images"));
    runtime::setTwipsClientSize(*this, 4680, 3195);
}

void ImagesWindow::Form_Load()
{
    for (int a = 1; a <= pictureCount; ++a) {
        runtime::PictureHolder &holder = picFractals.Load(a);
        const QString path = m_directory + QStringLiteral("/F") + QString::number(a) + QStringLiteral(".gif");
        holder.setPicture(runtime::LoadPicture(path));
    }
}

} // namespace pictures
