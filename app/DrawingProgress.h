// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProgressDialog>

// The progress of drawing and writing one file, with Cancel: it shows only once the work has
// taken half a second, and stays up until its owner is done with it.
class DrawingProgress : public QProgressDialog {
    Q_OBJECT

public:
    DrawingProgress(const QString& fileName, QWidget* parent);
};
