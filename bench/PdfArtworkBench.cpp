// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// PDF artwork against a PNG of the same page: an A4 leaflet of two pages with text, vector art and
// a 6000 x 4000 photograph, and a PNG of its first page at 300 pixels an inch (2480 x 3508).
// Opening to the first frame (goal: within 1.5x the PNG), the read alone, and a 4x export to PNG
// (goal: within 2x the PNG's):
//     scripts/with-display.sh build/bench/pdf_artwork_bench
#include "document/ExportOptions.h"
#include "document/SheetSizing.h"
#include "media/ExportWriter.h"
#include "media/PictureReader.h"
#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "tests/media/TestPdf.h"
#include "window/DocumentController.h"
#include "window/DocumentWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>

namespace {

const QSizeF a4(595.276, 841.89);
const QSize photoSize(6000, 4000);

QTemporaryDir* workDir = nullptr;
Preferences* sharedPreferences = nullptr;

// Gradients with a grain of pseudo-random noise, so that deflate has a photograph's work.
QByteArray photoSamples() {
    QByteArray samples(qsizetype(photoSize.width()) * photoSize.height() * 3, Qt::Uninitialized);
    quint32 state = 2463534242u;
    char* out = samples.data();
    for (int y = 0; y < photoSize.height(); ++y)
        for (int x = 0; x < photoSize.width(); ++x) {
            state ^= state << 13, state ^= state >> 17, state ^= state << 5;
            const int grain = int(state & 15);
            *out++ = char(x * 240 / photoSize.width() + grain);
            *out++ = char(y * 240 / photoSize.height() + grain);
            *out++ = char((x + y) % 200 + grain);
        }
    return samples;
}

QByteArray deflated(const QByteArray& bytes) {
    uLongf size = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(bytes.constData()), uLong(bytes.size()), 6);
    out.resize(qsizetype(size));
    return out;
}

// Headings and body text in Helvetica, a grid of stroked curves and filled shapes.
QByteArray textAndArt(const char* heading) {
    QByteArray content = "BT /F1 28 Tf 50 780 Td (" + QByteArray(heading) + ") Tj ET\n";
    for (int line = 0; line < 40; ++line)
        content += "BT /F1 9 Tf 50 " + QByteArray::number(380 - line * 8) +
                   " Td (Folded paper keeps its creases; line " + QByteArray::number(line) +
                   " of the body text.) Tj ET\n";
    for (int i = 0; i < 60; ++i) {
        const QByteArray x = QByteArray::number(300 + (i % 10) * 25);
        const QByteArray y = QByteArray::number(400 + (i / 10) * 25);
        content += "0.2 0.3 0.6 RG 0.5 w " + x + " " + y + " m " + x + " " + y + " 320 460 " + x +
                   " 420 c S 0.9 0.4 0.1 rg " + x + " " + y + " 8 8 re f\n";
    }
    return content;
}

// Objects: 1 the catalogue, 2 the page tree, 3 the font, 4 the photograph, then each page and its
// content stream.
QByteArray leaflet() {
    const QByteArray photo = deflated(photoSamples());
    const QList<QByteArray> contents = {
        "q 495 0 0 330 50 420 cm /Im1 Do Q\n" + textAndArt("Front page"), textAndArt("Back page")};
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [5 0 R 7 0 R] /Count 2 >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Type /XObject /Subtype /Image /Width 6000 /Height 4000 /ColorSpace /DeviceRGB "
        "/BitsPerComponent 8 /Filter /FlateDecode /Length " +
            QByteArray::number(photo.size()) + " >>\nstream\n" + photo + "\nendstream"};
    for (int page = 0; page < 2; ++page) {
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595.276 841.89] /Resources "
                       "<< /Font << /F1 3 0 R >> /XObject << /Im1 4 0 R >> >> /Contents " +
                       QByteArray::number(6 + 2 * page) + " 0 R >>");
        objects.append("<< /Length " + QByteArray::number(contents[page].size()) + " >>\nstream\n" +
                       contents[page] + "\nendstream");
    }
    return pdfOfObjects(objects);
}

QString pdfPath() {
    return workDir->filePath(QStringLiteral("leaflet.pdf"));
}

QString pngPath() {
    return workDir->filePath(QStringLiteral("leaflet.png"));
}

bool makeFiles() {
    QFile pdf(pdfPath());
    if (!pdf.open(QIODevice::WriteOnly) || pdf.write(leaflet()) < 0)
        return false;
    pdf.close();
    // The first page at 300 pixels an inch, as a PNG of the same page holds it.
    const PictureReader::Result page =
        PictureReader::read(QFile::encodeName(pdfPath()), [](QSize pixels) { return pixels; });
    return !page.picture.isNull() && page.picture.save(pngPath());
}

PictureReader::Result readForSheet(const QString& path, const SheetSizing& sizing) {
    return PictureReader::read(QFile::encodeName(path),
                               [&sizing](QSize pixels) { return sizing.decodeSize(pixels); });
}

std::unique_ptr<DocumentController> opened(const QString& path, benchmark::State& state) {
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    const PictureReader::Result read = readForSheet(path, sizing);
    auto controller = DocumentController::create(read, sizing, QUrl::fromLocalFile(path),
                                                 *sharedPreferences, nullptr);
    if (!controller) {
        state.SkipWithError(read.failure.toUtf8().constData());
        return nullptr;
    }
    controller->showWindow();
    if (!QTest::qWaitForWindowExposed(controller->window()))
        state.SkipWithError("the window never showed");
    QApplication::processEvents();
    return controller;
}

void openDocument(benchmark::State& state, const QString& path) {
    for (auto _ : state)
        benchmark::DoNotOptimize(opened(path, state));
}

void readAlone(benchmark::State& state, const QString& path) {
    const SheetSizing sizing = SheetSizing::ofFirstScreen();
    for (auto _ : state)
        if (readForSheet(path, sizing).picture.isNull())
            state.SkipWithError("the read failed");
}

// Drawn, shadowed, lined and written, as Export does it.
void exportFourTimes(benchmark::State& state, const QString& path) {
    const std::unique_ptr<DocumentController> controller = opened(path, state);
    if (!controller)
        return;
    ExportOptions options;
    options.scale = 4;
    const QByteArray out = QFile::encodeName(workDir->filePath(QStringLiteral("export.png")));
    for (auto _ : state)
        ExportWriter::write(controller->exportPicture(options, {}), out,
                            ExportWriter::formats().first(), {}, nullptr);
    const QSize window = controller->window()->size();
    state.SetLabel(
        QStringLiteral("window %1 x %2").arg(window.width()).arg(window.height()).toStdString());
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QTemporaryDir work;
    workDir = &work;
    if (!makeFiles())
        return 1;
    ApplicationSettings settings;
    Preferences preferences(settings);
    sharedPreferences = &preferences;
    for (const auto& [name, path] : {std::pair{"pdf", pdfPath()}, std::pair{"png", pngPath()}}) {
        benchmark::RegisterBenchmark((std::string("OpenDocument/") + name).c_str(),
                                     [path](benchmark::State& state) { openDocument(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("ReadForSheet/") + name).c_str(),
                                     [path](benchmark::State& state) { readAlone(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(
            (std::string("Export4x/") + name).c_str(),
            [path](benchmark::State& state) { exportFourTimes(state, path); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
