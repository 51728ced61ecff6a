// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Never the user's settings, nor the hand-over socket of a Pleatora the user is running.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    qputenv("PLEATORA_INSTANCE_NAME", QByteArrayLiteral("pleatora-app-tests-") +
                                          QByteArray::number(QCoreApplication::applicationPid()));
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the cases needs no display, so ctest can find them on a machine without one.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // No organisation or application name: Pleatora's stored state must not depend on them.
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
