// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartWindow.h"

#include "window/DroppedFiles.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>

namespace {
const QSize startWindowSize(420, 220);
} // namespace

StartWindow::StartWindow() {
    setWindowTitle(tr("Pleatora"));
    setAcceptDrops(true);
    auto* hint = new QLabel(tr("Drop a picture here, or choose File > Open...\n\n"
                               "Right-click a folded picture for the menu."));
    hint->setAlignment(Qt::AlignCenter);
    hint->setMargin(24);
    setCentralWidget(hint);
    resize(startWindowSize);
}

void StartWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

void StartWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFiles::bringsPictures(event->mimeData()))
        event->acceptProposedAction();
}

void StartWindow::dropEvent(QDropEvent* event) {
    if (!DroppedFiles::bringsPictures(event->mimeData()))
        return;
    event->acceptProposedAction();
    emit filesDropped(event->mimeData()->urls());
}
