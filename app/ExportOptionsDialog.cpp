// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ExportOptionsDialog.h"

#include "ui_ExportOptions.h"

ExportOptionsDialog::ExportOptionsDialog(const ExportOptions& options, QSize windowSize,
                                         QWidget* parent)
    : QDialog(parent), _ui(std::make_unique<Ui::ExportOptions>()), _windowSize(windowSize) {
    _ui->setupUi(this);
    _ui->buttonBox->button(QDialogButtonBox::Ok)->setText(tr("Choose File..."));
    _ui->spinPixelWidth->setRange(ExportOptions::smallestPixelWidth,
                                  ExportOptions::largestPixelWidth);
    _ui->menuSize->setCurrentIndex(options.scale);
    _ui->spinPixelWidth->setValue(options.pixelWidth);
    _ui->cboxWithShadow->setChecked(options.withShadow);
    _ui->cboxWithCreaseLine->setChecked(options.withCreaseLine);
    _ui->radioTransparent->setChecked(options.transparentBackground);
    _ui->radioBackgroundColor->setChecked(!options.transparentBackground);
    _ui->cwellBackgroundColor->setOpaqueOnly(true);
    _ui->cwellBackgroundColor->setColor(options.backgroundColor);
    connect(_ui->menuSize, &QComboBox::currentIndexChanged, this,
            &ExportOptionsDialog::showPixelSize);
    connect(_ui->spinPixelWidth, &QSpinBox::valueChanged, this,
            &ExportOptionsDialog::showPixelSize);
    showPixelSize();
}

ExportOptionsDialog::~ExportOptionsDialog() = default;

ExportOptions ExportOptionsDialog::options() const {
    ExportOptions options;
    options.scale = _ui->menuSize->currentIndex();
    options.pixelWidth = _ui->spinPixelWidth->value();
    options.withShadow = _ui->cboxWithShadow->isChecked();
    options.withCreaseLine = _ui->cboxWithCreaseLine->isChecked();
    options.transparentBackground = _ui->radioTransparent->isChecked();
    options.backgroundColor = _ui->cwellBackgroundColor->color();
    return options;
}

void ExportOptionsDialog::showPixelSize() {
    _ui->spinPixelWidth->setEnabled(_ui->menuSize->currentIndex() == 0);
    const QSize size = options().pixelSize(_windowSize);
    _ui->labelPixelSize->setText(tr("%1 x %2 pixels").arg(size.width()).arg(size.height()));
}
