#include "app/AppDelegate.h"
#include "app/InstanceHandover.h"
#include "settings/PreferencesDefaults.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Pleatora"));
    QApplication::setApplicationName(QStringLiteral("Pleatora"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pleatora.png")));

    // Absolute, since a running instance resolves them from its own working directory.
    QStringList paths;
    for (const QString& argument : QApplication::arguments().mid(1))
        paths.append(QFileInfo(argument).absoluteFilePath());
    const QString handoverName = InstanceHandover::serverName();
    if (InstanceHandover::handOver(handoverName, paths))
        return 0;

    PreferencesDefaults defaults;
    AppDelegate delegate(defaults, handoverName);
    delegate.applicationDidFinishLaunching(paths);
    return application.exec();
}
