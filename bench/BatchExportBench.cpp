// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The command line's batch export: 100 JPEG pictures of 1200 x 900 folded and written as PNG at
// 1x, with no display, as `pleatora --export-dir` does it. Reports the time per picture split into
// decoding, rendering, shadow (with the lines) and encoding, the peak memory, and the memory after
// the 10th and the 100th picture. Run it as it is: it needs no display. `batch_export_bench N`
// exports on N workers (default 1), as `--jobs N`; /usr/bin/time -v gives the whole process's
// peak memory.
#include "cli/BatchExport.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int pictureCount = 100;

// Resident memory now, in MiB, from /proc.
double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Photographs compress worse than flat colour: a gradient with a fine pattern over it.
QStringList writePictures(const QDir& folder) {
    QStringList paths;
    for (int i = 0; i < pictureCount; ++i) {
        QImage picture(1200, 900, QImage::Format_RGB32);
        for (int y = 0; y < 900; ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < 1200; ++x)
                line[x] = qRgb((x + i * 7) % 256, (y * 3 + x / 5) % 256, ((x ^ y) + i) % 256);
        }
        paths.append(
            folder.filePath(QStringLiteral("picture-%1.jpg").arg(i, 3, 10, QLatin1Char('0'))));
        picture.save(paths.last(), "JPEG", 85);
    }
    return paths;
}

double perPictureMs(std::chrono::nanoseconds total) {
    return std::chrono::duration<double, std::milli>(total).count() / pictureCount;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QGuiApplication application(argc, argv);
    QTemporaryDir work;
    const QStringList pictures = writePictures(QDir(work.path()));
    CommandLine::ExportSettings settings;
    settings.outputDirectory = work.path();
    settings.overwrite = true;
    settings.jobs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    ApplicationSettings applicationSettings;
    const Preferences preferences(applicationSettings);
    BatchExport batch(settings, preferences);

    QElapsedTimer clock;
    clock.start();
    int failed = batch.run(pictures.mid(0, 10));
    const double afterTenth = residentMiB();
    failed += batch.run(pictures.mid(10));
    const double afterLast = residentMiB();
    const double seconds = clock.nsecsElapsed() / 1e9;

    const BatchWorker::Timings& t = batch.timings();
    std::printf("%d pictures of 1200 x 900 JPEG to PNG at 1x on %d workers in %.2f s (%.1f ms "
                "each), %s\n",
                pictureCount, settings.jobs, seconds, seconds * 1000 / pictureCount,
                failed ? "SOME FAILED" : "all written");
    std::printf(
        "per picture, over all workers: decode %.1f ms, render %.1f ms, shadow and lines %.1f ms, "
        "encode %.1f ms\n",
        perPictureMs(t.decode), perPictureMs(t.render), perPictureMs(t.shadow),
        perPictureMs(t.encode));
    std::printf("memory: peak %.0f MiB; resident after the 10th %.0f MiB, after the 100th %.0f "
                "MiB\n",
                peakMiB(), afterTenth, afterLast);
    return failed ? 1 : 0;
}
