// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnimationOptionsDialog.h"

#include "app/ColorWell.h"
#include "document/FoldFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <cmath>

AnimationOptionsDialog::AnimationOptionsDialog(const ExportOptions& look,
                                               const AnimationOptions& animation, QSize windowSize,
                                               QSize turnedWindowSize, QWidget* parent)
    : QDialog(parent), _windowSize(windowSize), _turnedWindowSize(turnedWindowSize) {
    setWindowTitle(tr("Export Animation"));
    auto* form = new QFormLayout(this);
    addLookRows(*form);
    addMotionRows(*form);
    addStartRows(*form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Choose File..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    showOptions(look, animation);
}

void AnimationOptionsDialog::addLookRows(QFormLayout& form) {
    _width = new QSpinBox;
    _width->setObjectName(QStringLiteral("spinPixelWidth"));
    _width->setRange(ExportOptions::smallestPixelWidth, ExportOptions::largestPixelWidth);
    _width->setSuffix(tr(" pixels"));
    _pixelSize = new QLabel;
    form.addRow(tr("Width:"), _width);
    form.addRow(QString(), _pixelSize);
    _shadow = new QCheckBox(tr("Shadow"));
    _lines = new QCheckBox(tr("Crease lines"));
    form.addRow(tr("Show:"), _shadow);
    form.addRow(QString(), _lines);
    _transparent = new QRadioButton(tr("Transparent where the format allows"));
    _colored = new QRadioButton(tr("Colour:"));
    _background = new ColorWell;
    _background->setOpaqueOnly(true);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(_colored);
    colorRow->addWidget(_background);
    colorRow->addStretch();
    form.addRow(tr("Background:"), _transparent);
    form.addRow(QString(), colorRow);
    connect(_width, &QSpinBox::valueChanged, this, &AnimationOptionsDialog::updateControls);
}

void AnimationOptionsDialog::addMotionRows(QFormLayout& form) {
    _duration = new QDoubleSpinBox;
    _duration->setObjectName(QStringLiteral("spinDuration"));
    _duration->setRange(FoldMotion::shortestDuration, FoldMotion::longestDuration);
    _duration->setSingleStep(0.5);
    _duration->setDecimals(1);
    _duration->setSuffix(tr(" s"));
    _frameRate = new QSpinBox;
    _frameRate->setObjectName(QStringLiteral("spinFrameRate"));
    _frameRate->setRange(FoldMotion::lowestFrameRate, FoldMotion::highestFrameRate);
    _frameRate->setSuffix(tr(" frames a second"));
    _loop = new QCheckBox(tr("Loop: there and back, playing for ever"));
    _ease = new QCheckBox(tr("Ease in and out"));
    _sweep = new QSpinBox;
    _sweep->setObjectName(QStringLiteral("spinSweep"));
    _sweep->setRange(0, int(2 * FoldMotion::largestYaw));
    _sweep->setSuffix(tr("°"));
    _sweep->setSpecialValueText(tr("None"));
    _sweep->setToolTip(tr("Turns the sheet about its creases, from half this before its yaw to "
                          "half after it."));
    form.addRow(tr("Duration:"), _duration);
    form.addRow(tr("Frame rate:"), _frameRate);
    form.addRow(tr("Motion:"), _loop);
    form.addRow(QString(), _ease);
    form.addRow(tr("Turn:"), _sweep);
    connect(_sweep, &QSpinBox::valueChanged, this, &AnimationOptionsDialog::updateControls);
}

void AnimationOptionsDialog::addStartRows(QFormLayout& form) {
    _start = new QComboBox;
    _start->setObjectName(QStringLiteral("menuStart"));
    _start->addItems({tr("The flat sheet"), tr("A fold file")});
    _startFile = new QLineEdit;
    _startFile->setObjectName(QStringLiteral("editStartFold"));
    auto* choose = new QPushButton(tr("Choose..."));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(_startFile);
    fileRow->addWidget(choose);
    _tiltMoves = new QCheckBox(tr("Tilt from:"));
    _tiltFrom = new QSpinBox;
    _tiltFrom->setRange(-60, 60);
    _tiltFrom->setSuffix(tr("°"));
    auto* tiltRow = new QHBoxLayout;
    tiltRow->addWidget(_tiltMoves);
    tiltRow->addWidget(_tiltFrom);
    tiltRow->addStretch();
    form.addRow(tr("Start from:"), _start);
    form.addRow(QString(), fileRow);
    form.addRow(QString(), tiltRow);
    form.addRow(QString(), new QLabel(tr("The sheet moves to its current fold and tilt.")));
    connect(choose, &QPushButton::clicked, this, &AnimationOptionsDialog::chooseStartFold);
    connect(_start, &QComboBox::currentIndexChanged, this, &AnimationOptionsDialog::updateControls);
    connect(_tiltMoves, &QCheckBox::toggled, this, &AnimationOptionsDialog::updateControls);
}

void AnimationOptionsDialog::showOptions(const ExportOptions& look,
                                         const AnimationOptions& animation) {
    _width->setValue(animation.pixelWidth);
    _shadow->setChecked(look.withShadow);
    _lines->setChecked(look.withCreaseLine);
    _transparent->setChecked(look.transparentBackground);
    _colored->setChecked(!look.transparentBackground);
    _background->setColor(look.backgroundColor);
    _duration->setValue(animation.timing.duration);
    _frameRate->setValue(animation.timing.framesPerSecond);
    _loop->setChecked(animation.timing.loop);
    _ease->setChecked(animation.timing.ease);
    _sweep->setValue(int(std::lround(animation.timing.sweep)));
    _start->setCurrentIndex(animation.startFoldFile.isEmpty() ? 0 : 1);
    _startFile->setText(animation.startFoldFile);
    _tiltMoves->setChecked(animation.tiltFrom.has_value());
    _tiltFrom->setValue(int(animation.tiltFrom.value_or(0)));
    updateControls();
}

ExportOptions AnimationOptionsDialog::exportOptions() const {
    ExportOptions options;
    options.scale = 0;
    options.pixelWidth = _width->value();
    options.withShadow = _shadow->isChecked();
    options.withCreaseLine = _lines->isChecked();
    options.transparentBackground = _transparent->isChecked();
    options.backgroundColor = _background->color();
    return options;
}

AnimationOptions AnimationOptionsDialog::animationOptions() const {
    AnimationOptions options;
    options.pixelWidth = _width->value();
    options.timing.duration = _duration->value();
    options.timing.framesPerSecond = _frameRate->value();
    options.timing.loop = _loop->isChecked();
    options.timing.ease = _ease->isChecked();
    options.timing.sweep = _sweep->value();
    if (_start->currentIndex() == 1)
        options.startFoldFile = _startFile->text();
    if (_tiltMoves->isChecked())
        options.tiltFrom = float(_tiltFrom->value());
    return options;
}

void AnimationOptionsDialog::chooseStartFold() {
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Start from Fold"), _startFile->text(),
                                     tr("Pleatora folds (*.%1)").arg(FoldFile::suffix), nullptr,
                                     QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty())
        _startFile->setText(path);
}

void AnimationOptionsDialog::updateControls() {
    const QSize size =
        exportOptions().pixelSize(_sweep->value() != 0 ? _turnedWindowSize : _windowSize);
    _pixelSize->setText(tr("%1 x %2 pixels").arg(size.width()).arg(size.height()));
    _startFile->setEnabled(_start->currentIndex() == 1);
    _tiltFrom->setEnabled(_tiltMoves->isChecked());
}
