#pragma once

#include "picture.h"

#include <QWidget>

namespace pictures {

/** A hidden control that holds a picture for others to show. */
class PictureHolder : public QWidget
{
    Q_OBJECT

public:
    /** A holder at its designed place and size, in twips. */
    PictureHolder(QWidget *parent, int left, int top, int width, int height);

    /** A hidden copy of this holder as it stands now: place, size and picture. */
    PictureHolder *copyHidden() const;

    const Picture &picture() const { return m_picture; }
    void setPicture(Picture picture) { m_picture = std::move(picture); }

private:
    Picture m_picture;
};

} // namespace pictures
