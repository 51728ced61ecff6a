// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/CommandLine.h"
#include "document/ExportWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

// Which picture of an export run goes to which file, decided from the whole list before any
// picture is read, so that every run over the same list, a rerun or a shard of it, refuses the
// same pictures: an output that is one of the run's inputs (a picture or the fold file), two
// pictures that would go to the same file, an output that is a device, FIFO or socket.
class ExportPlan {
    Q_DECLARE_TR_FUNCTIONS(ExportPlan)

public:
    struct Entry {
        QByteArray picture; // the system's bytes, as given
        QByteArray output;
        std::optional<ExportFormat> format;
        QString refusal; // why this picture is not exported; empty when it is
    };

    // pictures: as PathText keeps names.
    ExportPlan(const CommandLine::ExportSettings& settings, const QStringList& pictures);

    const QList<Entry>& entries() const { return _entries; }
    // The folder the outputs go to, and why files cannot be made there; empty when they can.
    QByteArray folder() const { return _folder; }
    QString folderProblem() const;

private:
    QByteArray outputPath(const QByteArray& picture) const;
    std::optional<ExportFormat> formatFor(const QByteArray& output) const;
    void refuseCollisions(const QList<QByteArray>& otherInputs);

    CommandLine::ExportSettings _settings;
    QList<Entry> _entries;
    QByteArray _folder;
};
