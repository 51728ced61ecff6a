#include "app/InstanceHandover.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

namespace {
constexpr int connectTimeoutMs = 1000;
constexpr int writeTimeoutMs = 3000;
// Far beyond any real list of paths; a peer sending more is not a Pleatora launch.
constexpr qint64 maximumMessageSize = 1 << 20;
} // namespace

QString InstanceHandover::serverName() {
    const QString name = qEnvironmentVariable("PLEATORA_INSTANCE_NAME");
    if (!name.isEmpty())
        return name;
    // The runtime directory is the user's own (mode 0700), so no one else can hand files over.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
        .filePath(QStringLiteral("pleatora.socket"));
}

bool InstanceHandover::handOver(const QString& name, const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectTimeoutMs))
        return false;
    // One path a line; the closing newline makes even an empty hand-over a message.
    socket.write((paths.join(u'\n') + u'\n').toUtf8());
    if (!socket.waitForBytesWritten(writeTimeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(writeTimeoutMs);
    return true;
}

bool InstanceHandover::listen(const QString& name) {
    // No socket options: with any, Qt replaces the socket of a running instance instead of
    // failing with AddressInUseError.
    connect(&_server, &QLocalServer::newConnection, this, &InstanceHandover::acceptConnection);
    if (_server.listen(name))
        return true;
    // A socket left behind by an instance that crashed: nobody answered handOver().
    if (_server.serverError() != QAbstractSocket::AddressInUseError || handOver(name, {}))
        return false;
    QLocalServer::removeServer(name);
    return _server.listen(name);
}

void InstanceHandover::acceptConnection() {
    while (QLocalSocket* socket = _server.nextPendingConnection()) {
        auto message = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
            message->append(socket->readAll());
            if (message->size() > maximumMessageSize)
                socket->abort();
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
            message->append(socket->readAll());
            socket->deleteLater();
            if (message->size() > maximumMessageSize)
                return;
            emit filesHandedOver(QString::fromUtf8(*message).split(u'\n', Qt::SkipEmptyParts));
        });
    }
}
