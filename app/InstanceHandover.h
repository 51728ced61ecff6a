// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"

#include <QByteArray>
#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QTimer>

#include <optional>

class QLocalSocket;

// Lets a second launch hand its files to the instance already running, which opens them, in the
// layout the launch asked for if it did.
// Paths travel as the system's bytes in framed messages (HandoverMessage). Peers are few and
// short-lived: more than maximumPeers at once are turned away, and each has peerDeadlineMs to
// send its message. The socket is its owner's alone, and comes back if it is lost.
class InstanceHandover : public QObject {
    Q_OBJECT

public:
    static constexpr int maximumPeers = 8;
    static constexpr int peerDeadlineMs = 3000;

    InstanceHandover();

    // The socket for this user; PLEATORA_INSTANCE_NAME overrides it (tests run side by side).
    static QString serverName();
    // True when a running instance took the paths; the caller then exits. Blocks for up to a
    // few seconds, so only a launch that has nothing else to do calls it.
    static bool handOver(const QString& name, const QList<QByteArray>& paths,
                         const std::optional<FoldLayout>& layout = std::nullopt);
    // True when an instance accepts connections under that name.
    static bool isAnswering(const QString& name);

    // Starts answering later launches; false when another instance already answers.
    bool listen(const QString& name);
    QString fullServerName() const { return _server.fullServerName(); }

signals:
    // An empty list asks the running instance to show itself.
    void filesHandedOver(const QList<QByteArray>& paths, const std::optional<FoldLayout>& layout);

private:
    void acceptConnections();
    void readPeer(QLocalSocket* peer, QByteArray& received);
    bool startListening();
    void listenAgainIfLost();

    QLocalServer _server;
    QString _name;
    QTimer _listenCheck;
    int _peerCount = 0;
};
