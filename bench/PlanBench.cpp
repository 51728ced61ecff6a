// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Planning a manifest: `plan_bench N` (default 100000) writes a CSV manifest of N rows, each with
// its own output and its own fold file, reads it and plans it as `pleatora --manifest` does before
// any picture, and reports the time and the memory a row. Needs no display and no picture.
#include "cli/ExportPlan.h"
#include "cli/Manifest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

double residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6));
    }
    return 0;
}

double peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss);
}

QString writeManifest(const QDir& folder, int rows) {
    const QString path = folder.filePath(QStringLiteral("manifest.csv"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("input,output,fold,width\n");
    for (int i = 0; i < rows; ++i)
        file.write(QStringLiteral("in/%1.jpg,out/%1.png,folds/%1.pleatfold,800\n")
                       .arg(i, 6, 10, QLatin1Char('0'))
                       .toUtf8());
    return path;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    QTemporaryDir work;
    const QString manifest = writeManifest(QDir(work.path()), rows);
    QDir::setCurrent(work.path());
    const double before = residentKiB();

    QElapsedTimer clock;
    clock.start();
    CommandLine::ExportSettings defaults;
    QString failure;
    QList<ExportPlan::Item> items = Manifest::read(manifest, defaults, &failure);
    const double readSeconds = clock.nsecsElapsed() / 1e9;
    const ExportPlan plan(std::exchange(items, {}), {});
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double kept = residentKiB() - before;

    std::printf("%d rows, each with its own fold file: read in %.2f s, planned in %.2f s "
                "(%.2f s in all), %lld entries\n",
                rows, readSeconds, seconds - readSeconds, seconds,
                static_cast<long long>(plan.entries().size()));
    std::printf("memory: %.0f bytes a row kept by the plan, peak %.0f bytes a row over the start\n",
                kept * 1024 / rows, (peakKiB() - before) * 1024 / rows);
    return failure.isEmpty() ? 0 : 1;
}
