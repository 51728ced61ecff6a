// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplicationController.h"
#include "app/FilePaths.h"
#include "app/InstanceHandover.h"
#include "cli/BatchExport.h"
#include "cli/ClosingCheckRun.h"
#include "cli/CommandLine.h"
#include "cli/StopSignals.h"
#include "media/PathText.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"

#include <QApplication>

#include <cstdio>

namespace {

void setApplicationNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pleatora"));
    QCoreApplication::setApplicationName(QStringLiteral("Pleatora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PLEATORA_VERSION));
}

// Parsed before any display is needed, so --help, --version and mistakes work anywhere. Each
// argument keeps its bytes, since a file name need not be UTF-8.
CommandLine parseCommandLine(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    setApplicationNames();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(PathText::fromBytes(argv[i]));
    return CommandLine::parse(arguments);
}

// Absolute, since a running instance would resolve them from its own working directory.
QList<QByteArray> pictureBytes(const QStringList& pictures) {
    QList<QByteArray> paths;
    for (const QString& picture : pictures)
        paths.append(FilePaths::absolutePath(PathText::toBytes(picture)));
    return paths;
}

int runApplication(int argc, char* argv[], const CommandLine& commandLine) {
    QApplication application(argc, argv);
    setApplicationNames();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pleatora.png")));
    // Wayland compositors find the desktop entry, and so the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pleatora.pleatora"));

    const QList<QByteArray> paths = pictureBytes(commandLine.pictures);
    const QString handoverName = InstanceHandover::serverName();
    if (InstanceHandover::handOver(handoverName, paths, commandLine.layout))
        return 0;

    ApplicationSettings settings;
    Preferences preferences(settings);
    ApplicationController delegate(settings, preferences, handoverName);
    delegate.start(paths, commandLine.layout);
    return application.exec();
}

// No window, no hand-over server and no display server: the renderer draws surfaceless.
int runExport(int argc, char* argv[], const CommandLine& commandLine) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const StopSignals stopSignals; // from the start, so that no signal finds the default action
    BatchExport::takeMessages();
    QGuiApplication application(argc, argv);
    setApplicationNames();
    ApplicationSettings settings;
    const Preferences preferences(settings);
    BatchExport batch(commandLine.exportSettings, preferences,
                      commandLine.mode == CommandLine::Mode::Animate);
    if (!commandLine.exportSettings.manifest.isEmpty())
        return batch.run();
    return batch.run(commandLine.pictures);
}

// Reading a picture for its printed size needs Qt Gui, but no display.
int runClosingCheck(int argc, char* argv[], const CommandLine& commandLine) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    setApplicationNames();
    return ClosingCheckRun::run(commandLine);
}

} // namespace

int main(int argc, char* argv[]) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    switch (commandLine.mode) {
    case CommandLine::Mode::Help:
        std::fputs(qPrintable(commandLine.helpText), stdout);
        return 0;
    case CommandLine::Mode::Version:
        std::printf("pleatora %s\n", PLEATORA_VERSION);
        return 0;
    case CommandLine::Mode::Error:
        std::fprintf(stderr, "pleatora: %s\nTry 'pleatora --help' for more information.\n",
                     PathText::shown(commandLine.failure).toUtf8().constData());
        return 2;
    case CommandLine::Mode::Export:
    case CommandLine::Mode::Animate:
        return runExport(argc, argv, commandLine);
    case CommandLine::Mode::CheckClosing:
        return runClosingCheck(argc, argv, commandLine);
    case CommandLine::Mode::Open:
        break;
    }
    return runApplication(argc, argv, commandLine);
}
