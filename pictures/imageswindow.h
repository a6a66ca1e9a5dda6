#pragma once

#include "pictureholder.h"

#include "controls/controlarray.h"

#include <QWidget>

#include <optional>

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

    /**
     * A library that reads its pictures from `directory` (the file system's bytes, no trailing separator);
     * without one, because the program's directory could not be found, loading fails.
     */
    explicit ImagesWindow(std::optional<QByteArray> directory);

    /**
     * Loads picture 1 to 20 in order, each element made and filled before the next; stops at a bad file.
     * Each picture is named by its file's comment, or "picture N" when the file has none.
     */
    void Form_Load();

    /** Holds no picture; touching it is what brings the library into being. */
    PictureHolder *picFront;
    /** Element p (1 to 20) holds picture p; element 0 is the design-time element and holds none. */
    controls::ControlArray<PictureHolder> picFractals;

private:
    std::optional<QByteArray> m_directory;
};

} // namespace pictures
