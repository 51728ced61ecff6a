// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ColorWell.h"

#include <QColorDialog>
#include <QPainter>

namespace {
const QSize swatchSize(48, 16);
constexpr int checkerSquare = 4;
} // namespace

ColorWell::ColorWell(QWidget* parent) : QPushButton(parent) {
    setIconSize(swatchSize);
    connect(this, &QPushButton::clicked, this, &ColorWell::openColorDialog);
    updateSwatch();
}

void ColorWell::setColor(const QColor& color) {
    _color = color;
    updateSwatch();
}

void ColorWell::openColorDialog() {
    if (_dialog) {
        _dialog->raise();
        _dialog->activateWindow();
        return;
    }
    const QColor original = _color;
    _dialog = new QColorDialog(_color, this);
    _dialog->setOption(QColorDialog::ShowAlphaChannel, !_opaqueOnly);
    _dialog->setAttribute(Qt::WA_DeleteOnClose);
    _dialog->addActions(_dialogActions);
    connect(_dialog, &QColorDialog::currentColorChanged, this, &ColorWell::pickColor);
    connect(_dialog, &QColorDialog::colorSelected, this, &ColorWell::pickColor);
    connect(_dialog, &QDialog::rejected, this, [this, original] { pickColor(original); });
    _dialog->show();
}

void ColorWell::pickColor(const QColor& color) {
    if (color == _color)
        return;
    setColor(color);
    emit colorChanged(color);
}

void ColorWell::updateSwatch() {
    // A checkerboard under the colour makes its opacity visible.
    QPixmap swatch(swatchSize);
    swatch.fill(Qt::white);
    QPainter painter(&swatch);
    for (int y = 0; y < swatchSize.height(); y += checkerSquare)
        for (int x = (y / checkerSquare % 2) * checkerSquare; x < swatchSize.width();
             x += 2 * checkerSquare)
            painter.fillRect(x, y, checkerSquare, checkerSquare, Qt::lightGray);
    painter.fillRect(swatch.rect(), _color);
    painter.setPen(Qt::darkGray);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
}
