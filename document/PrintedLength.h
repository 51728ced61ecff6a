// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSizeF>
#include <QString>

#include <optional>

// Lengths and sheet sizes as a user types them, with their unit, in points (1/72 in).
class PrintedLength {
public:
    static constexpr double pointsPerMillimetre = 72 / 25.4;

    // "3mm", "0.125in", "9pt" (spaces allowed, the unit required); none for anything else.
    static std::optional<double> parse(const QString& text);
    // "A4", "A5", "Letter", "Legal" (any case, portrait) or "210x99mm"; none for anything else.
    static std::optional<QSizeF> parseSheet(const QString& text);
    // "A4, 297 x 210 mm", or "100 x 50 mm" for a size without a name.
    static QString describeSheet(QSizeF points);
};
