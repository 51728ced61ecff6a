#include "StartWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>

#include <algorithm>

namespace {
const QSize startWindowSize(420, 220);

bool hasLocalFiles(const QMimeData* mimeData) {
    const QList<QUrl> urls = mimeData->urls();
    return !urls.isEmpty() && std::ranges::all_of(urls, &QUrl::isLocalFile);
}
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
    if (hasLocalFiles(event->mimeData()))
        event->acceptProposedAction();
}

void StartWindow::dropEvent(QDropEvent* event) {
    if (!hasLocalFiles(event->mimeData()))
        return;
    event->acceptProposedAction();
    emit filesDropped(event->mimeData()->urls());
}
