// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HandoverMessage.h"

#include <QtEndian>

namespace {

const QByteArray magicAndVersion("PLTR\x01", 5);
constexpr qsizetype headerSize = 9; // magic and version, path count

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

} // namespace

QByteArray HandoverMessage::encode(const QList<QByteArray>& paths) {
    QByteArray bytes = magicAndVersion;
    appendCount(bytes, quint32(paths.size()));
    for (const QByteArray& path : paths) {
        appendCount(bytes, quint32(path.size()));
        bytes.append(path);
    }
    return bytes;
}

HandoverMessage::Parsed HandoverMessage::parse(const QByteArray& bytes) {
    const Parsed invalid{Status::Invalid, {}};
    const qsizetype known = std::min(bytes.size(), magicAndVersion.size());
    if (bytes.size() > maximumMessageSize || bytes.left(known) != magicAndVersion.left(known))
        return invalid;
    if (bytes.size() < headerSize)
        return {};
    const quint32 count = countAt(bytes, magicAndVersion.size());
    if (count > (maximumMessageSize - headerSize) / 4)
        return invalid;
    Parsed parsed;
    qsizetype offset = headerSize;
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
