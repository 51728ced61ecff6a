// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"
#include "cli/ExportPlan.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

class QIODevice;

// --manifest: the pictures of a run, one a row, each with its own output and settings over the
// command line's. CSV with a header row, or JSON lines (one object a line); the columns or keys
// are "input", "output" and the export options' names (fold, layout, horizontal, scale, width,
// pitch, yaw, shadow, lines, background, format, shading, shadow-opacity, shadow-blur,
// shadow-offset, screen-height), the paper's: back, back_colour, grain, crease_shading, gloss, and
// the artwork's: front_page and back_page (together --pages), bleed, back_turn, sheet_size. A bad
// row becomes an item whose failure names its line, so the other rows still run.
class Manifest {
    Q_DECLARE_TR_FUNCTIONS(Manifest)

public:
    // Standard input may never end: past this many lines it is no manifest.
    static constexpr int mostStandardInputLines = 1000000;

    // path: a file, or - for standard input. Empty with the reason in failure when the manifest
    // cannot be read at all, its CSV header names no input, an unknown column or one twice, a
    // line is longer than 1 MB, or standard input goes on past mostStandardInputLines.
    static QList<ExportPlan::Item> read(const QString& path,
                                        const CommandLine::ExportSettings& defaults,
                                        QString* failure = nullptr);
    static QList<ExportPlan::Item> read(QIODevice& device,
                                        const CommandLine::ExportSettings& defaults,
                                        QString* failure = nullptr,
                                        int mostLines = std::numeric_limits<int>::max());

private:
    using Row = QHash<QString, QString>;

    static QStringList csvFields(const QByteArray& line, bool* unclosed);
    static bool readCsvRow(const QStringList& header, const QByteArray& line, Row* row,
                           QString* failure = nullptr);
    static bool readJsonRow(const QByteArray& line, Row* row, QString* failure = nullptr);
    static ExportPlan::Item itemOf(const Row& row, int line,
                                   const CommandLine::ExportSettings& defaults);
    // The row's settings over those given; false when a cell is refused.
    static bool readSettings(const Row& row, CommandLine::ExportSettings* settings,
                             QString* failure = nullptr);
    static bool checkHeader(const QStringList& header, QString* failure = nullptr);
    static QStringList layoutArguments(const Row& row, std::optional<bool> horizontal,
                                       const std::optional<FoldLayout>& defaults);
};
