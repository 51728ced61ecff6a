// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/AnimationExport.h"
#include "document/FoldFile.h"
#include "document/RendererSetup.h"
#include "fold/FoldModel.h"
#include "fold/PanelFoldModel.h"
#include "fold/SheetFold.h"
#include "render/SheetRenderer.h"
#include "tests/media/DecodedAnimation.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const FoldSize sheet{800, 600};

// resources/sample.png folding open from the flat sheet to resources/sample.pleatfold, drawn by
// the renderer with no display server, 240 pixels wide, with shadow and lines.
class AnimationExportTest : public testing::Test {
protected:
    void SetUp() override {
        const FoldSize window = FoldModel::windowSizeForSheet(sheet);
        _windowSize = QSize(int(window.width), int(window.height));
        QString failure;
        const std::optional<FoldFile> file =
            FoldFile::read(QStringLiteral(PLEATORA_SAMPLE_FOLD), &failure);
        ASSERT_TRUE(file) << qPrintable(failure);
        SheetFold folded(FoldLayout(), sheet);
        file->applyTo(folded);
        _end = folded.snapshot(float(file->fold().pitch));
        _start = FoldSnapshot::take(FoldModel(sheet), _end.pitch);
        _view = RendererSetup::create(_windowSize, 1.0, OffscreenContext::Platform::Surfaceless,
                                      &failure);
        ASSERT_TRUE(_view) << qPrintable(failure);
        ASSERT_TRUE(RendererSetup::showFold(
            *_view, folded, _end.pitch, QImage(QStringLiteral(PLEATORA_SAMPLE_PICTURE)), &failure))
            << qPrintable(failure);
        _view->setShading(0.3f);
        _options.scale = 0;
        _options.pixelWidth = 240;
        _look.creaseLineColor = QColor(40, 40, 40);
    }

    AnimationExport::Outcome write(const QString& path, const FoldMotion::Timing& timing,
                                   const AnimationExport::Progress& progress = {}) {
        AnimationExport animation(*_view, sheet, _windowSize, _options, _look);
        return animation.write(path, FoldMotion::frames(sheet, _start, _end, timing), timing,
                               progress, &_failure);
    }

    // The export of a still picture at this fold.
    QImage still(const FoldSnapshot& fold, const ExportOptions& options) {
        FoldModel model(sheet);
        model.restore(fold);
        _view->setFold(model);
        _view->setPitch(fold.pitch);
        _view->display();
        return ExportPicture::render(*_view, _view->lineEndPoints(), _windowSize, options, _look,
                                     {}, {});
    }

    DecodedAnimation decoded(const QString& path) {
        QString error;
        DecodedAnimation animation = DecodedAnimation::read(path, &error);
        EXPECT_FALSE(animation.codec.isEmpty()) << qPrintable(error);
        return animation;
    }

    QTemporaryDir _folder;
    std::unique_ptr<SheetRenderer> _view;
    QSize _windowSize;
    FoldSnapshot _start;
    FoldSnapshot _end;
    ExportOptions _options;
    ExportPicture::Look _look;
    QString _failure;
};

// Each format's first and last frames are the still exports of the start and end folds, and it
// holds duration x rate frames of the export's size.
TEST_F(AnimationExportTest, FirstAndLastFramesAreStillExportsOfTheStartAndEndFolds) {
    const FoldMotion::Timing timing{1, 10, false, true};
    for (const char* suffix : {"mp4", "webm", "gif", "webp", "png"}) {
        SCOPED_TRACE(suffix);
        const QString path = _folder.filePath(QStringLiteral("motion.") + suffix);
        ASSERT_EQ(write(path, timing), AnimationExport::Outcome::Written) << qPrintable(_failure);
        const DecodedAnimation animation = decoded(path);
        ASSERT_FALSE(animation.frames.isEmpty());
        const QSize size = _options.pixelSize(_windowSize);
        const bool isMp4 = QLatin1String(suffix) == QLatin1String("mp4");
        EXPECT_EQ(animation.size, isMp4 ? QSize(240, size.height() + size.height() % 2) : size);
        EXPECT_NEAR(animation.frameCount, 10, 1);
        ExportOptions options = _options;
        options.transparentBackground = !isMp4;
        const double tolerance = QLatin1String(suffix) == QLatin1String("png") ? 2 : 6;
        const auto cropped = [&](const QImage& frame) { return frame.copy(QRect({}, size)); };
        EXPECT_LE(meanDifference(cropped(animation.frames.first()), still(_start, options)),
                  tolerance);
        EXPECT_LE(meanDifference(cropped(animation.frames.last()), still(_end, options)),
                  tolerance);
    }
}

// There and back: the last frame is one step short of the first, so the seam hardly shows, while
// the middle is the end fold.
TEST_F(AnimationExportTest, ALoopsLastFrameMatchesItsFirst) {
    const QString path = _folder.filePath(QStringLiteral("loop.png"));
    ASSERT_EQ(write(path, {2, 15, true, true}), AnimationExport::Outcome::Written)
        << qPrintable(_failure);
    const DecodedAnimation animation = decoded(path);
    ASSERT_EQ(animation.frames.size(), 30);
    const QImage& first = animation.frames.first();
    EXPECT_LE(meanDifference(animation.frames.last(), first), 2);
    EXPECT_LE(meanDifference(animation.frames[15], still(_end, _options)), 6);
    EXPECT_GT(meanDifference(animation.frames[15], first), 10);
}

// Stopped from its progress, the export leaves no file; a GIF counts both its passes.
TEST_F(AnimationExportTest, AStoppedExportLeavesNoFile) {
    int calls = 0;
    int total = 0;
    const QString path = _folder.filePath(QStringLiteral("stopped.gif"));
    const auto progress = [&](int done, int of) {
        ++calls;
        total = of;
        return done < 12;
    };
    EXPECT_EQ(write(path, {1, 10, false, true}, progress), AnimationExport::Outcome::Stopped);
    EXPECT_EQ(calls, 12);
    EXPECT_EQ(total, 20);
    EXPECT_TRUE(QDir(_folder.path()).isEmpty(QDir::Files | QDir::Hidden));
}

TEST_F(AnimationExportTest, AFailureSaysWhyAndLeavesNoFile) {
    const QString path = _folder.filePath(QStringLiteral("missing/motion.mp4"));
    EXPECT_EQ(write(path, {1, 10}), AnimationExport::Outcome::Failed);
    EXPECT_TRUE(_failure.contains(QStringLiteral("No such file or directory")))
        << qPrintable(_failure);
    EXPECT_EQ(write(_folder.filePath(QStringLiteral("fast.gif")), {1, 60}),
              AnimationExport::Outcome::Failed);
    EXPECT_EQ(_failure, QStringLiteral("Animated GIF plays at most 50 frames a second, not 60."));
    EXPECT_TRUE(QDir(_folder.path()).isEmpty(QDir::Files | QDir::Hidden));
}

// A fold of another layout moves too: from the flat sheet to a deepened Z-fold with horizontal
// creases, its first and last frames the stills of those folds and the middle neither.
TEST_F(AnimationExportTest, AFoldOfAnotherLayoutMovesFromTheFlatSheet) {
    const FoldLayout layout = *FoldLayout::fromName("z-fold", FoldLayout::Axis::horizontal);
    PanelFoldModel folded(layout, sheet);
    for (int step = 0; step < 8; ++step)
        folded.moveLine(1, {0, 6}, 0);
    const FoldSnapshot end = FoldSnapshot::take(folded, 10);
    const FoldSnapshot start = FoldSnapshot::take(PanelFoldModel(layout, sheet), 10);
    ASSERT_NE(end, start);
    const FoldMotion::Timing timing{1, 10, false, true};
    const QString path = _folder.filePath(QStringLiteral("z-fold.png"));
    AnimationExport animation(*_view, sheet, _windowSize, _options, _look);
    ASSERT_EQ(
        animation.write(path, FoldMotion::frames(sheet, start, end, timing), timing, {}, &_failure),
        AnimationExport::Outcome::Written)
        << qPrintable(_failure);
    const DecodedAnimation decodedFrames = decoded(path);
    ASSERT_EQ(decodedFrames.frames.size(), 10);
    const auto stillOf = [&](const FoldSnapshot& fold) {
        PanelFoldModel model(layout, sheet);
        model.restore(fold.panelCreases, fold.panelProfile);
        _view->setFold(model);
        _view->setPitch(fold.pitch);
        _view->display();
        return ExportPicture::render(*_view, _view->lineEndPoints(), _windowSize, _options, _look,
                                     {}, {});
    };
    EXPECT_LE(meanDifference(decodedFrames.frames.first(), stillOf(start)), 2);
    EXPECT_LE(meanDifference(decodedFrames.frames.last(), stillOf(end)), 2);
    EXPECT_GT(meanDifference(decodedFrames.frames[5], stillOf(start)), 1);
    EXPECT_GT(meanDifference(decodedFrames.frames[5], stillOf(end)), 1);
}

} // namespace

// The renderer draws through Mesa's surfaceless platform: no display server is needed.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
