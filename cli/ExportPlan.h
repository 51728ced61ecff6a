// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLine.h"
#include "media/AnimationFormat.h"
#include "media/ExportWriter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <optional>

class RunFiles;

// Which picture of an export run goes to which file, decided from the whole list before any
// picture is read, so that every run over the same list, a rerun or a shard of it, refuses the
// same pictures: an output that is one of the run's inputs (a picture, a back picture, a fold file
// or the manifest) or its report, two pictures that would go to the same file, an output that is
// a device, FIFO or socket, a name holding a NUL.
class ExportPlan {
    Q_DECLARE_TR_FUNCTIONS(ExportPlan)

public:
    // One picture asked for, with its own settings: the command line's, or a manifest row's over
    // them.
    struct Item {
        QByteArray picture; // the system's bytes, as given
        CommandLine::ExportSettings settings;
        int line = 0;    // the manifest's line; 0 on the command line
        QString failure; // why the row cannot run at all; empty when it can
        bool animate = false;
    };
    struct Entry {
        QByteArray picture; // the system's bytes, as given
        QByteArray output;
        std::optional<ExportFormat> format;             // for a still
        std::optional<AnimationFormat> animationFormat; // for an animation
        bool animated = false; // the fold's motion, as a video or a 3D model (format)
        QString failure;       // why this picture is not exported; empty when it is
        CommandLine::ExportSettings settings;
        int line = 0;
        // What a shard is chosen by: the output as written, else the picture, so that rows with
        // one output always fall in one shard.
        QByteArray key;
    };

    // pictures: as PathText keeps names. An animation run when animate is true.
    ExportPlan(const CommandLine::ExportSettings& settings, const QStringList& pictures,
               bool animate = false);
    // folder: the one the outputs go to, checked by canWriteFolder(); empty when they go to many.
    // report, manifest: the run's own files, refused as outputs; empty or - for none.
    ExportPlan(const QList<Item>& items, const QByteArray& folder, const QByteArray& report = {},
               const QByteArray& manifest = {});

    const QList<Entry>& entries() const { return _entries; }
    // The folder the outputs go to, and whether files can be made there (true when there is no
    // one folder); failure: why not.
    QByteArray folder() const { return _folder; }
    bool canWriteFolder(QString* failure = nullptr) const;
    // Whether the report is none of the run's inputs; failure: why not.
    bool canWriteReport(QString* failure = nullptr) const;

private:
    static QList<Item> itemsOf(const CommandLine::ExportSettings& settings,
                               const QStringList& pictures, bool animate);
    static QByteArray folderOf(const CommandLine::ExportSettings& settings);
    static Entry entryOf(const Item& item);
    static QStringList inputsOf(const CommandLine::ExportSettings& settings);
    // The first of the item's names that holds a NUL; empty when none does.
    static QByteArray nameWithNul(const Item& item);
    void refuseCollisions(RunFiles& files);

    QList<Entry> _entries;
    QByteArray _folder;
    QString _reportFailure;
};
