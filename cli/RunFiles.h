// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

// Every file a run reads or writes, each with one role, known before any work. A file is known
// by its identity rather than its spelling: an existing file by its device and inode with links
// followed, and every name also by its folder's device and inode plus the name's own bytes, which
// is all a new output has. An input is known both ways, so that neither a link to it nor its own
// name can be written; an output only by its entry, which its writer replaces, link or not.
class RunFiles {
public:
    // path: the system's bytes.
    void addInput(const QByteArray& path);
    void setReport(const QByteArray& path);
    // owner: who writes it, such as the picture's place in the list.
    void addOutput(const QByteArray& path, qsizetype owner);

    bool isInput(const QByteArray& path) const;
    bool isReport(const QByteArray& path) const;
    // Who else writes the same file, in the order they were added.
    QList<qsizetype> otherOwners(const QByteArray& path, qsizetype owner) const;

private:
    // The folder's identity and the name, and the file's own identity when it exists.
    static QList<QByteArray> identities(const QByteArray& path, bool followLinks);

    QSet<QByteArray> _inputs;
    QList<QByteArray> _report;
    QHash<QByteArray, QList<qsizetype>> _outputs;
};
