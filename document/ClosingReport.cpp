// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/ClosingReport.h"

#include "document/PrintedLength.h"
#include "fold/HingedFold.h"

#include <QSizeF>
#include <QStringList>

namespace {

// Hundredths of a millimetre: a fold-in allowance is a millimetre or two, the bends a tenth.
QString millimetres(double points) {
    return QString::number(points / PrintedLength::pointsPerMillimetre, 'f', 2);
}

double lengthAcross(const FoldLayout& layout, FoldSize size) {
    return layout.axis() == FoldLayout::Axis::vertical ? size.width : size.height;
}

} // namespace

ClosingReport::ClosingReport(const FoldLayout& layout, const PanelPaper& paper)
    : _layout(layout), _paper(paper), _widths(printedWidths(layout, paper)),
      _check(layout, _widths, paper.thickness) {}

std::vector<double> ClosingReport::printedWidths(const FoldLayout& layout,
                                                 const PanelPaper& paper) {
    const double length = lengthAcross(layout, paper.printedSize);
    if (int(paper.widths.size()) != layout.panelCount())
        return HingedFold::presetWidths(layout, length, paper.foldInAllowance);
    std::vector<double> widths = paper.widths;
    for (double& width : widths)
        width *= length;
    return widths;
}

QString ClosingReport::text() const {
    const FoldSize size = _paper.printedSize;
    QStringList lines;
    lines.append(tr("%1 on a sheet of %2, paper %3 mm thick; panels %4 mm.")
                     .arg(QString::fromStdString(_layout.name()),
                          PrintedLength::describeSheet(QSizeF(size.width, size.height)),
                          millimetres(_paper.thickness), [this] {
                              QStringList widths;
                              for (const double width : _widths)
                                  widths.append(millimetres(width));
                              return widths.join(QStringLiteral(", "));
                          }()));
    const double length = lengthAcross(_layout, size);
    for (const ClosingCheck::PanelFit& fit : _check.fits()) {
        // Nothing wraps its free edge: it would stick out rather than stop the piece closing.
        if (fit.largestWidth >= length) {
            lines.append(tr("Panel %1 folds in: %2 mm wide, nothing around its free edge.")
                             .arg(fit.panel + 1)
                             .arg(millimetres(_widths[std::size_t(fit.panel)])));
            continue;
        }
        const QString panel =
            tr("Panel %1 folds in: %2 mm wide, at most %3 mm")
                .arg(fit.panel + 1)
                .arg(millimetres(_widths[std::size_t(fit.panel)]), millimetres(fit.largestWidth));
        lines.append(fit.excess > 0
                         ? tr("%1: %2 mm too wide.").arg(panel, millimetres(fit.excess))
                         : tr("%1: fits, %2 mm to spare.").arg(panel, millimetres(-fit.excess)));
    }
    lines.append(closes() ? tr("It closes flat.") : tr("It does not close flat."));
    return lines.join(u'\n');
}
