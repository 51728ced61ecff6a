// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceHandover.h"

#include "app/AppLog.h"
#include "app/HandoverMessage.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

namespace {
constexpr int connectTimeoutMs = 1000;
constexpr int answerTimeoutMs = 5000;
constexpr int listenCheckIntervalMs = 1000;
} // namespace

InstanceHandover::InstanceHandover() {
    connect(&_server, &QLocalServer::newConnection, this, &InstanceHandover::acceptConnections);
    _listenCheck.setInterval(listenCheckIntervalMs);
    connect(&_listenCheck, &QTimer::timeout, this, &InstanceHandover::listenAgainIfLost);
}

QString InstanceHandover::serverName() {
    const QString name = qEnvironmentVariable("PLEATORA_INSTANCE_NAME");
    if (!name.isEmpty())
        return name;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("pleatora.socket"));
}

bool InstanceHandover::handOver(const QString& name, const QList<QByteArray>& paths,
                                const std::optional<FoldLayout>& layout) {
    QList<QByteArray> sendable;
    for (const QByteArray& path : paths) {
        if (path.size() <= HandoverMessage::maximumPathSize)
            sendable.append(path);
        else
            qCWarning(appLog) << "Left out a path longer than the system allows:" << path.left(80);
    }
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectTimeoutMs))
        return false;
    socket.write(HandoverMessage::encode(sendable, layout));
    // Taken only once the running instance says it has the whole message.
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(answerTimeoutMs))
            return false;
    }
    return socket.read(1) == QByteArray(1, HandoverMessage::acknowledgement);
}

bool InstanceHandover::isAnswering(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(connectTimeoutMs);
}

bool InstanceHandover::listen(const QString& name) {
    _name = name;
    if (!startListening())
        return false;
    _listenCheck.start();
    return true;
}

// With socket options Qt binds elsewhere and renames the socket over the name, so a running
// instance's socket would be replaced rather than refused: ask first whether one answers.
bool InstanceHandover::startListening() {
    if (isAnswering(_name))
        return false;
    _server.setSocketOptions(QLocalServer::UserAccessOption);
    if (_server.listen(_name))
        return true;
    qCWarning(appLog) << "Cannot take hand-overs from later launches:" << _server.errorString();
    return false;
}

// Qt closes the server and removes its socket when accepting fails (out of descriptors, say),
// and a cleaner may remove the socket file: every later launch would then start an instance
// of its own.
void InstanceHandover::listenAgainIfLost() {
    if (_server.isListening() && QFileInfo::exists(_server.fullServerName()))
        return;
    qCWarning(appLog) << "The hand-over socket was lost, listening again:" << _server.errorString();
    _server.close();
    if (isAnswering(_name))
        _listenCheck.stop(); // another instance took over the name
    else
        startListening();
}

void InstanceHandover::acceptConnections() {
    while (QLocalSocket* peer = _server.nextPendingConnection()) {
        if (_peerCount >= maximumPeers) {
            qCWarning(appLog) << "Turned a hand-over peer away: too many at once";
            peer->abort();
            peer->deleteLater();
            continue;
        }
        ++_peerCount;
        connect(peer, &QObject::destroyed, this, [this] { --_peerCount; });
        auto received = std::make_shared<QByteArray>();
        connect(peer, &QLocalSocket::readyRead, this,
                [this, peer, received] { readPeer(peer, *received); });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(peerDeadlineMs, peer, [peer] {
            if (peer->state() != QLocalSocket::ConnectedState)
                return;
            qCWarning(appLog) << "Dropped a hand-over peer that sent no whole message in time";
            peer->abort();
            peer->deleteLater();
        });
    }
}

void InstanceHandover::readPeer(QLocalSocket* peer, QByteArray& received) {
    if (peer->state() != QLocalSocket::ConnectedState)
        return;
    received.append(peer->readAll());
    const HandoverMessage::Parsed message = HandoverMessage::parse(received);
    if (message.status == HandoverMessage::Status::Incomplete)
        return;
    if (message.status == HandoverMessage::Status::Invalid) {
        qCWarning(appLog) << "Dropped a hand-over peer that sent no Pleatora message";
        peer->abort();
        peer->deleteLater();
        return;
    }
    peer->write(QByteArray(1, HandoverMessage::acknowledgement));
    peer->disconnectFromServer();
    emit filesHandedOver(message.paths, message.layout);
}
