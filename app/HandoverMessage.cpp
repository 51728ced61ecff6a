// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HandoverMessage.h"

#include <QtEndian>

namespace {

const QByteArray magic("PLTR");
constexpr char pathsOnly = 1;
constexpr char withLayout = 2;
constexpr qsizetype versionSize = 5; // magic and version
// Longer than any preset's name and axis.
constexpr quint32 maximumLayoutSize = 64;

void appendCount(QByteArray& bytes, quint32 count) {
    const quint32 bigEndian = qToBigEndian(count);
    bytes.append(reinterpret_cast<const char*>(&bigEndian), sizeof bigEndian);
}

quint32 countAt(const QByteArray& bytes, qsizetype offset) {
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

bool isAcceptablePath(const QByteArray& path) {
    return path.startsWith('/') && !path.contains('\0');
}

QByteArray layoutText(const FoldLayout& layout) {
    return QByteArray::fromStdString(layout.name()) + ' ' +
           QByteArray(FoldLayout::axisName(layout.axis()).data());
}

std::optional<FoldLayout> layoutOfText(const QByteArray& text) {
    const QList<QByteArray> words = text.split(' ');
    if (words.size() != 2)
        return std::nullopt;
    const auto axis = FoldLayout::axisFromName(words[1].toStdString());
    if (!axis)
        return std::nullopt;
    return FoldLayout::fromName(words[0].toStdString(), *axis);
}

} // namespace

QByteArray HandoverMessage::encode(const QList<QByteArray>& paths,
                                   const std::optional<FoldLayout>& layout) {
    QByteArray bytes = magic + (layout ? withLayout : pathsOnly);
    if (layout) {
        const QByteArray text = layoutText(*layout);
        appendCount(bytes, quint32(text.size()));
        bytes.append(text);
    }
    appendCount(bytes, quint32(paths.size()));
    for (const QByteArray& path : paths) {
        appendCount(bytes, quint32(path.size()));
        bytes.append(path);
    }
    return bytes;
}

HandoverMessage::Parsed HandoverMessage::parse(const QByteArray& bytes) {
    const Parsed invalid{Status::Invalid, {}, {}};
    const qsizetype known = std::min(bytes.size(), magic.size());
    if (bytes.size() > maximumMessageSize || bytes.left(known) != magic.left(known))
        return invalid;
    if (bytes.size() < versionSize)
        return {};
    const char version = bytes[magic.size()];
    if (version == pathsOnly)
        return parsePaths(bytes, versionSize);
    if (version != withLayout)
        return invalid;
    if (bytes.size() < versionSize + 4)
        return {};
    const quint32 length = countAt(bytes, versionSize);
    if (length > maximumLayoutSize)
        return invalid;
    const qsizetype pathsStart = versionSize + 4 + qsizetype(length);
    if (bytes.size() < pathsStart)
        return {};
    const std::optional<FoldLayout> layout = layoutOfText(bytes.mid(versionSize + 4, length));
    if (!layout)
        return invalid;
    Parsed parsed = parsePaths(bytes, pathsStart);
    parsed.layout = layout;
    return parsed.status == Status::Invalid ? invalid : parsed;
}

HandoverMessage::Parsed HandoverMessage::parsePaths(const QByteArray& bytes, qsizetype offset) {
    const Parsed invalid{Status::Invalid, {}, {}};
    if (bytes.size() < offset + 4)
        return {};
    const quint32 count = countAt(bytes, offset);
    if (count > (maximumMessageSize - offset) / 4)
        return invalid;
    Parsed parsed;
    offset += 4;
    for (quint32 i = 0; i < count; ++i) {
        if (offset + 4 > bytes.size())
            return {};
        const quint32 length = countAt(bytes, offset);
        if (length == 0 || length > maximumPathSize)
            return invalid;
        offset += 4;
        if (offset + qsizetype(length) > bytes.size())
            return {};
        const QByteArray path = bytes.mid(offset, length);
        if (!isAcceptablePath(path))
            return invalid;
        parsed.paths.append(path);
        offset += length;
    }
    if (offset != bytes.size())
        return invalid;
    parsed.status = Status::Complete;
    return parsed;
}
