#include "window/MyView.h"

#include <QPainter>
#include <utility>

MyView::MyView(QSize size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
}

void MyView::setImage(QImage image) {
    _image = std::move(image);
}

QImage MyView::takeImage() {
    return std::exchange(_image, QImage());
}

void MyView::paintEvent(QPaintEvent*) {
    if (_image.isNull())
        return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rect(), _image);
}
