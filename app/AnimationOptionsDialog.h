// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/AnimationOptions.h"
#include "document/ExportOptions.h"

#include <QDialog>

class ColorWell;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// The choices an animation asks for before its file: the width and look as for Export, the
// duration, frame rate, loop and easing, the turn swept about the creases, and where the move
// starts, flat or from a fold file, and from which tilt. The format follows the file's name.
class AnimationOptionsDialog : public QDialog {
    Q_OBJECT

public:
    // windowSize: the document window's size in whole points, whose shape the animation keeps;
    // turnedWindowSize: the window that holds the sheet at every yaw, whose shape a turn keeps.
    AnimationOptionsDialog(const ExportOptions& look, const AnimationOptions& animation,
                           QSize windowSize, QSize turnedWindowSize, QWidget* parent = nullptr);

    // The width is always exact (scale 0).
    ExportOptions exportOptions() const;
    AnimationOptions animationOptions() const;

private:
    void addLookRows(QFormLayout& form);
    void addMotionRows(QFormLayout& form);
    void addStartRows(QFormLayout& form);
    void showOptions(const ExportOptions& look, const AnimationOptions& animation);
    void chooseStartFold();
    void updateControls();

    QSize _windowSize;
    QSize _turnedWindowSize;
    QSpinBox* _width;
    QLabel* _pixelSize;
    QCheckBox* _shadow;
    QCheckBox* _lines;
    QRadioButton* _transparent;
    QRadioButton* _colored;
    ColorWell* _background;
    QDoubleSpinBox* _duration;
    QSpinBox* _frameRate;
    QCheckBox* _loop;
    QCheckBox* _ease;
    QSpinBox* _sweep;
    QComboBox* _start;
    QLineEdit* _startFile;
    QCheckBox* _tiltMoves;
    QSpinBox* _tiltFrom;
};
