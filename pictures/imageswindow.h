#pragma once

#include "runtime/controlarray.h"
#include "runtime/pictureholder.h"

#include <QWidget>

namespace pictures {

/**
 * The picture library: a window that is never shown and holds the twenty face pictures, read once from
 * F1.gif to F20.gif in the program's directory and kept for the rest of the run. On a high-density screen
 * each also takes its twice-as-large twin, F1@2x.gif and so on, where there is one.
 */
class ImagesWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int pictureCount = 20;
    /** The memory that the pixels of all the library's pictures may take together. */
    static constexpr qint64 memoryBudget = 256 * 1024 * 1024;

    /** A library that reads its pictures from `directory` (the file system's bytes, no trailing separator).
     */
    explicit ImagesWindow(QByteArray directory);

    /**
     * Loads picture 1 to 20 in order, each element made and filled before the next; stops at a bad file.
     * Each picture is named by its file's comment, or "picture N" when the file has none.
     */
    void Form_Load();

    /** Holds no picture; touching it is what brings the library into being. */
    runtime::PictureHolder *picFront;
    /** Element p (1 to 20) holds picture p; element 0 is the design-time element and holds none. */
    runtime::ControlArray<runtime::PictureHolder> picFractals;

private:
    QByteArray m_directory;
};

} // namespace pictures
