#include "imageswindow.h"

#include "runtime/picture.h"
#include "runtime/twips.h"

namespace pictures {

ImagesWindow::ImagesWindow(QByteArray directory)
    : picFront(new runtime::PictureHolder(this, 3240, 2160, 975, 735))
    , picFractals(0, new runtime::PictureHolder(this, 480, 480, 1095, 1095))
    , m_directory(std::move(directory))
{
    setWindowTitle(QStringLiteral("Images"));
    runtime::setTwipsClientSize(*this, 4680, 3195);
}

void ImagesWindow::Form_Load()
{
    // One budget for the whole library: twenty small files must not add up to gigabytes of pixels.
    runtime::PictureBudget budget(memoryBudget);
    for (int a = 1; a <= pictureCount; ++a) {
        runtime::PictureHolder &holder = picFractals.Load(a);
        const QByteArray path = m_directory + "/F" + QByteArray::number(a) + ".gif";
        runtime::Picture picture = runtime::LoadPicture(path, budget, runtime::detailedPath(path));
        // A file that does not say what it shows is named by its number, never by what it used to show.
        if (picture->name().isEmpty())
            picture = std::make_shared<const runtime::PictureObject>(
                picture->image(), QStringLiteral("picture %1").arg(a), picture->detailed());
        holder.setPicture(std::move(picture));
    }
}

} // namespace pictures
