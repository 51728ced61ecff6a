// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ExportPlan.h"

#include "document/PathText.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Where a name puts its file: the folder with every link resolved, then the name itself, so that
// two spellings of one place compare equal. Replacing an output replaces this entry.
QByteArray place(const QByteArray& path) {
    namespace fs = std::filesystem;
    const fs::path given(path.toStdString());
    std::error_code error;
    fs::path folder = fs::canonical(fs::absolute(given, error).parent_path(), error);
    if (error)
        folder = fs::absolute(given, error).parent_path().lexically_normal();
    return QByteArray::fromStdString((folder / given.filename()).native());
}

// The file a name reaches through any links, when it exists.
QByteArray target(const QByteArray& path) {
    std::error_code error;
    const auto resolved = std::filesystem::canonical(path.toStdString(), error);
    return error ? QByteArray() : QByteArray::fromStdString(resolved.native());
}

QString shown(const QByteArray& path) {
    return PathText::shown(path);
}

} // namespace

ExportPlan::ExportPlan(const CommandLine::ExportSettings& settings, const QStringList& pictures)
    : _settings(settings) {
    _folder = PathText::toBytes(settings.output.isEmpty() ? settings.outputDirectory
                                                          : QFileInfo(settings.output).path());
    for (const QString& picture : pictures) {
        Entry entry;
        entry.picture = PathText::toBytes(picture);
        entry.output = outputPath(entry.picture);
        entry.format = formatFor(entry.output);
        if (!entry.format)
            entry.refusal =
                tr("Pleatora cannot write this kind of file here: %1").arg(shown(entry.output));
        _entries.append(entry);
    }
    QList<QByteArray> otherInputs;
    if (!settings.foldFile.isEmpty())
        otherInputs.append(PathText::toBytes(settings.foldFile));
    refuseCollisions(otherInputs);
}

QByteArray ExportPlan::outputPath(const QByteArray& picture) const {
    if (!_settings.output.isEmpty())
        return PathText::toBytes(_settings.output);
    const QString suffix = _settings.format.isEmpty() ? QStringLiteral("png") : _settings.format;
    const ExportFormat format =
        ExportWriter::formatForFileName(QStringLiteral("x.") + suffix).value_or(ExportFormat());
    const QString name = PathText::fromBytes(picture.mid(picture.lastIndexOf('/') + 1));
    return PathText::toBytes(QDir(_settings.outputDirectory).filePath(format.foldedFileName(name)));
}

std::optional<ExportFormat> ExportPlan::formatFor(const QByteArray& output) const {
    if (!_settings.format.isEmpty())
        return ExportWriter::formatForFileName(QStringLiteral("x.") + _settings.format);
    const QString name = PathText::fromBytes(output);
    if (QFileInfo(name).suffix().isEmpty())
        return ExportWriter::formats().first();
    return ExportWriter::formatForFileName(name);
}

// Every picture of a collision is refused, whichever comes first, so no order of the list and no
// shard of it writes one where another would.
void ExportPlan::refuseCollisions(const QList<QByteArray>& otherInputs) {
    QSet<QByteArray> inputs; // where each input is, and what it reaches through links
    QHash<QByteArray, QList<qsizetype>> outputs;
    QList<QByteArray> allInputs = otherInputs;
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        allInputs.append(_entries[i].picture);
        outputs[place(_entries[i].output)].append(i);
    }
    for (const QByteArray& input : allInputs) {
        inputs.insert(place(input));
        if (const QByteArray reached = target(input); !reached.isEmpty())
            inputs.insert(reached);
    }
    for (qsizetype i = 0; i < _entries.size(); ++i) {
        Entry& entry = _entries[i];
        const QList<qsizetype>& sharing = outputs.value(place(entry.output));
        struct stat status {};
        if (!entry.refusal.isEmpty())
            continue;
        if (inputs.contains(place(entry.output)))
            entry.refusal = tr("Its output %1 is an input of this run").arg(shown(entry.output));
        else if (sharing.size() > 1)
            entry.refusal = tr("Its output %1 would also be that of %2")
                                .arg(shown(entry.output),
                                     shown(_entries[sharing[sharing[0] == i ? 1 : 0]].picture));
        else if (::stat(entry.output.constData(), &status) == 0 && !S_ISREG(status.st_mode))
            entry.refusal = tr("Its output %1 is not a regular file").arg(shown(entry.output));
    }
}

QString ExportPlan::folderProblem() const {
    const QByteArray folder = _folder.isEmpty() ? QByteArray(".") : _folder;
    struct stat status {};
    int error = 0;
    if (::stat(folder.constData(), &status) != 0)
        error = errno;
    else if (!S_ISDIR(status.st_mode))
        error = ENOTDIR;
    else if (::access(folder.constData(), W_OK | X_OK) != 0)
        error = errno;
    if (!error)
        return QString();
    return tr("The output folder %1 cannot be written: %2")
        .arg(shown(folder), QString::fromStdString(std::generic_category().message(error)));
}
