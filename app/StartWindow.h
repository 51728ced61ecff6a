// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>
#include <QUrl>

// The small window shown while no document is open: it carries the menu bar, a hint and a
// drop target. Closing it by hand ends Pleatora.
class StartWindow : public QMainWindow {
    Q_OBJECT

public:
    StartWindow();

signals:
    // Everything a drop brought; only a drag that brings at least one picture can be dropped.
    void filesDropped(const QList<QUrl>& urls);
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};
