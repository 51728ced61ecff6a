// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The document window's display update, replayed along a synthetic drag of a peak (the classic's
// left one, or one in the middle of an accordion of twelve panels, creases down or across), with
// the window shown and repainted synchronously; the hover poll that finds nothing new; and the
// input shape set at the end of a drag; one drag update split into its steps, beside the bare
// floor of the same frame.
// Run under scripts/with-display.sh; QT_SCALE_FACTOR=2 measures a backing scale of 2.
#include "BareFloor.h"
#include "render/SheetRenderer.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <qguiapplication_platform.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

QTemporaryDir* imageDir = nullptr;
Preferences* sharedPreferences = nullptr;

std::unique_ptr<DocumentController> openDocument(QSize pixelSize) {
    QImage picture(pixelSize, QImage::Format_RGB32);
    for (int y = 0; y < pixelSize.height(); ++y) {
        auto line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < pixelSize.width(); ++x)
            line[x] = qRgb(x % 256, y % 256, (x / 16 + y / 16) % 2 ? 220 : 60);
    }
    const QString path = imageDir->filePath(
        QStringLiteral("bench-%1x%2.png").arg(pixelSize.width()).arg(pixelSize.height()));
    picture.save(path);
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    const PictureReader::Result read = PictureReader::read(
        QFile::encodeName(path), [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
    auto controller = DocumentController::create(read, sizing, QUrl::fromLocalFile(path),
                                                 *sharedPreferences, nullptr);
    if (controller) {
        controller->showWindow();
        (void)QTest::qWaitForWindowExposed(controller->window());
    }
    return controller;
}

QPoint widgetPoint(const DocumentController& controller, QPointF framePoint) {
    return QPointF(framePoint.x(), controller.window()->height() - framePoint.y()).toPoint();
}

void sendMouse(DocumentController& controller, QEvent::Type type, QPoint at,
               Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(controller.window()->mapToGlobal(at)), button,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(controller.window()->contentView(), &event);
}

// The layouts the drag is measured in: the classic, and the most lines there are on either axis.
const FoldLayout benchLayouts[] = {FoldLayout(), FoldLayout::accordion(12),
                                   FoldLayout::accordion(12, FoldLayout::Axis::horizontal)};

// Puts the pointer over a peak line and lets the hover poll select it: the classic's left peak,
// or an accordion's fifth line, a peak near its middle.
QPoint hoverPeak(DocumentController& controller) {
    const auto& endPoints = controller.endPoints();
    const size_t line = controller.document().layout().isClassic() ? 2 : 5;
    const QPoint peak = widgetPoint(controller, (endPoints[line][0] + endPoints[line][1]) / 2);
    QCursor::setPos(controller.window()->mapToGlobal(peak));
    controller.updateHoveredArea();
    return peak;
}

void reportPercentiles(benchmark::State& state, std::vector<double>& milliseconds) {
    if (milliseconds.empty())
        return;
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&](double fraction) {
        return milliseconds[std::min(milliseconds.size() - 1,
                                     static_cast<size_t>(fraction * milliseconds.size()))];
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p99_ms"] = at(0.99);
    state.counters["scale"] = qApp->devicePixelRatio();
}

// One drag event per iteration: the peak swings left and right and up and down, so every step
// refolds the sheet and runs the whole update. The third argument is the shading in percent, the
// fourth the layout in benchLayouts.
void BM_DragUpdate(benchmark::State& state) {
    sharedPreferences->setValue(Preferences::shading, static_cast<int>(state.range(2)));
    auto controller =
        openDocument(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    if (!controller) {
        state.SkipWithError("document did not open");
        return;
    }
    const FoldLayout& layout = benchLayouts[state.range(3)];
    controller->document().setLayout(layout);
    QApplication::processEvents();
    state.SetLabel(QStringLiteral("%1 %2, picture %3 x %4, window %5 x %6, shading %7%")
                       .arg(QString::fromStdString(layout.name()))
                       .arg(QString(FoldLayout::axisName(layout.axis()).data()))
                       .arg(state.range(0))
                       .arg(state.range(1))
                       .arg(controller->window()->width())
                       .arg(controller->window()->height())
                       .arg(state.range(2))
                       .toStdString());
    const QPoint peak = hoverPeak(*controller);
    sendMouse(*controller, QEvent::MouseButtonPress, peak, Qt::LeftButton);
    std::vector<double> milliseconds;
    int step = 0;
    for (auto _ : state) {
        const double phase = step++ * 0.2;
        const QPoint to = peak + QPoint(static_cast<int>(25 * std::sin(phase)),
                                        static_cast<int>(-30 * std::sin(phase * 0.5)));
        const auto start = std::chrono::steady_clock::now();
        sendMouse(*controller, QEvent::MouseMove, to, Qt::LeftButton);
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    sendMouse(*controller, QEvent::MouseButtonRelease, peak, Qt::NoButton);
    reportPercentiles(state, milliseconds);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Two windows of the same picture dragged in turn, one with every paper effect off and one with
// all of them at 100% (a plain back, grain, crease shading, gloss), so that both meet the same
// load on a shared machine; the counters give each one's median and their ratio.
void BM_PaperDragUpdate(benchmark::State& state) {
    sharedPreferences->setValue(Preferences::shading, 0);
    const QSize pixels(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto plain = openDocument(pixels);
    auto paper = openDocument(pixels);
    if (!plain || !paper) {
        state.SkipWithError("document did not open");
        return;
    }
    paper->renderer().setPaperLook({PaperLook::Back::paper, QColor(Qt::white), 1, 1, 1});
    state.SetLabel(QStringLiteral("window %1 x %2, paper effects off and at 100%")
                       .arg(plain->window()->width())
                       .arg(plain->window()->height())
                       .toStdString());
    DocumentController* const documents[2] = {plain.get(), paper.get()};
    QPoint peaks[2];
    for (int i = 0; i < 2; ++i) {
        peaks[i] = hoverPeak(*documents[i]);
        sendMouse(*documents[i], QEvent::MouseButtonPress, peaks[i], Qt::LeftButton);
    }
    std::vector<double> milliseconds[2];
    int step = 0;
    for (auto _ : state) {
        const double phase = step++ * 0.2;
        const QPoint move(static_cast<int>(25 * std::sin(phase)),
                          static_cast<int>(-30 * std::sin(phase * 0.5)));
        for (int i = 0; i < 2; ++i) {
            const auto start = std::chrono::steady_clock::now();
            sendMouse(*documents[i], QEvent::MouseMove, peaks[i] + move, Qt::LeftButton);
            milliseconds[i].push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
    }
    for (int i = 0; i < 2; ++i)
        sendMouse(*documents[i], QEvent::MouseButtonRelease, peaks[i], Qt::NoButton);
    const double off = median(milliseconds[0]);
    const double on = median(milliseconds[1]);
    state.counters["off_median_ms"] = off;
    state.counters["on_median_ms"] = on;
    state.counters["ratio"] = off > 0 ? on / off : 0.0;
}

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Notes when the view's paint event arrives, so that painting and flushing can be told apart
// from what comes before them in the same update.
class PaintClock : public QObject {
public:
    Clock::time_point paintStart;
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            paintStart = Clock::now();
            painted = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Returns once the X server has handled every request sent before, the picture's transfer
// into the window among them.
void waitForXServer() {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return;
    xcb_connection_t* connection = x11->connection();
    free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

struct UpdateSteps {
    std::vector<double> endPoints, frame, shadow, picture, paintAndFlush, rest, transfer, total;
};

void reportSteps(benchmark::State& state, UpdateSteps& steps) {
    const std::pair<const char*, std::vector<double>*> counters[] = {
        {"1_end_points_ms", &steps.endPoints},
        {"2_frame_ms", &steps.frame},
        {"3_shadow_ms", &steps.shadow},
        {"4_picture_ms", &steps.picture},
        {"5_paint_flush_ms", &steps.paintAndFlush},
        {"6_rest_ms", &steps.rest},
        {"7_transfer_ms", &steps.transfer},
        {"update_ms", &steps.total}};
    for (const auto& [name, values] : counters)
        state.counters[name] = median(*values);
    state.counters["scale"] = qApp->devicePixelRatio();
}

// The classic's drag update as BM_DragUpdate makes it, split into its steps: the line pass that
// finds the end points, the sheet drawn and read back, the shadow, the window's picture made
// again (FramePresenter::lastStepTimes), the view painted into the backing store and flushed to
// the X server, and what remains (the fold's step, the event's delivery). After each update the
// transfer: the wait until the X server has put the picture into the window. update_ms is the
// update without the transfer, as BM_DragUpdate measures it.
void BM_UpdateBreakdown(benchmark::State& state) {
    sharedPreferences->setValue(Preferences::shading, 0);
    auto controller =
        openDocument(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    if (!controller) {
        state.SkipWithError("document did not open");
        return;
    }
    state.SetLabel(QStringLiteral("window %1 x %2")
                       .arg(controller->window()->width())
                       .arg(controller->window()->height())
                       .toStdString());
    PaintClock paintClock;
    controller->window()->contentView()->installEventFilter(&paintClock);
    const QPoint peak = hoverPeak(*controller);
    sendMouse(*controller, QEvent::MouseButtonPress, peak, Qt::LeftButton);
    waitForXServer();
    UpdateSteps steps;
    int step = 0;
    for (auto _ : state) {
        const double phase = step++ * 0.2;
        const QPoint to = peak + QPoint(static_cast<int>(25 * std::sin(phase)),
                                        static_cast<int>(-30 * std::sin(phase * 0.5)));
        paintClock.painted = false;
        const auto start = Clock::now();
        sendMouse(*controller, QEvent::MouseMove, to, Qt::LeftButton);
        const auto updated = Clock::now();
        waitForXServer();
        const auto transferred = Clock::now();
        const FramePresenter::StepTimes& times = controller->presenter().lastStepTimes();
        const double paintAndFlush =
            paintClock.painted ? millisecondsBetween(paintClock.paintStart, updated) : 0.0;
        const double total = millisecondsBetween(start, updated);
        steps.endPoints.push_back(times.endPoints);
        steps.frame.push_back(times.frame);
        steps.shadow.push_back(times.shadow);
        steps.picture.push_back(times.picture);
        steps.paintAndFlush.push_back(paintAndFlush);
        steps.rest.push_back(total - paintAndFlush - times.endPoints - times.frame - times.shadow -
                             times.picture);
        steps.transfer.push_back(millisecondsBetween(updated, transferred));
        steps.total.push_back(total);
    }
    sendMouse(*controller, QEvent::MouseButtonRelease, peak, Qt::NoButton);
    reportSteps(state, steps);
}

// The bare floor (BareFloor.h) of the frame and sheet the same picture gets in its window.
void BM_BareFloor(benchmark::State& state) {
    QSize frame;
    QSize sheet;
    {
        auto controller =
            openDocument(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
        if (!controller) {
            state.SkipWithError("document did not open");
            return;
        }
        const double scale = controller->window()->devicePixelRatio();
        const FoldSize sheetSize = controller->document().sheetSize();
        frame = controller->window()->size() * scale;
        sheet = QSizeF(sheetSize.width * scale, sheetSize.height * scale).toSize();
    }
    state.SetLabel(QStringLiteral("frame %1 x %2 pixels")
                       .arg(frame.width())
                       .arg(frame.height())
                       .toStdString());
    measureBareFloor(state, frame, sheet);
}

// The pointer goes from the left peak to the right peak and back: each poll moves the highlight,
// with the fold, the tilt and the picture unchanged.
void BM_HoverUpdate(benchmark::State& state) {
    auto controller =
        openDocument(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    if (!controller) {
        state.SkipWithError("document did not open");
        return;
    }
    controller->stopTimer();
    const auto& endPoints = controller->endPoints();
    const QPoint peaks[2] = {widgetPoint(*controller, (endPoints[2][0] + endPoints[2][1]) / 2),
                             widgetPoint(*controller, (endPoints[4][0] + endPoints[4][1]) / 2)};
    std::vector<double> milliseconds;
    int step = 0;
    for (auto _ : state) {
        QCursor::setPos(controller->window()->mapToGlobal(peaks[step++ % 2]));
        const auto start = std::chrono::steady_clock::now();
        controller->updateHoveredArea();
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    reportPercentiles(state, milliseconds);
}

// The pointer rests over an area already selected: the poll finds no change.
void BM_HoverPollWithoutChange(benchmark::State& state) {
    auto controller = openDocument(QSize(1054, 703));
    if (!controller) {
        state.SkipWithError("document did not open");
        return;
    }
    controller->stopTimer();
    hoverPeak(*controller);
    for (auto _ : state)
        controller->updateHoveredArea();
}

// The input shape set again from the end points, as at the end of every drag: the outline, its
// region at the window's scale and the X request.
void BM_InputAreaUpdate(benchmark::State& state) {
    auto controller = openDocument(QSize(1054, 703));
    if (!controller) {
        state.SkipWithError("document did not open");
        return;
    }
    controller->stopTimer();
    for (auto _ : state)
        controller->updateInputArea();
}

// On a 1920 x 1080 screen, 640 x 480 gives the classic a 957 x 600 window and 1054 x 703 a
// 1577 x 878 one. The accordion's window nearest that: 916 x 679 gives 1577 x 877 with vertical
// creases. Horizontal ones cannot be as wide and low (the tilt about the vertical axis needs the
// height): 856 x 571, the classic's picture's shape, gives 1318 x 1049, the classic's pixel count
// within 0.2%. A 917 x 228 strip would give the nearest shape of that count, 1408 x 983, but its
// panels are too short for the peak to move.
BENCHMARK(BM_DragUpdate)
    ->Args({640, 480, 0, 0})
    ->Args({1054, 703, 0, 0})
    ->Args({1054, 703, 0, 1})
    ->Args({1054, 703, 0, 2})
    ->Args({1054, 703, 100, 0})
    ->Args({916, 679, 0, 1})
    ->Args({856, 571, 0, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(400);
BENCHMARK(BM_UpdateBreakdown)
    ->Args({640, 480})
    ->Args({1054, 703})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(300);
BENCHMARK(BM_BareFloor)
    ->Args({640, 480})
    ->Args({1054, 703})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PaperDragUpdate)->Args({1054, 703})->Unit(benchmark::kMillisecond)->Iterations(300);
BENCHMARK(BM_HoverUpdate)
    ->Args({640, 480})
    ->Args({1054, 703})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(400);
BENCHMARK(BM_HoverPollWithoutChange)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InputAreaUpdate)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTemporaryDir images;
    ApplicationSettings settings;
    Preferences preferences(settings);
    imageDir = &images;
    sharedPreferences = &preferences;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
