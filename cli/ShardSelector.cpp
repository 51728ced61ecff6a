// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ShardSelector.h"

#include <QCryptographicHash>
#include <QtEndian>

std::uint64_t ShardSelector::hash(const QByteArray& key) {
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256);
    return qFromBigEndian<quint64>(digest.constData());
}

bool ShardSelector::contains(const QByteArray& key) const {
    return _count <= 1 || hash(key) % std::uint64_t(_count) == std::uint64_t(_index);
}
