// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/BatchWorker.h"
#include "cli/ExportPlan.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>
#include <QString>

// --report: one JSON object a line for each picture of a run, as it is reported, then a summary,
// for pipelines that read what happened without parsing messages meant for people. A name that
// is not UTF-8 also gets its exact bytes in base64 beside its escaped text.
class BatchReport {
    Q_DECLARE_TR_FUNCTIONS(BatchReport)

public:
    struct Counts {
        int written = 0, skipped = 0, failed = 0;
    };

    // path: a file, - for standard output, or empty for no report. False with the reason in
    // failure when the file cannot be made.
    bool open(const QString& path, QString* failure = nullptr);
    // Each false when the line cannot be written (a full disk, a closed pipe), with the reason
    // in failure(); the report is then closed.
    bool add(const ExportPlan::Entry& entry, const BatchWorker::Result& result);
    bool finish(const Counts& counts, int exitCode, qint64 milliseconds);
    QString failure() const { return _failure; }

private:
    bool write(const QJsonObject& object);
    static void addName(QJsonObject& object, const QString& key, const QByteArray& name);

    QFile _file;
    QString _path;
    QString _failure;
};
