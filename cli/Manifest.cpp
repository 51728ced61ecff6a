// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Manifest.h"

#include "media/Failure.h"
#include "media/PathText.h"
#include "media/RegularFile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <system_error>
#include <unistd.h>

namespace {

const QString inputKey = QStringLiteral("input");
const QString outputKey = QStringLiteral("output");
const QString layoutKey = QStringLiteral("layout");
const QString horizontalKey = QStringLiteral("horizontal");
const QStringList switches = {QStringLiteral("shadow"), QStringLiteral("lines"), horizontalKey};
const QStringList valueKeys = {QStringLiteral("fold"),
                               QStringLiteral("scale"),
                               QStringLiteral("width"),
                               QStringLiteral("pitch"),
                               QStringLiteral("yaw"),
                               QStringLiteral("background"),
                               QStringLiteral("format"),
                               QStringLiteral("shading"),
                               QStringLiteral("shadow-opacity"),
                               QStringLiteral("shadow-blur"),
                               QStringLiteral("shadow-offset"),
                               QStringLiteral("screen-height"),
                               layoutKey,
                               QStringLiteral("back"),
                               QStringLiteral("back_colour"),
                               QStringLiteral("grain"),
                               QStringLiteral("crease_shading"),
                               QStringLiteral("gloss"),
                               QStringLiteral("bleed"),
                               QStringLiteral("back_turn"),
                               QStringLiteral("sheet_size"),
                               QStringLiteral("front_page"),
                               QStringLiteral("back_page")};

// The two page columns are one option, --pages=FRONT[,BACK].
const QString frontPageKey = QStringLiteral("front_page");
const QString backPageKey = QStringLiteral("back_page");

// Cells that name files: only a string says which exactly.
const QStringList names = {inputKey, outputKey, QStringLiteral("fold"), QStringLiteral("back")};

// Longer lines are no manifest; an endless one would otherwise fill the memory.
constexpr qsizetype longestLine = 1024 * 1024;

// The members of a JSON object as written: QJsonObject keeps only the last of a repeated key.
qsizetype membersWritten(const QByteArray& object) {
    qsizetype members = 0;
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < object.size(); ++i) {
        const char c = object[i];
        if (inString && c == '\\')
            ++i;
        else if (c == '"')
            inString = !inString;
        else if (!inString && (c == '{' || c == '['))
            ++depth;
        else if (!inString && (c == '}' || c == ']'))
            --depth;
        else if (!inString && c == ':' && depth == 1)
            ++members;
    }
    return members;
}

bool isKnown(const QString& key) {
    return key == inputKey || key == outputKey || switches.contains(key) || valueKeys.contains(key);
}

// A switch's cell: yes or no in the usual spellings; unset when empty.
std::optional<bool> switchValue(const QString& text, bool* valid) {
    const QString value = text.trimmed().toLower();
    *valid = true;
    if (value.isEmpty())
        return std::nullopt;
    if (QStringList{"yes", "true", "1", "on"}.contains(value))
        return true;
    if (QStringList{"no", "false", "0", "off"}.contains(value))
        return false;
    *valid = false;
    return std::nullopt;
}

// The row's own settings over the defaults: only what the row gives replaces them.
void overlay(const CommandLine::ExportSettings& row, const QSet<QString>& given,
             CommandLine::ExportSettings* settings) {
    if (given.contains(QStringLiteral("scale")) || given.contains(QStringLiteral("width"))) {
        settings->scale = row.scale;
        settings->width = row.width;
    }
    if (given.contains(QStringLiteral("fold")))
        settings->foldFile = row.foldFile;
    if (given.contains(QStringLiteral("format")))
        settings->format = row.format;
    if (given.contains(QStringLiteral("screen-height")))
        settings->screenHeight = row.screenHeight;
    if (given.contains(QStringLiteral("background")))
        settings->background = row.background;
    if (given.contains(layoutKey) || given.contains(horizontalKey))
        settings->layout = row.layout;
    const auto take = [](const auto& value, auto& kept) {
        if (value)
            kept = value;
    };
    take(row.pitch, settings->pitch);
    take(row.yaw, settings->yaw);
    take(row.shading, settings->shading);
    take(row.shadowOpacity, settings->shadowOpacity);
    take(row.shadowBlur, settings->shadowBlur);
    take(row.shadowOffset, settings->shadowOffset);
    if (given.contains(QStringLiteral("back")))
        settings->back = row.back;
    take(row.backColour, settings->backColour);
    take(row.grain, settings->grain);
    take(row.creaseShading, settings->creaseShading);
    take(row.gloss, settings->gloss);
    take(row.frontPage, settings->frontPage);
    take(row.backPage, settings->backPage);
    if (given.contains(QStringLiteral("bleed")))
        settings->bleedPoints = row.bleedPoints;
    take(row.backTurn, settings->backTurn);
    take(row.sheetPoints, settings->sheetPoints);
}

// A back page alone is printed behind page 1.
QStringList pagesArgument(const QString& front, const QString& back) {
    if (front.isEmpty() && back.isEmpty())
        return {};
    const QString first = front.isEmpty() ? QStringLiteral("1") : front;
    return {QStringLiteral("--pages=%1").arg(back.isEmpty() ? first : first + u',' + back)};
}

} // namespace

QList<ExportPlan::Item>
Manifest::read(const QString& path, const CommandLine::ExportSettings& defaults, QString* failure) {
    QFile file;
    // Standard input by its descriptor: a stream would end each line at a NUL.
    if (path == QLatin1String("-")) {
        if (file.open(STDIN_FILENO, QIODevice::ReadOnly))
            return read(file, defaults, failure, mostStandardInputLines);
        Failure::fail(failure, tr("The manifest %1 cannot be read: %2")
                                   .arg(PathText::shown(path), file.errorString()));
        return {};
    }
    const RegularFile::Opening opening = RegularFile::openForReading(PathText::toBytes(path), file);
    if (opening.status == RegularFile::Status::Opened)
        return read(file, defaults, failure);
    const QString reason =
        opening.status == RegularFile::Status::NotRegular
            ? tr("Not a regular file")
            : QString::fromStdString(std::generic_category().message(opening.error));
    Failure::fail(failure,
                  tr("The manifest %1 cannot be read: %2").arg(PathText::shown(path), reason));
    return {};
}

QList<ExportPlan::Item> Manifest::read(QIODevice& device,
                                       const CommandLine::ExportSettings& defaults,
                                       QString* failure, int mostLines) {
    QList<ExportPlan::Item> items;
    QStringList header;
    bool jsonLines = false;
    // One buffer for every line: a fresh one of the longest size each line costs far more than
    // reading it.
    QByteArray buffer(longestLine + 2, Qt::Uninitialized);
    // Until a read gives nothing: a pipe's descriptor can say it is at its end before its data
    // comes.
    for (int line = 1;; ++line) {
        const qint64 length = device.readLine(buffer.data(), buffer.size());
        if (length <= 0)
            break;
        QByteArray text(buffer.constData(), length);
        if (line > mostLines) {
            Failure::fail(failure, tr("The manifest goes on past %1 lines.").arg(mostLines));
            return {};
        }
        if (text.size() > longestLine && !text.endsWith('\n')) {
            Failure::fail(failure, tr("Line %1 of the manifest is longer than 1 MB.").arg(line));
            return {};
        }
        while (text.endsWith('\n') || text.endsWith('\r'))
            text.chop(1);
        if (text.trimmed().isEmpty())
            continue;
        if (header.isEmpty() && !jsonLines) {
            jsonLines = text.trimmed().startsWith('{');
            if (!jsonLines) {
                bool unclosed = false;
                for (const QString& column : csvFields(text, &unclosed))
                    header.append(column.trimmed());
                if (QString problem; !checkHeader(header, &problem)) {
                    if (failure)
                        *failure = tr("Line %1 of the manifest: %2").arg(line).arg(problem);
                    return {};
                }
                continue;
            }
        }
        Row row;
        QString problem;
        const bool read = jsonLines ? readJsonRow(text, &row, &problem)
                                    : readCsvRow(header, text, &row, &problem);
        ExportPlan::Item item = read ? itemOf(row, line, defaults) : ExportPlan::Item{};
        if (!read) {
            item.line = line;
            item.picture = PathText::toBytes(row.value(inputKey));
            item.failure = tr("Line %1 of the manifest: %2").arg(line).arg(problem);
        }
        items.append(item);
    }
    if (items.isEmpty() && failure)
        *failure = tr("The manifest lists no picture.");
    return items;
}

bool Manifest::checkHeader(const QStringList& header, QString* failure) {
    for (const QString& column : header) {
        if (!isKnown(column))
            return Failure::fail(failure, tr("unknown column '%1'").arg(PathText::shown(column)));
        if (header.count(column) > 1)
            return Failure::fail(failure,
                                 tr("the column '%1' is named twice").arg(PathText::shown(column)));
    }
    if (!header.contains(inputKey))
        return Failure::fail(failure, tr("the header row has no input column"));
    return true;
}

// RFC 4180 fields of one line: commas, and quotes doubled inside quoted fields. Bytes that are
// not UTF-8 are kept as PathText keeps names.
QStringList Manifest::csvFields(const QByteArray& line, bool* unclosed) {
    QStringList fields;
    QByteArray field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            field += line[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.append(PathText::fromBytes(std::exchange(field, QByteArray())));
        else
            field += c;
    }
    fields.append(PathText::fromBytes(field));
    *unclosed = quoted;
    return fields;
}

bool Manifest::readCsvRow(const QStringList& header, const QByteArray& line, Row* row,
                          QString* failure) {
    bool unclosed = false;
    const QStringList fields = csvFields(line, &unclosed);
    for (qsizetype i = 0; i < std::min(fields.size(), header.size()); ++i)
        row->insert(header[i], fields[i]);
    if (unclosed)
        return Failure::fail(failure, tr("a quoted field is not closed"));
    if (fields.size() != header.size())
        return Failure::fail(
            failure, tr("%1 fields where the header has %2").arg(fields.size()).arg(header.size()));
    return true;
}

bool Manifest::readJsonRow(const QByteArray& line, Row* row, QString* failure) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (!document.isObject())
        return Failure::fail(failure, error.error != QJsonParseError::NoError
                                          ? tr("not JSON: %1").arg(error.errorString())
                                          : tr("not a JSON object"));
    const QJsonObject object = document.object();
    QString reason;
    if (membersWritten(line) != object.size())
        reason = tr("a key is given twice");
    for (auto i = object.begin(); i != object.end(); ++i) {
        const QJsonValue value = i.value();
        if (value.isString())
            row->insert(i.key(), value.toString());
        else if (names.contains(i.key()) && !value.isNull())
            reason = tr("'%1' wants a string").arg(i.key());
        else if (value.isDouble())
            row->insert(i.key(), QString::number(value.toDouble()));
        else if (value.isBool())
            row->insert(i.key(), value.toBool() ? QStringLiteral("yes") : QStringLiteral("no"));
        else if (!value.isNull())
            reason = tr("'%1' wants a string, a number or true or false").arg(i.key());
        if (!isKnown(i.key()))
            reason = tr("unknown key '%1'").arg(i.key());
    }
    if (!reason.isEmpty())
        return Failure::fail(failure, reason);
    return true;
}

ExportPlan::Item Manifest::itemOf(const Row& row, int line,
                                  const CommandLine::ExportSettings& defaults) {
    ExportPlan::Item item{PathText::toBytes(row.value(inputKey)), defaults, line, {}};
    item.settings.output = row.value(outputKey);
    QString problem;
    if (readSettings(row, &item.settings, &problem) && item.picture.isEmpty())
        problem = tr("no input");
    if (problem.isEmpty() && item.settings.output.isEmpty() &&
        item.settings.outputDirectory.isEmpty())
        problem = tr("no output, and no --export-dir to put it in");
    if (!problem.isEmpty())
        item.failure = tr("Line %1 of the manifest: %2").arg(line).arg(problem);
    return item;
}

// The row's cells through the command line's own checks, so that a value means and is refused
// the same in a row as in an option.
bool Manifest::readSettings(const Row& row, CommandLine::ExportSettings* settings,
                            QString* failure) {
    QStringList arguments = {QStringLiteral("pleatora"), QStringLiteral("--manifest=-")};
    QSet<QString> given;
    std::optional<bool> horizontal;
    for (auto i = row.begin(); i != row.end(); ++i) {
        if (i.value().trimmed().isEmpty() || i.key() == inputKey || i.key() == outputKey)
            continue;
        given.insert(i.key());
        if (i.key() == frontPageKey || i.key() == backPageKey)
            continue;
        if (!switches.contains(i.key())) {
            // The paper's columns are named with underscores, their options with dashes.
            const QString option = QString(i.key()).replace(u'_', u'-');
            arguments.append(QStringLiteral("--%1=%2").arg(option, i.value().trimmed()));
            continue;
        }
        bool valid = false;
        const std::optional<bool> on = switchValue(i.value(), &valid);
        if (!valid)
            return Failure::fail(failure,
                                 tr("%1 wants yes or no, not '%2'").arg(i.key(), i.value()));
        if (i.key() == horizontalKey)
            horizontal = on;
        else
            arguments.append((*on ? QStringLiteral("--") : QStringLiteral("--no-")) + i.key());
    }
    arguments += layoutArguments(row, horizontal, settings->layout);
    arguments += pagesArgument(row.value(frontPageKey).trimmed(), row.value(backPageKey).trimmed());
    const CommandLine parsed = CommandLine::parse(arguments);
    if (parsed.mode == CommandLine::Mode::Error)
        return Failure::fail(failure, parsed.failure);
    overlay(parsed.exportSettings, given, settings);
    if (given.contains(QStringLiteral("shadow")))
        settings->shadow = parsed.exportSettings.shadow;
    if (given.contains(QStringLiteral("lines")))
        settings->lines = parsed.exportSettings.lines;
    return true;
}

// A row's layout names a preset, its horizontal cell the axis; the command line's layout gives
// what the row leaves out.
QStringList Manifest::layoutArguments(const Row& row, std::optional<bool> horizontal,
                                      const std::optional<FoldLayout>& defaults) {
    const bool namesLayout = !row.value(layoutKey).trimmed().isEmpty();
    if (!horizontal && !namesLayout)
        return {};
    const bool across =
        horizontal.value_or(defaults && defaults->axis() == FoldLayout::Axis::horizontal);
    QStringList arguments;
    if (!namesLayout && defaults)
        arguments.append(
            QStringLiteral("--layout=%1").arg(QString::fromStdString(defaults->name())));
    if (across)
        arguments.append(QStringLiteral("--horizontal"));
    return arguments;
}
