// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/BackgroundPicture.h"

#include <QPainter>

QImage BackgroundPicture::covering(const QImage& picture, QSize size) {
    if (picture.isNull() || size.isEmpty())
        return {};
    const QImage scaled =
        picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2,
                       size.width(), size.height());
}

void BackgroundPicture::paintUnder(QImage& target, const QImage& picture) {
    QImage cover = covering(picture, target.size());
    if (cover.isNull())
        return;
    cover.setDevicePixelRatio(target.devicePixelRatio());
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    painter.drawImage(QPointF(), cover);
}
