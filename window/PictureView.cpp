// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/PictureView.h"

#include <QPaintEvent>
#include <QPainter>
#include <utility>

PictureView::PictureView(QSize size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
}

void PictureView::setImage(QImage image) {
    _image = std::move(image);
}

QImage PictureView::takeImage() {
    return std::exchange(_image, QImage());
}

// Only the part asked for: an update repaints just what changed.
void PictureView::paintEvent(QPaintEvent* event) {
    if (_image.isNull())
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect area = event->rect();
    const double scaleX = _image.width() / double(width());
    const double scaleY = _image.height() / double(height());
    painter.drawImage(area, _image,
                      QRectF(area.x() * scaleX, area.y() * scaleY, area.width() * scaleX,
                             area.height() * scaleY));
}
