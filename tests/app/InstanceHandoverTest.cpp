// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InstanceHandover.h"
#include "AppFixture.h"
#include "app/HandoverMessage.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <fcntl.h>
#include <future>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The running instance answers from this thread's event loop, so a launch's blocking hand-over
// runs on a thread of its own meanwhile.
bool handOverWhileTurning(const QString& name, const QList<QByteArray>& paths) {
    auto handing = std::async(std::launch::async,
                              [&name, &paths] { return InstanceHandover::handOver(name, paths); });
    (void)QTest::qWaitFor(
        [&handing] {
            return handing.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        },
        15000);
    return handing.get();
}

// A peer that sends the given bytes and stays connected, as a broken or hostile program would.
std::unique_ptr<QLocalSocket> connectedPeer(const QString& name, const QByteArray& bytes = {}) {
    auto peer = std::make_unique<QLocalSocket>();
    peer->connectToServer(name);
    EXPECT_TRUE(peer->waitForConnected(1000));
    peer->write(bytes);
    peer->flush();
    return peer;
}

bool isDropped(QLocalSocket& peer, int timeoutMs = 2000) {
    return QTest::qWaitFor([&peer] { return peer.state() == QLocalSocket::UnconnectedState; },
                           timeoutMs);
}

sockaddr_un socketAddress(const QString& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(),
                 sizeof(address.sun_path) - 1);
    return address;
}

} // namespace

using InstanceHandoverTest = AppFixture;

TEST_F(InstanceHandoverTest, PathsReachTheListeningInstanceByteForByte) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);

    // A space, a newline and a name that is not UTF-8: each path arrives whole, as it was.
    const QList<QByteArray> paths{"/pictures/a b.png", "/pictures/two\nlines.png",
                                  "/pictures/caf\xe9.jpg", "/" + QByteArray(4095, 'x')};
    EXPECT_TRUE(handOverWhileTurning(handoverName(), paths));
    ASSERT_TRUE(waitFor([&received] { return received.size() == 1; }));
    EXPECT_EQ(received.first().first().value<QList<QByteArray>>(), paths);

    // A second instance finds the first one answering and leaves its socket alone.
    InstanceHandover second;
    EXPECT_FALSE(second.listen(handoverName()));
    EXPECT_TRUE(handOverWhileTurning(handoverName(), {"/pictures/later.png"}));
    EXPECT_TRUE(waitFor([&received] { return received.size() == 2; }));
}

TEST_F(InstanceHandoverTest, NothingListeningMeansNoHandOver) {
    EXPECT_FALSE(InstanceHandover::handOver(handoverName(), {"/pictures/a.png"}));
}

TEST_F(InstanceHandoverTest, SocketLeftByACrashedInstanceIsTakenOver) {
    // The socket file of an instance that crashed: bound, but nobody listens or answers.
    const QString path = QDir::temp().filePath(handoverName());
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(descriptor, 0);
    const sockaddr_un address = socketAddress(path);
    ASSERT_EQ(bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(descriptor);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(InstanceHandover::handOver(handoverName(), {"/pictures/a.png"}));

    InstanceHandover fresh;
    EXPECT_TRUE(fresh.listen(handoverName()));
    QSignalSpy received(&fresh, &InstanceHandover::filesHandedOver);
    EXPECT_TRUE(handOverWhileTurning(handoverName(), {"/pictures/a.png"}));
    EXPECT_TRUE(waitFor([&received] { return received.size() == 1; }));
}

TEST_F(InstanceHandoverTest, SocketIsReadableAndWritableByItsOwnerOnly) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(running.fullServerName()).constData(), &status), 0);
    EXPECT_TRUE(S_ISSOCK(status.st_mode));
    EXPECT_EQ(status.st_mode & 0077, 0u) << std::oct << (status.st_mode & 0777);
}

TEST_F(InstanceHandoverTest, BytesThatAreNoMessageAreDropped) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);
    QByteArray otherVersion = HandoverMessage::encode({"/pictures/a.png"});
    otherVersion[4] = 3;
    QByteArray trailing = HandoverMessage::encode({"/pictures/a.png"}) + "more";
    const QByteArray tooLong = HandoverMessage::encode({"/" + QByteArray(4096, 'x')});
    const QByteArray relative = HandoverMessage::encode({"pictures/a.png"});
    for (const QByteArray& bytes :
         {QByteArray("/pictures/a.png\n"), otherVersion, trailing, tooLong.left(20), relative}) {
        auto peer = connectedPeer(handoverName(), bytes);
        EXPECT_TRUE(isDropped(*peer)) << bytes.left(20).toHex().constData();
    }
    QTest::qWait(100);
    EXPECT_EQ(received.size(), 0);
}

TEST_F(InstanceHandoverTest, MessageArrivingInPiecesIsTakenWhole) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);
    const QByteArray message = HandoverMessage::encode({"/pictures/a.png", "/pictures/b.png"});
    auto peer = connectedPeer(handoverName());
    for (const char byte : message) {
        peer->write(&byte, 1);
        peer->flush();
        QTest::qWait(5);
    }
    ASSERT_TRUE(waitFor([&received] { return received.size() == 1; }));
    EXPECT_EQ(received.first().first().value<QList<QByteArray>>(),
              (QList<QByteArray>{"/pictures/a.png", "/pictures/b.png"}));
    EXPECT_TRUE(waitFor([&peer] { return peer->bytesAvailable() > 0; }));
    EXPECT_EQ(peer->read(1), QByteArray(1, HandoverMessage::acknowledgement));
}

TEST_F(InstanceHandoverTest, IdlePeerIsDroppedAfterTheDeadline) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    auto peer =
        connectedPeer(handoverName(), HandoverMessage::encode({"/pictures/a.png"}).left(12));
    QTest::qWait(InstanceHandover::peerDeadlineMs / 2);
    EXPECT_EQ(peer->state(), QLocalSocket::ConnectedState);
    EXPECT_TRUE(isDropped(*peer, InstanceHandover::peerDeadlineMs));
}

TEST_F(InstanceHandoverTest, PeersBeyondTheCapAreTurnedAwayUntilTheIdleOnesGo) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < InstanceHandover::maximumPeers; ++i)
        idle.push_back(connectedPeer(handoverName()));
    QTest::qWait(100);

    auto oneMore = connectedPeer(handoverName());
    EXPECT_TRUE(isDropped(*oneMore, 1000));
    EXPECT_FALSE(handOverWhileTurning(handoverName(), {"/pictures/a.png"}));

    idle.clear();
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);
    EXPECT_TRUE(handOverWhileTurning(handoverName(), {"/pictures/a.png"}));
    EXPECT_TRUE(waitFor([&received] { return received.size() == 1; }));
}

// Out of descriptors, accept() fails and Qt closes the server and removes its socket.
TEST_F(InstanceHandoverTest, ListensAgainAfterAcceptingFails) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    const QString socketPath = running.fullServerName();

    rlimit original{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    rlimit lowered = original;
    lowered.rlim_cur = std::min<rlim_t>(original.rlim_cur, 1024);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    std::vector<int> filler;
    for (int descriptor; (descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
        filler.push_back(descriptor);
    ::close(filler.back()); // the one the connecting side takes; none left for accept()
    filler.pop_back();
    const int peer = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = socketAddress(socketPath);
    const int connected =
        ::connect(peer, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    const bool wasRemoved =
        QTest::qWaitFor([&socketPath] { return !QFileInfo::exists(socketPath); }, 500);
    ::close(peer);
    for (const int descriptor : filler)
        ::close(descriptor);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &original), 0);
    ASSERT_EQ(connected, 0);
    EXPECT_TRUE(wasRemoved);

    EXPECT_TRUE(waitFor([&socketPath] { return QFileInfo::exists(socketPath); }));
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);
    EXPECT_TRUE(handOverWhileTurning(handoverName(), {"/pictures/a.png"}));
    EXPECT_TRUE(waitFor([&received] { return received.size() == 1; }));
}

TEST_F(InstanceHandoverTest, SecondLaunchHandsItsFileToTheRunningPleatoraAndExits) {
    launch({picture()});
    ASSERT_EQ(documentCount(), 1u);

    QProcess secondLaunch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PLEATORA_INSTANCE_NAME", handoverName());
    secondLaunch.setProcessEnvironment(environment);
    secondLaunch.setWorkingDirectory(QFileInfo(picture("handed.png")).absolutePath());
    secondLaunch.start(PLEATORA_BINARY, {"handed.png"});
    ASSERT_TRUE(secondLaunch.waitForStarted());

    // The running instance answers from its event loop, so keep it turning while waiting.
    EXPECT_TRUE(waitFor([&secondLaunch] { return secondLaunch.state() == QProcess::NotRunning; }));
    EXPECT_EQ(secondLaunch.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(secondLaunch.exitCode(), 0);
    EXPECT_TRUE(waitFor([this] { return documentCount() == 2; }));
    EXPECT_EQ(windowMenuTitles(), (QStringList{"sample.png", "handed.png"}));
}

// The name holds a newline and a byte that is not UTF-8: the old protocol split the one and
// QString lost the other.
TEST_F(InstanceHandoverTest, SecondLaunchHandsOverANameThatIsNotUtf8) {
    launch({picture()});
    QFile sample(picture());
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray odd =
        QFile::encodeName(QFileInfo(sample).absolutePath()) + "/caf\xe9\nnew.png";
    const int descriptor = ::open(odd.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    const QByteArray bytes = sample.readAll();
    ASSERT_EQ(::write(descriptor, bytes.constData(), bytes.size()), bytes.size());
    ::close(descriptor);
    AlertDismisser alerts;

    QProcess secondLaunch;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PLEATORA_INSTANCE_NAME", handoverName());
    secondLaunch.setProcessEnvironment(environment);
    secondLaunch.setWorkingDirectory(QFileInfo(sample).absolutePath());
    // The shell makes the argument's bytes: QProcess would send the name as UTF-8.
    secondLaunch.start("/bin/sh",
                       {"-c", R"sh(exec "$0" "$(printf 'caf\351\nnew.png')")sh", PLEATORA_BINARY});
    ASSERT_TRUE(secondLaunch.waitForStarted());
    EXPECT_TRUE(waitFor([&secondLaunch] { return secondLaunch.state() == QProcess::NotRunning; }));
    EXPECT_EQ(secondLaunch.exitCode(), 0);

    EXPECT_TRUE(waitFor([this] { return documentCount() == 2; }));
    EXPECT_TRUE(alerts.texts().isEmpty()) << alerts.texts().join(u'\n').toStdString();
    ::unlink(odd.constData()); // the temporary directory cannot name it
}

// Each of these used to start one more modal alert inside the last one, until the stack overflowed.
TEST_F(InstanceHandoverTest, HandOversOfBadFilesWhileTheAlertIsUpJoinIt) {
    launch({picture()});
    for (int i = 0; i < 20; ++i) {
        const QByteArray missing = QFile::encodeName(filePath(QString("gone-%1.png").arg(i)));
        ASSERT_TRUE(handOverWhileTurning(handoverName(), {missing}));
    }
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_TRUE(waitFor([this] {
        const FailureAlert& alerts = application().cantOpenAlert();
        return alerts.alert() && alerts.alert()->detailedText().count(u'\n') == 19;
    }));
    int shown = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        shown += qobject_cast<QMessageBox*>(window) && window->isVisible();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(documentCount(), 1u);
}
