// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// File names are the system's bytes and need not be UTF-8. These keep such a name whole inside a
// QString (each byte that is not UTF-8 as the lone surrogate U+DC80 + byte, so the bytes come
// back exactly), and show any name on one line.
namespace PathText {

QString fromBytes(const QByteArray& bytes);
QByteArray toBytes(const QString& text);

// The name with C-style escapes for what would break a line or is not UTF-8: \n, \t, \r, \\ and
// \xNN for other control characters and for bytes that are not UTF-8. Past 300 characters only
// the first and last 140 are shown, with "…" between.
QString shown(const QByteArray& bytes);
QString shown(const QString& text);

} // namespace PathText
