#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/InstanceHandover.h"
#include "settings/PreferencesDefaults.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>

namespace {

void setApplicationNames() {
    QCoreApplication::setOrganizationName(QStringLiteral("Pleatora"));
    QCoreApplication::setApplicationName(QStringLiteral("Pleatora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PLEATORA_VERSION));
}

// Parsed before any display is needed, so --help, --version and mistakes work anywhere.
CommandLine parseCommandLine(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    setApplicationNames();
    return CommandLine::parse(QCoreApplication::arguments());
}

int runApplication(int argc, char* argv[], const QStringList& pictures) {
    QApplication application(argc, argv);
    setApplicationNames();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pleatora.png")));

    // Absolute, since a running instance resolves them from its own working directory.
    QStringList paths;
    for (const QString& picture : pictures)
        paths.append(QFileInfo(picture).absoluteFilePath());
    const QString handoverName = InstanceHandover::serverName();
    if (InstanceHandover::handOver(handoverName, paths))
        return 0;

    PreferencesDefaults defaults;
    AppDelegate delegate(defaults, handoverName);
    delegate.applicationDidFinishLaunching(paths);
    return application.exec();
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
                     qPrintable(commandLine.error));
        return 2;
    case CommandLine::Mode::Export:
        std::fputs("pleatora: this build cannot export from the command line yet\n", stderr);
        return 1;
    case CommandLine::Mode::Open:
        break;
    }
    return runApplication(argc, argv, commandLine.pictures);
}
