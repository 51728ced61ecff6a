// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Opening a picture as a document, to its first frame on screen: the read at the sheet's size
// and the document's construction; and the read alone. Peak memory is per process, so measure one
// picture a run:
//   scripts/with-display.sh /usr/bin/time -v build/bench/opening_bench --benchmark_filter=5000
// The pictures are made once, by a child process, in PLEATORA_BENCH_PICTURES (default: a folder
// under the temporary directory). DjpegFullDecode times `djpeg` decoding the JPEG in full.
#include "document/SheetSizing.h"
#include "media/PictureReader.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

struct BenchPicture {
    const char* name;
    QSize size;
    const char* format;
};

// The small one shows what opening costs whatever the picture.
const BenchPicture pictures[] = {
    {"640x480.png", {640, 480}, "PNG"},
    {"5000x5000.png", {5000, 5000}, "PNG"},
    {"10000x10000.png", {10000, 10000}, "PNG"},
    {"6000x4000.jpg", {6000, 4000}, "JPEG"},
};

QString pictureDir() {
    const QString dir = qEnvironmentVariable("PLEATORA_BENCH_PICTURES");
    return !dir.isEmpty() ? dir
                          : QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                                .filePath(QStringLiteral("pleatora-opening-bench"));
}

// Gradients, a coarse checker and a grain of pseudo-random noise, so that JPEG has the detail of
// a photograph to decode.
QImage photoLike(QSize size) {
    QImage picture(size, QImage::Format_RGB888);
    quint32 state = 2463534242u;
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            const int grain = int(state & 31) - 16;
            const int checker = ((x / 97 + y / 89) % 2) * 60;
            line[3 * x] = uchar(std::clamp(x * 255 / size.width() + grain, 0, 255));
            line[3 * x + 1] = uchar(std::clamp(y * 255 / size.height() + grain, 0, 255));
            line[3 * x + 2] = uchar(std::clamp(120 + checker + grain, 0, 255));
        }
    }
    return picture;
}

int makePictures(const QString& dir) {
    QDir().mkpath(dir);
    for (const BenchPicture& picture : pictures) {
        const QString path = QDir(dir).filePath(picture.name);
        if (!QFile::exists(path) && !photoLike(picture.size).save(path, picture.format, 90))
            return 1;
    }
    return 0;
}

double peakMemoryMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

Preferences* sharedPreferences = nullptr;

void openDocument(benchmark::State& state, const QString& path) {
    QSize decoded;
    for (auto _ : state) {
        const SheetSizing sizing = SheetSizing::ofFirstScreen();
        const PictureReader::Result read = PictureReader::read(
            QFile::encodeName(path), [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
        auto controller = DocumentController::create(read, sizing, QUrl::fromLocalFile(path),
                                                     *sharedPreferences, nullptr);
        if (!controller) {
            state.SkipWithError(read.failure.toUtf8().constData());
            return;
        }
        controller->showWindow();
        if (!QTest::qWaitForWindowExposed(controller->window()))
            state.SkipWithError("the window never showed");
        QApplication::processEvents();
        decoded = read.picture.size();
    }
    state.counters["decodedWidth"] = decoded.width();
    state.counters["decodedHeight"] = decoded.height();
    state.counters["peakMB"] = peakMemoryMB();
}

// The read alone, as the worker thread does it: what the other open documents never wait for.
void readForSheet(benchmark::State& state, const QString& path) {
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    for (auto _ : state) {
        const PictureReader::Result read = PictureReader::read(
            QFile::encodeName(path), [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
        if (read.picture.isNull())
            state.SkipWithError(read.failure.toUtf8().constData());
    }
}

void djpegFullDecode(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        QProcess djpeg;
        djpeg.start(QStringLiteral("djpeg"),
                    {QStringLiteral("-outfile"), QStringLiteral("/dev/null"), path});
        if (!djpeg.waitForFinished(60000) || djpeg.exitCode() != 0) {
            state.SkipWithError("djpeg (libjpeg-turbo-progs) did not run");
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--make-pictures") == 0) {
        QGuiApplication app(argc, argv);
        return makePictures(QString::fromLocal8Bit(argv[2]));
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    // In a child process, so that making the pictures does not count in this one's peak memory.
    const QString dir = pictureDir();
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {"--make-pictures", dir}) != 0)
        return 1;
    ApplicationSettings settings;
    Preferences preferences(settings);
    sharedPreferences = &preferences;
    for (const BenchPicture& picture : pictures) {
        const QString path = QDir(dir).filePath(picture.name);
        benchmark::RegisterBenchmark((std::string("OpenDocument/") + picture.name).c_str(),
                                     [path](benchmark::State& state) { openDocument(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("ReadForSheet/") + picture.name).c_str(),
                                     [path](benchmark::State& state) { readForSheet(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        if (qstrcmp(picture.format, "JPEG") == 0)
            benchmark::RegisterBenchmark(
                (std::string("DjpegFullDecode/") + picture.name).c_str(),
                [path](benchmark::State& state) { djpegFullDecode(state, path); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
