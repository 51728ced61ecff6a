// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/PrintedLength.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QRegularExpression>

#include <array>
#include <cmath>

namespace {

std::optional<double> pointsPer(const QString& unit) {
    if (unit == QLatin1String("mm"))
        return PrintedLength::pointsPerMillimetre;
    if (unit == QLatin1String("in"))
        return 72.0;
    if (unit == QLatin1String("pt"))
        return 1.0;
    return std::nullopt;
}

const std::array namedSheets = {QPageSize::A4, QPageSize::A5, QPageSize::Letter, QPageSize::Legal};

} // namespace

std::optional<double> PrintedLength::parse(const QString& text) {
    static const QRegularExpression length(QStringLiteral(R"(^\s*(\d+(?:\.\d+)?)\s*([a-z]+)\s*$)"));
    const QRegularExpressionMatch match = length.match(text.toLower());
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> unit = pointsPer(match.captured(2));
    if (!unit)
        return std::nullopt;
    return match.captured(1).toDouble() * *unit;
}

std::optional<QSizeF> PrintedLength::parseSheet(const QString& text) {
    for (const QPageSize::PageSizeId id : namedSheets) {
        const QPageSize named(id);
        if (text.trimmed().compare(named.key(), Qt::CaseInsensitive) == 0)
            return named.size(QPageSize::Point);
    }
    static const QRegularExpression size(
        QStringLiteral(R"(^\s*(\d+(?:\.\d+)?)\s*x\s*(\d+(?:\.\d+)?)\s*([a-z]+)\s*$)"));
    const QRegularExpressionMatch match = size.match(text.toLower());
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> unit = pointsPer(match.captured(3));
    const QSizeF sheet(match.captured(1).toDouble(), match.captured(2).toDouble());
    if (!unit || sheet.isEmpty())
        return std::nullopt;
    return sheet * *unit;
}

QString PrintedLength::describeSheet(QSizeF points) {
    const QSizeF millimetres = points / pointsPerMillimetre;
    const QString measures = QCoreApplication::translate("PrintedLength", "%1 x %2 mm")
                                 .arg(std::round(millimetres.width()))
                                 .arg(std::round(millimetres.height()));
    for (const QPageSize::PageSizeId id : namedSheets) {
        const QSizeF named = QPageSize(id).size(QPageSize::Millimeter);
        const auto near = [](QSizeF a, QSizeF b) {
            return std::abs(a.width() - b.width()) < 1 && std::abs(a.height() - b.height()) < 1;
        };
        if (near(millimetres, named) || near(millimetres, named.transposed()))
            return QStringLiteral("%1, %2").arg(QPageSize(id).key(), measures);
    }
    return measures;
}
