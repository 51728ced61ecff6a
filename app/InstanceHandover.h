#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

// Lets a second launch hand its files to the instance already running, which opens them.
class InstanceHandover : public QObject {
    Q_OBJECT

public:
    // The socket for this user; PLEATORA_INSTANCE_NAME overrides it (tests run side by side).
    static QString serverName();
    // True when a running instance took the paths; the caller then exits.
    static bool handOver(const QString& name, const QStringList& paths);

    // Starts answering later launches; false when another instance already answers.
    bool listen(const QString& name);

signals:
    void filesHandedOver(const QStringList& paths);

private:
    void acceptConnection();

    QLocalServer _server;
};
