// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>

// Which pictures of a run are this machine's when N machines share one list with no
// coordination: those whose key hashes to index modulo count. The hash is the first 8 bytes of
// the key's SHA-256 read as a big-endian unsigned number, so every machine and every version
// of Pleatora chooses alike.
class ShardSelector {
public:
    ShardSelector(int index, int count) : _index(index), _count(count) {}

    static std::uint64_t hash(const QByteArray& key);
    bool contains(const QByteArray& key) const;

private:
    int _index = 0;
    int _count = 1;
};
