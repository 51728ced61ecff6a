// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"
#include "app/ExportPlan.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// --manifest: the pictures of a run, one a row, each with its own output and settings over the
// command line's. CSV with a header row, or JSON lines (one object a line); the columns or keys
// are "input", "output" and the export options' names (fold, layout, horizontal, scale, width,
// pitch, shadow, lines, background, format, shading, shadow-opacity, shadow-blur, shadow-offset,
// screen-height).
// A bad row becomes an item whose problem names its line, so the other rows still run.
class Manifest {
    Q_DECLARE_TR_FUNCTIONS(Manifest)

public:
    // path: a file, or - for standard input. Empty with the reason in failure when the manifest
    // cannot be read at all, or its CSV header names no input or an unknown column.
    static QList<ExportPlan::Item>
    read(const QString& path, const CommandLine::ExportSettings& defaults, QString* failure);
    static QList<ExportPlan::Item>
    read(QIODevice& device, const CommandLine::ExportSettings& defaults, QString* failure);

private:
    using Row = QHash<QString, QString>;

    static QStringList csvFields(const QByteArray& line, bool* unclosed);
    static bool readCsvRow(const QStringList& header, const QByteArray& line, Row* row,
                           QString* problem);
    static bool readJsonRow(const QByteArray& line, Row* row, QString* problem);
    static ExportPlan::Item itemOf(const Row& row, int line,
                                   const CommandLine::ExportSettings& defaults);
    static QString settingsOf(const Row& row, CommandLine::ExportSettings* settings);
    static QStringList layoutArguments(const Row& row, std::optional<bool> horizontal,
                                       const std::optional<FoldLayout>& defaults);
    static QString checkHeader(const QStringList& header);
};
