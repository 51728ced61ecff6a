// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Document.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

// Pages...: a document's front and back pages, bleed, back turn and printed sheet size. Only the
// back turn and the sheet size apply to a picture that is not a PDF.
class PagesDialog : public QDialog {
    Q_OBJECT

public:
    PagesDialog(const Document::Printed& printed, QWidget* parent = nullptr);

    // The document's artwork with the choices made; meaningful once accepted.
    Document::Printed printed() const;

private:
    void addPageFields();
    void addLookFields();
    void selectSheet(const std::optional<QSizeF>& chosen);
    // OK only while the bleed and a custom size read as lengths.
    void checkFields();
    std::optional<double> bleed() const;
    std::optional<QSizeF> sheet() const;
    bool isCustomSheet() const;

    Document::Printed _printed;
    QSpinBox* _frontPage;
    QSpinBox* _backPage;
    QLineEdit* _bleed;
    QComboBox* _backTurn;
    QComboBox* _sheetSize;
    QLineEdit* _customSheet;
    QDialogButtonBox* _buttons;
};
