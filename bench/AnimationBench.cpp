// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Animations of resources/sample.png folding open from the flat sheet to
// resources/sample.pleatfold over 3 s, with the export's default look (shadow, lines, the
// preferences' shading), drawn through the renderer's surfaceless context as the command line
// draws: an MP4 1080 pixels wide at 30 frames a second and a GIF 480 pixels wide at 15, each with
// its wall time, the processor time of all its threads, its time per frame split into drawing and
// encoding, its peak memory and its file size, beside a still PNG export of the same size; the
// other formats for comparison. Needs no display:
//     LIBGL_ALWAYS_SOFTWARE=1 build/bench/animation_bench
#include "document/AnimationExport.h"
#include "document/FoldFile.h"
#include "document/RendererSetup.h"
#include "document/SheetSizing.h"
#include "fold/FoldModel.h"
#include "fold/SheetFold.h"
#include "media/ExportWriter.h"
#include "render/SheetRenderer.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>

namespace {

// The command line's screen: 1080 points high, 16:9, nothing taken by panels.
const FoldScreen screen{1080, {1920, 1080}};

struct Scene {
    std::unique_ptr<SheetRenderer> view;
    FoldSize sheet;
    QSize windowSize;
    FoldSnapshot start;
    FoldSnapshot end;
    ExportPicture::Look look;
};

std::unique_ptr<Scene> scene;
QTemporaryDir* workDir = nullptr;

double statusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    return 0;
}

// Processor time of the whole process, every thread (llvmpipe's, the encoders') counted.
double processSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The kernel's peak resident size starts again from the current one.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

bool makeScene(const Preferences& preferences) {
    const QImage picture(QStringLiteral(PLEATORA_SAMPLE_PICTURE));
    QString failure;
    const std::optional<FoldFile> file =
        FoldFile::read(QStringLiteral(PLEATORA_SAMPLE_FOLD), &failure);
    if (picture.isNull() || !file)
        return false;
    scene = std::make_unique<Scene>();
    scene->sheet = SheetSizing(screen, 1.0).displaySize(picture.size());
    const FoldSize window = FoldModel::windowSizeForSheet(scene->sheet);
    scene->windowSize = QSize(int(window.width), int(window.height));
    SheetFold folded(FoldLayout(), scene->sheet);
    file->applyTo(folded);
    scene->end = folded.snapshot(float(file->fold().pitch));
    scene->start = FoldSnapshot::take(FoldModel(scene->sheet), scene->end.pitch);
    scene->view = RendererSetup::create(scene->windowSize, 1.0,
                                        OffscreenContext::Platform::Surfaceless, &failure);
    if (!scene->view ||
        !RendererSetup::showFold(*scene->view, folded, scene->end.pitch, picture, &failure)) {
        scene.reset();
        return false;
    }
    scene->view->setShading(preferences.value(Preferences::shading) / 100.0f);
    scene->look = {preferences.value(Preferences::creaseLineColor),
                   preferences.value(Preferences::shadowOpacity) / 100.0,
                   double(preferences.value(Preferences::shadowBlur)),
                   double(preferences.value(Preferences::shadowOffset))};
    return true;
}

ExportOptions widthOf(int pixels) {
    ExportOptions options;
    options.scale = 0;
    options.pixelWidth = pixels;
    return options;
}

// One whole animation a run: the frames' folds, drawing and encoding, and the file's rename.
void animation(benchmark::State& state, const char* suffix, int width, int rate) {
    if (!scene) {
        state.SkipWithError("the sample or the renderer is missing");
        return;
    }
    const FoldMotion::Timing timing{3, rate, false, true};
    const QString path = workDir->filePath(QStringLiteral("sample.") + suffix);
    const double before = statusMiB("VmRSS:");
    double peak = 0;
    AnimationExport::Timings timings;
    const double processorBefore = processSeconds();
    for (auto _ : state) {
        resetPeak();
        AnimationExport exporter(*scene->view, scene->sheet, scene->windowSize, widthOf(width),
                                 scene->look);
        QString failure;
        const auto frames = FoldMotion::frames(scene->sheet, scene->start, scene->end, timing);
        if (exporter.write(path, frames, timing, {}, &failure) !=
            AnimationExport::Outcome::Written) {
            state.SkipWithError(failure.toStdString().c_str());
            return;
        }
        peak = std::max(peak, statusMiB("VmHWM:"));
        timings = exporter.timings();
    }
    state.counters["processor_s"] =
        (processSeconds() - processorBefore) / double(state.iterations());
    const double frames = std::max(1, timings.frames);
    state.counters["render_ms_per_frame"] = timings.render.count() / 1e6 / frames;
    state.counters["encode_ms_per_frame"] = timings.encode.count() / 1e6 / frames;
    state.counters["frames_drawn"] = frames;
    state.counters["rss_before_MiB"] = before;
    state.counters["peak_MiB"] = peak;
    state.counters["file_MB"] = QFileInfo(path).size() / 1e6;
    const QSize size = widthOf(width).pixelSize(scene->windowSize);
    state.SetLabel(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
}

// A still PNG export of the end fold at the size of each animation: drawing and writing.
void BM_StillExport(benchmark::State& state) {
    if (!scene) {
        state.SkipWithError("the sample or the renderer is missing");
        return;
    }
    const ExportOptions options = widthOf(int(state.range(0)));
    FoldModel folded(scene->sheet);
    folded.restore(scene->end);
    const ExportFormat png = ExportWriter::formats().first();
    const QByteArray path = QFile::encodeName(workDir->filePath(QStringLiteral("still.png")));
    for (auto _ : state) {
        scene->view->setFold(folded);
        scene->view->setPitch(scene->end.pitch);
        scene->view->display();
        QImage picture = ExportPicture::render(*scene->view, scene->view->lineEndPoints(),
                                               scene->windowSize, options, scene->look, {}, {});
        ExportWriter::write(std::move(picture), path, png, {}, nullptr);
    }
}

// The goals: MP4 within 6 s and 350 MB, GIF within 3 s and 3 MB. The other formats for comparison.
BENCHMARK_CAPTURE(animation, mp4_1080_30fps, "mp4", 1080, 30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(animation, gif_480_15fps, "gif", 480, 15)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK_CAPTURE(animation, webm_1080_30fps, "webm", 1080, 30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(animation, webp_1080_30fps, "webp", 1080, 30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(animation, apng_1080_30fps, "png", 1080, 30)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_StillExport)
    ->Arg(1080)
    ->Arg(480)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QGuiApplication application(argc, argv);
    QTemporaryDir work;
    workDir = &work;
    ApplicationSettings settings;
    const Preferences preferences(settings);
    makeScene(preferences);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene.reset();
    return 0;
}
