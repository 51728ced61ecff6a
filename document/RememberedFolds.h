// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/FoldFile.h"

#include <QString>

#include <optional>

// The last fold of each picture, kept in the user's state folder so that a picture opened again
// comes back as it was left. Each is a fold file named by a hash of the picture's content: a
// moved or renamed picture keeps its fold, an edited one starts flat. The store keeps the
// `capacity` folds remembered last. Entries are read only when they are regular files and written
// by renaming a new file over them, so whatever is planted in the folder under a picture's
// predictable name is never written through or blocked on.
class RememberedFolds {
public:
    explicit RememberedFolds(const QString& folder = defaultFolder(), int capacity = 200);

    // $XDG_STATE_HOME/pleatora/folds, by default ~/.local/state/pleatora/folds.
    static QString defaultFolder();
    // The SHA-256 of the file's bytes in hex; empty when it cannot be read or is not a regular
    // file.
    static QString keyOfPicture(const QString& path);

    // Null when nothing is remembered under the key, or what is there is damaged.
    std::optional<FoldFile> recall(const QString& key) const;
    void remember(const QString& key, const FoldFile& fold);
    void forget(const QString& key);
    // The back picture chosen for the picture, by its path; empty when none is remembered.
    QString recallBackPicture(const QString& key) const;
    // An empty path forgets it.
    void rememberBackPicture(const QString& key, const QString& path);

    QString folder() const { return _folder; }

private:
    QString entryPath(const QString& key) const;
    QString backPicturePath(const QString& key) const;
    void dropOldest(const QString& suffix);

    QString _folder;
    int _capacity;
};
