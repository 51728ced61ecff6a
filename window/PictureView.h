// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

// The content view of a document window: paints one picture, replacing what was there.
class PictureView : public QWidget {
    Q_OBJECT

public:
    explicit PictureView(QSize size, QWidget* parent = nullptr);

    // Stores the picture without repainting; the window's update displays it.
    void setImage(QImage image);
    const QImage& image() const { return _image; }
    // Hands the picture over, e.g. to draw on it in place, leaving the view without one.
    QImage takeImage();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage _image;
};
