#include "imageswindow.h"

#include "gifdecoder.h"
#include "picture.h"

#include "controls/twips.h"
#include "runtime/failure.h"

namespace pictures {

ImagesWindow::ImagesWindow(std::optional<QByteArray> directory)
    : picFront(new PictureHolder(this, 3240, 2160, 975, 735))
    , picFractals(0, new PictureHolder(this, 480, 480, 1095, 1095))
    , m_directory(std::move(directory))
{
    setWindowTitle(QStringLiteral("Images"));
    controls::setTwipsClientSize(*this, 4680, 3195);
}

void ImagesWindow::Form_Load()
{
    // One budget for the whole library: twenty small files must not add up to gigabytes of pixels.
    PictureBudget budget(memoryLimit);
    for (int a = 1; a <= pictureCount; ++a) {
        PictureHolder &holder = picFractals.Load(a);
        const QByteArray file = "F" + QByteArray::number(a) + ".gif";
        // Never a guess: without the program's directory, "/F1.gif" would be some other file.
        if (!m_directory)
            runtime::fail(QStringLiteral("Cannot load picture \"%1\": the directory that holds the program "
                                         "cannot be found")
                              .arg(QString::fromLatin1(file)));
        // A file that does not say what it shows is named by its number.
        holder.setPicture(
            LoadPicture(*m_directory + "/" + file, budget, QStringLiteral("picture %1").arg(a)));
    }
}

} // namespace pictures
