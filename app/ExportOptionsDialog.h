// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/ExportOptions.h"

#include <QDialog>

#include <memory>

namespace Ui {
class ExportOptions;
}

// The choices an export asks for before its file: size, shadow, lines and background. The size
// menu's row is the scale (row 0: a width in pixels).
class ExportOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // windowSize: the document window's size in whole points, which the sizes multiply.
    ExportOptionsDialog(const ExportOptions& options, QSize windowSize, QWidget* parent = nullptr);
    ~ExportOptionsDialog() override;

    ExportOptions options() const;

private:
    void showPixelSize();

    std::unique_ptr<Ui::ExportOptions> _ui;
    QSize _windowSize;
};
