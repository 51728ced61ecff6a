// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchReport.h"

#include "media/PathText.h"
#include "media/RegularFile.h"

#include <QJsonDocument>
#include <QStringDecoder>

#include <cstdio>
#include <system_error>

namespace {

QString statusName(BatchWorker::Status status) {
    switch (status) {
    case BatchWorker::Status::Written:
        return QStringLiteral("written");
    case BatchWorker::Status::Skipped:
        return QStringLiteral("skipped");
    case BatchWorker::Status::Failed:
    case BatchWorker::Status::NoRenderer:
    case BatchWorker::Status::Stopped:
        break;
    }
    return QStringLiteral("failed");
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

bool BatchReport::open(const QString& path, QString* failure) {
    if (path.isEmpty())
        return true;
    _path = path;
    if (path == QLatin1String("-")) {
        const bool opened = _file.open(stdout, QIODevice::WriteOnly);
        if (!opened && failure)
            *failure = tr("The report %1 cannot be written: %2")
                           .arg(PathText::shown(path), _file.errorString());
        return opened;
    }
    const RegularFile::Opening opening =
        RegularFile::openForWriting(PathText::toBytes(path), _file);
    if (opening.status == RegularFile::Status::NotRegular && failure)
        *failure = tr("The report %1 is not a regular file").arg(PathText::shown(path));
    else if (opening.status == RegularFile::Status::Unreadable && failure)
        *failure = tr("The report %1 cannot be written: %2")
                       .arg(PathText::shown(path),
                            QString::fromStdString(std::generic_category().message(opening.error)));
    return opening.status == RegularFile::Status::Opened;
}

void BatchReport::addName(QJsonObject& object, const QString& key, const QByteArray& name) {
    if (name.isEmpty())
        return;
    if (isUtf8(name)) {
        object.insert(key, QString::fromUtf8(name));
        return;
    }
    object.insert(key, PathText::shown(name));
    object.insert(key + QStringLiteral("_bytes"), QString::fromLatin1(name.toBase64()));
}

bool BatchReport::add(const ExportPlan::Entry& entry, const BatchWorker::Result& result) {
    if (!_file.isOpen())
        return _failure.isEmpty();
    QJsonObject object;
    addName(object, QStringLiteral("input"), entry.picture);
    addName(object, QStringLiteral("output"), entry.output);
    object.insert(QStringLiteral("status"), statusName(result.status));
    if (!result.failure.isEmpty())
        object.insert(QStringLiteral("reason"), result.failure);
    if (entry.line > 0)
        object.insert(QStringLiteral("line"), entry.line);
    object.insert(QStringLiteral("milliseconds"), qint64(result.elapsed.count()));
    return write(object);
}

bool BatchReport::finish(const Counts& counts, int exitCode, qint64 milliseconds) {
    if (!_file.isOpen())
        return _failure.isEmpty();
    const bool written = write(QJsonObject{{QStringLiteral("summary"), true},
                                           {QStringLiteral("written"), counts.written},
                                           {QStringLiteral("skipped"), counts.skipped},
                                           {QStringLiteral("failed"), counts.failed},
                                           {QStringLiteral("exit_code"), exitCode},
                                           {QStringLiteral("milliseconds"), milliseconds}});
    _file.close();
    return written;
}

// Each line is flushed at once, so that a run stopped midway leaves whole lines.
bool BatchReport::write(const QJsonObject& object) {
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    if (_file.write(line) == line.size() && _file.flush())
        return true;
    _failure =
        tr("The report %1 cannot be written: %2").arg(PathText::shown(_path), _file.errorString());
    _file.close();
    return false;
}
