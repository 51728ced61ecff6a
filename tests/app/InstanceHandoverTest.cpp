#include "app/InstanceHandover.h"
#include "AppFixture.h"
#include "window/MyWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using InstanceHandoverTest = AppFixture;

TEST_F(InstanceHandoverTest, PathsReachTheListeningInstanceInOrder) {
    InstanceHandover running;
    ASSERT_TRUE(running.listen(handoverName()));
    QSignalSpy received(&running, &InstanceHandover::filesHandedOver);

    const QStringList paths{"/pictures/a b.png", "/pictures/ä.jpg"};
    EXPECT_TRUE(InstanceHandover::handOver(handoverName(), paths));

    ASSERT_TRUE(waitFor([&received] { return received.size() == 1; }));
    EXPECT_EQ(received.first().first().toStringList(), paths);
    // A second instance finds the first one answering.
    InstanceHandover second;
    EXPECT_FALSE(second.listen(handoverName()));
}

TEST_F(InstanceHandoverTest, NothingListeningMeansNoHandOver) {
    EXPECT_FALSE(InstanceHandover::handOver(handoverName(), {"/pictures/a.png"}));
}

TEST_F(InstanceHandoverTest, SocketLeftByACrashedInstanceIsTakenOver) {
    // The socket file of an instance that crashed: bound, but nobody listens or answers.
    const QByteArray path = QFile::encodeName(QDir::temp().filePath(handoverName()));
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(descriptor, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(descriptor);
    ASSERT_TRUE(QFile::exists(QFile::decodeName(path)));
    EXPECT_FALSE(InstanceHandover::handOver(handoverName(), {"/pictures/a.png"}));

    InstanceHandover fresh;
    EXPECT_TRUE(fresh.listen(handoverName()));
    QSignalSpy received(&fresh, &InstanceHandover::filesHandedOver);
    EXPECT_TRUE(InstanceHandover::handOver(handoverName(), {"/pictures/a.png"}));
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
