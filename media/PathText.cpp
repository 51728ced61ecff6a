// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PathText.h"

namespace PathText {

namespace {

constexpr char16_t escapeBase = 0xDC00;
// A longer name is shown by its two ends, enough to tell it apart on one line.
constexpr qsizetype longestShown = 300;
constexpr qsizetype keptAtEachEnd = 140;

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at `at`, or 0 where there is none (stray or
// overlong bytes, surrogates, code points past U+10FFFF).
qsizetype sequenceLength(const QByteArray& bytes, qsizetype at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return 1;
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i) {
        if (!isContinuation(bytes[at + i]))
            return 0;
    }
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

// The start and end of a long name, never half a surrogate pair.
QString startOf(const QString& text) {
    return text.left(text[keptAtEachEnd - 1].isHighSurrogate() ? keptAtEachEnd - 1 : keptAtEachEnd);
}

QString endOf(const QString& text) {
    const qsizetype from = text.size() - keptAtEachEnd;
    return text.mid(text[from].isLowSurrogate() ? from + 1 : from);
}

QString escaped(const QByteArray& bytes) {
    const QString text = fromBytes(bytes);
    QString result;
    result.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar unit = text[at];
        const char16_t code = unit.unicode();
        // A pair's low half may look like an escaped byte.
        if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            result += QStringView(text).mid(at, 2);
            ++at;
        } else if (code == u'\n') {
            result += QLatin1String("\\n");
        } else if (code == u'\t') {
            result += QLatin1String("\\t");
        } else if (code == u'\r') {
            result += QLatin1String("\\r");
        } else if (code == u'\\') {
            result += QLatin1String("\\\\");
        } else if (code < 0x20 || code == 0x7F ||
                   (code >= escapeBase + 0x80 && code <= escapeBase + 0xFF)) {
            result += QStringLiteral("\\x%1").arg(code & 0xFF, 2, 16, QLatin1Char('0'));
        } else {
            result += unit;
        }
    }
    return result;
}

} // namespace

QString fromBytes(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        if (const qsizetype length = sequenceLength(bytes, at)) {
            text += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        } else {
            text += QChar(escapeBase + static_cast<unsigned char>(bytes[at++]));
        }
    }
    return text;
}

QByteArray toBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar unit = text[at];
        const bool pair =
            unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate();
        if (pair) {
            bytes += QStringView(text).mid(at, 2).toUtf8();
            ++at;
        } else if (unit.unicode() >= escapeBase + 0x80 && unit.unicode() <= escapeBase + 0xFF) {
            bytes += char(unit.unicode() - escapeBase);
        } else {
            bytes += QStringView(&unit, 1).toUtf8();
        }
    }
    return bytes;
}

QString shown(const QByteArray& bytes) {
    const QString ellipsis = QStringLiteral("…");
    // A name may be megabytes long: only its ends are escaped then. Even at four bytes a character
    // each end holds enough.
    constexpr qsizetype bytesAtEachEnd = 4 * keptAtEachEnd;
    if (bytes.size() > 2 * bytesAtEachEnd)
        return startOf(escaped(bytes.left(bytesAtEachEnd))) + ellipsis +
               endOf(escaped(bytes.right(bytesAtEachEnd)));
    const QString text = escaped(bytes);
    return text.size() <= longestShown ? text : startOf(text) + ellipsis + endOf(text);
}

QString shown(const QString& text) {
    return shown(toBytes(text));
}

} // namespace PathText
