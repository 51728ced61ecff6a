// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>

// A picture behind an export's fold: scaled to cover the whole frame with its shape kept, what
// overflows cropped off both sides alike.
class BackgroundPicture {
public:
    // The picture covering size pixels; null without a picture or a size.
    static QImage covering(const QImage& picture, QSize size);
    // Paints the picture covering target under what target shows.
    static void paintUnder(QImage& target, const QImage& picture);
};
