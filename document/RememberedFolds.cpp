// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/RememberedFolds.h"

#include "media/DocumentLog.h"
#include "media/PathText.h"
#include "media/RegularFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>

RememberedFolds::RememberedFolds(const QString& folder, int capacity)
    : _folder(folder), _capacity(capacity) {}

// Qt 6.4 has no standard location for state, so the XDG rule is followed here.
QString RememberedFolds::defaultFolder() {
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (stateHome.isEmpty() || QDir::isRelativePath(stateHome))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/pleatora/folds");
}

QString RememberedFolds::keyOfPicture(const QString& path) {
    QFile file;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (RegularFile::openForReading(PathText::toBytes(path), file).status !=
            RegularFile::Status::Opened ||
        !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

std::optional<FoldFile> RememberedFolds::recall(const QString& key) const {
    const QString path = entryPath(key);
    if (key.isEmpty() || !QFile::exists(path))
        return std::nullopt;
    QString error;
    std::optional<FoldFile> fold = FoldFile::read(path, &error);
    if (!fold)
        qCWarning(documentLog) << "A remembered fold is damaged and was ignored:" << error;
    return fold;
}

void RememberedFolds::remember(const QString& key, const FoldFile& fold) {
    if (key.isEmpty())
        return;
    QString error;
    if (!QDir().mkpath(_folder) || !fold.write(entryPath(key), &error)) {
        qCWarning(documentLog) << "A fold could not be remembered in" << _folder << error;
        return;
    }
    dropOldest(FoldFile::suffix);
}

void RememberedFolds::forget(const QString& key) {
    if (!key.isEmpty())
        QFile::remove(entryPath(key));
}

QString RememberedFolds::entryPath(const QString& key) const {
    return _folder + u'/' + key + u'.' + FoldFile::suffix;
}

void RememberedFolds::dropOldest(const QString& suffix) {
    const QFileInfoList entries =
        QDir(_folder).entryInfoList({QStringLiteral("*.") + suffix}, QDir::Files, QDir::Time);
    for (qsizetype i = _capacity; i < entries.size(); ++i)
        QFile::remove(entries[i].filePath());
}

QString RememberedFolds::backPicturePath(const QString& key) const {
    return _folder + u'/' + key + QStringLiteral(".back");
}

// The path is kept as UTF-8 text, one line; a damaged or foreign entry reads as none.
QString RememberedFolds::recallBackPicture(const QString& key) const {
    QFile file;
    if (key.isEmpty() ||
        RegularFile::openForReading(PathText::toBytes(backPicturePath(key)), file).status !=
            RegularFile::Status::Opened)
        return {};
    return PathText::fromBytes(file.read(4096).trimmed());
}

void RememberedFolds::rememberBackPicture(const QString& key, const QString& path) {
    if (key.isEmpty())
        return;
    if (path.isEmpty()) {
        QFile::remove(backPicturePath(key));
        return;
    }
    QSaveFile file(backPicturePath(key));
    if (!QDir().mkpath(_folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(PathText::toBytes(path) + '\n') < 0 || !file.commit()) {
        qCWarning(documentLog) << "A back picture could not be remembered in" << _folder;
        return;
    }
    dropOldest(QStringLiteral("back"));
}
