// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <QPushButton>

// A button showing a colour swatch; clicking it opens a colour chooser, with opacity unless told
// otherwise. The colour follows the chooser while the user picks and returns to the old one when
// the pick is cancelled.
class ColorWell : public QPushButton {
    Q_OBJECT

public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return _color; }
    // Shows the colour without announcing it: only the user's picks are announced.
    void setColor(const QColor& color);
    // Colours without opacity, for what must be opaque.
    void setOpaqueOnly(bool opaqueOnly) { _opaqueOnly = opaqueOnly; }
    // The chooser while it is open, else null.
    QColorDialog* colorDialog() const { return _dialog; }
    // Actions whose shortcuts also work while the chooser is in front.
    void setDialogActions(const QList<QAction*>& actions) { _dialogActions = actions; }

signals:
    void colorChanged(const QColor& color);

private:
    void openColorDialog();
    void pickColor(const QColor& color);
    void updateSwatch();

    QColor _color;
    bool _opaqueOnly = false;
    QPointer<QColorDialog> _dialog;
    QList<QAction*> _dialogActions;
};
