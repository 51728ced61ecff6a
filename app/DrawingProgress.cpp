// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DrawingProgress.h"

namespace {
constexpr int progressDelay = 500; // ms of work before the dialog shows
} // namespace

DrawingProgress::DrawingProgress(const QString& fileName, QWidget* parent)
    : QProgressDialog(tr("Drawing \"%1\"...").arg(fileName), tr("Cancel"), 0, 1, parent) {
    setWindowModality(Qt::ApplicationModal);
    setAutoReset(false);
    setAutoClose(false);
    setMinimumDuration(progressDelay);
    setValue(0);
}
