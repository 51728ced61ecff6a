// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/ClosingCheck.h"
#include "fold/FoldLayout.h"
#include "fold/PanelPaper.h"

#include <QCoreApplication>
#include <QString>

// Whether a hinged layout closes flat on its printed sheet, said as a designer reads it before
// paying for a print run: for each panel that folds in, its width, the widest it may be at this
// paper's thickness, and by how much it is over or under that.
class ClosingReport {
    Q_DECLARE_TR_FUNCTIONS(ClosingReport)

public:
    // paper.printedSize must not be empty.
    ClosingReport(const FoldLayout& layout, const PanelPaper& paper);

    bool closes() const { return _check.closes(); }
    // A few lines, the verdict last.
    QString text() const;

private:
    static std::vector<double> printedWidths(const FoldLayout& layout, const PanelPaper& paper);

    FoldLayout _layout;
    PanelPaper _paper;
    std::vector<double> _widths; // points as printed
    ClosingCheck _check;
};
