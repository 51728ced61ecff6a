// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <QByteArray>
#include <QList>

#include <optional>

// What a launch hands over to the running instance: a magic and version, the number of paths,
// then each path as its length and the system's bytes for it. With lengths first a path may hold
// any byte, a newline included, and one that is too long is refused before it arrives. Version 2
// adds the layout asked for, as its length and "NAME AXIS", between the magic and the paths; a
// launch without a layout sends version 1, which every Pleatora reads.
class HandoverMessage {
public:
    // The system's own limit on a path.
    static constexpr qsizetype maximumPathSize = 4096;
    // Room for a few thousand paths; a peer sending more is not a Pleatora launch.
    static constexpr qsizetype maximumMessageSize = 1 << 20;
    // Sent back once a whole message has arrived, so that a launch never exits on lost files.
    static constexpr char acknowledgement = 'K';

    enum class Status { Incomplete, Complete, Invalid };
    struct Parsed {
        Status status = Status::Incomplete;
        QList<QByteArray> paths;
        std::optional<FoldLayout> layout;
    };

    // Absolute paths of at most maximumPathSize bytes.
    static QByteArray encode(const QList<QByteArray>& paths,
                             const std::optional<FoldLayout>& layout = std::nullopt);
    // The bytes received so far from one peer.
    static Parsed parse(const QByteArray& bytes);

private:
    static Parsed parsePaths(const QByteArray& bytes, qsizetype offset);
};
