#include "pictureholder.h"

#include "controls/twips.h"

namespace pictures {

PictureHolder::PictureHolder(QWidget *parent, int left, int top, int width, int height) : QWidget(parent)
{
    controls::setTwipsGeometry(*this, left, top, width, height);
}

PictureHolder *PictureHolder::copyHidden() const
{
    auto *copy = new PictureHolder(parentWidget(), 0, 0, 0, 0);
    copy->hide();
    copy->setGeometry(geometry());
    copy->setPicture(m_picture);
    return copy;
}

} // namespace pictures
