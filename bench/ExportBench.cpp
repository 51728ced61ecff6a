// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A 4x export of a 1577 x 878 window (a 3000 x 2000 picture) to PNG, split into rendering in tiles,
// the shadow and the encoding, and the whole export with its peak memory. A 3000 x 2000 picture
// opens in a 1577 x 878 window on a screen 900 points high:
//     PLEATORA_SCREEN=1920x900x24 scripts/with-display.sh build/bench/export_bench
#include "document/DropShadow.h"
#include "document/ExportOptions.h"
#include "document/SheetSizing.h"
#include "media/ExportWriter.h"
#include "media/PictureEncoder.h"
#include "media/PictureReader.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

QTemporaryDir* workDir = nullptr;
Preferences* sharedPreferences = nullptr;
std::unique_ptr<DocumentController> document;

// Smooth colour with a little grain, about as hard to compress as a photograph.
QImage photoLikePicture(QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    QRandomGenerator grain(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = int(grain.bounded(12));
            line[x] =
                qRgb((x / 12 + noise) % 256, (y / 8 + noise) % 256, ((x + y) / 20 + noise) % 256);
        }
    }
    return picture;
}

DocumentController* openDocument() {
    if (!document) {
        const QString path = workDir->filePath(QStringLiteral("photo.png"));
        photoLikePicture(QSize(3000, 2000)).save(path);
        const SheetSizing sizing = SheetSizing::ofFirstScreen();
        const PictureReader::Result read = PictureReader::read(
            QFile::encodeName(path), [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
        document = DocumentController::create(read, sizing, QUrl::fromLocalFile(path),
                                              *sharedPreferences, nullptr);
        if (document) {
            document->showWindow();
            (void)QTest::qWaitForWindowExposed(document->window());
        }
    }
    return document.get();
}

ExportOptions fourTimes(bool withShadow, bool withCreaseLine) {
    ExportOptions options;
    options.scale = 4;
    options.withShadow = withShadow;
    options.withCreaseLine = withCreaseLine;
    return options;
}

const SheetRenderer::TileProgress noProgress;

double statusMegabytes(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0;
}

// The kernel's peak resident size starts again from the current one.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool label(benchmark::State& state, const DocumentController* controller) {
    if (!controller) {
        state.SkipWithError("document did not open");
        return false;
    }
    const QSize window = controller->window()->size();
    state.SetLabel(QStringLiteral("window %1 x %2, picture %3 x %4")
                       .arg(window.width())
                       .arg(window.height())
                       .arg(window.width() * 4)
                       .arg(window.height() * 4)
                       .toStdString());
    return true;
}

void BM_ExportRender(benchmark::State& state) {
    DocumentController* controller = openDocument();
    if (!label(state, controller))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(controller->exportPicture(fourTimes(false, false), noProgress));
}

void BM_ExportShadow(benchmark::State& state) {
    DocumentController* controller = openDocument();
    if (!label(state, controller))
        return;
    QImage rendered = controller->exportPicture(fourTimes(false, false), noProgress);
    rendered.convertTo(QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        state.PauseTiming();
        QImage picture = rendered.copy();
        state.ResumeTiming();
        DropShadow shadow;
        shadow.update(picture);
        shadow.paintUnder(picture);
    }
}

// Compression 11 (zlib level 1) is what Export writes with; -1 is zlib's default level, and
// 51 (level 5) lies between, for comparison.
void BM_ExportEncodePng(benchmark::State& state) {
    DocumentController* controller = openDocument();
    if (!label(state, controller))
        return;
    QImage picture = controller->exportPicture(fourTimes(true, true), noProgress);
    picture.convertTo(QImage::Format_ARGB32);
    const QString path = workDir->filePath(QStringLiteral("encoded.png"));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        PictureEncoder::writeImage(picture, &file, "PNG", {-1, int(state.range(0))});
    }
    state.counters["file_MB"] = QFile(path).size() / 1e6;
}

// The peak above the open document's memory, for the first export and for the worst of them all:
// the allocator keeps some of an export's freed memory for the next one.
void BM_ExportWhole(benchmark::State& state) {
    DocumentController* controller = openDocument();
    if (!label(state, controller))
        return;
    const QByteArray path = QFile::encodeName(workDir->filePath(QStringLiteral("whole.png")));
    const ExportFormat png = ExportWriter::formats().first();
    const double before = statusMegabytes("VmRSS:");
    std::vector<double> peaks;
    for (auto _ : state) {
        resetPeak();
        ExportWriter::write(controller->exportPicture(fourTimes(true, true), noProgress), path, png,
                            {}, nullptr);
        peaks.push_back(statusMegabytes("VmHWM:") - before);
    }
    const QSize output = controller->window()->size() * 4;
    state.counters["rss_before_MiB"] = before;
    state.counters["first_peak_MiB"] = peaks.empty() ? 0 : peaks.front();
    state.counters["worst_peak_MiB"] = *std::max_element(peaks.begin(), peaks.end());
    state.counters["goal_MiB"] = 3.0 * output.width() * output.height() * 4 / (1024.0 * 1024.0);
}

BENCHMARK(BM_ExportRender)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportShadow)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportEncodePng)
    ->Arg(11)
    ->Arg(51)
    ->Arg(-1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_ExportWhole)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTemporaryDir work;
    ApplicationSettings settings;
    Preferences preferences(settings);
    workDir = &work;
    sharedPreferences = &preferences;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    document.reset();
    return 0;
}
