// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "DocumentFixture.h"

#include "document/ExportOptions.h"
#include "document/FoldFile.h"
#include "document/RememberedFolds.h"
#include "fold/FoldModel.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

namespace {

using DocumentExportTest = DocumentFixture;

const SheetRenderer::TileProgress noProgress;

QUrl writeCheckerboard(const QString& path, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = (x + y) % 2 ? 0xffffffff : 0xff000000;
    }
    EXPECT_TRUE(picture.save(path));
    return QUrl::fromLocalFile(path);
}

// Changes of colour between opaque neighbours along the picture's middle row.
int changesAlongMiddleRow(const QImage& picture) {
    const QImage row = picture.copy(0, picture.height() / 2, picture.width(), 1)
                           .convertToFormat(QImage::Format_ARGB32);
    const auto* line = reinterpret_cast<const QRgb*>(row.constScanLine(0));
    int changes = 0;
    for (int x = 1; x < row.width(); ++x)
        changes += qAlpha(line[x]) == 255 && qAlpha(line[x - 1]) == 255 && line[x] != line[x - 1];
    return changes;
}

// A window of another application, as far as the drag knows: it takes whatever is dropped.
class DropTarget : public QWidget {
public:
    DropTarget() {
        setAcceptDrops(true);
        resize(300, 300);
    }
    QByteArray png;
    QList<QUrl> urls;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        png = event->mimeData()->data(QStringLiteral("image/png"));
        urls = event->mimeData()->urls();
        event->acceptProposedAction();
    }
};

} // namespace

TEST_F(DocumentExportTest, AtTheWindowsSizeTheExportIsWhatCopyGives) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    useOpaqueLineColors();
    controller->document().setPitch(20);
    controller->updateDisplay();
    for (const bool shadow : {true, false}) {
        for (const bool lines : {true, false}) {
            SCOPED_TRACE(testing::Message() << "shadow " << shadow << ", lines " << lines);
            _preferences->setValue(Preferences::copyWithShadow, shadow);
            _preferences->setValue(Preferences::copyWithCreaseLine, lines);
            ExportOptions options;
            options.withShadow = shadow;
            options.withCreaseLine = lines;
            const QImage exported = controller->exportPicture(options, noProgress);
            const QImage copied = controller->image();
            ASSERT_EQ(exported.size(), copied.size());
            EXPECT_EQ(exported.devicePixelRatio(), copied.devicePixelRatio());
            EXPECT_TRUE(exported.convertToFormat(QImage::Format_ARGB32) ==
                        copied.convertToFormat(QImage::Format_ARGB32));
        }
    }
}

TEST_F(DocumentExportTest, BackgroundColourFillsWhatIsTransparent) {
    auto controller = openShown(QSize(640, 480));
    ASSERT_TRUE(controller);
    ExportOptions options;
    options.scale = 2;
    options.withShadow = false;
    options.transparentBackground = false;
    options.backgroundColor = QColor(10, 200, 30);
    const QImage exported = controller->exportPicture(options, noProgress);
    EXPECT_EQ(exported.size(), controller->window()->size() * 2);
    EXPECT_EQ(exported.pixelColor(1, 1), QColor(10, 200, 30));
    EXPECT_EQ(exported.pixelColor(exported.width() / 2, exported.height() / 2),
              controller->window()->contentView()->image().pixelColor(
                  controller->window()->width() / 2, controller->window()->height() / 2));
}

TEST_F(DocumentExportTest, FineCheckerboardStaysACheckerboardAtFourTimes) {
    auto controller = openDocument(
        writeCheckerboard(_dir.filePath(QStringLiteral("fine.png")), QSize(3000, 2000)));
    ASSERT_TRUE(controller);
    ExportOptions options;
    options.withShadow = false;
    options.withCreaseLine = false;
    const int atOnce = changesAlongMiddleRow(controller->exportPicture(options, noProgress));
    options.scale = 4;
    const QImage large = controller->exportPicture(options, noProgress);
    ASSERT_EQ(large.size(), controller->window()->size() * 4);
    // 3000 cells across the sheet: at four times every one shows; at once, not even a third.
    EXPECT_GT(changesAlongMiddleRow(large), 2900);
    EXPECT_LT(atOnce, 1000);
}

TEST_F(DocumentExportTest, CtrlDragAwayFromTheLinesDropsThePictureOnAnotherWindow) {
    auto controller = openShown(QSize(400, 300));
    ASSERT_TRUE(controller);
    DropTarget target;
    target.move(1400, 100);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    controller->window()->move(100, 100);
    // On the sheet, between the left edge's strip and the first crease's area.
    const QPoint onSheet =
        widgetPoint(*controller, (lineMiddle(*controller, 0) + lineMiddle(*controller, 1)) / 2);
    hover(*controller, onSheet, 9);
    const QPoint windowAt = controller->window()->pos();

    // The drag runs its own event loop; the pointer goes to the target and lets go there.
    QTimer::singleShot(200, &target, [&target] {
        QWindow* window = target.windowHandle();
        QTest::mouseMove(window, QPoint(140, 150));
        QTest::mouseMove(window, QPoint(150, 150));
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    });
    press(*controller, onSheet, Qt::ControlModifier);
    dragTo(*controller, onSheet + QPoint(30, 20), Qt::ControlModifier);

    EXPECT_EQ(controller->window()->pos(), windowAt);
    ASSERT_FALSE(target.png.isEmpty());
    const QImage dropped = QImage::fromData(target.png, "PNG");
    EXPECT_EQ(dropped.size(), controller->image().size());
    ASSERT_EQ(target.urls.size(), 1);
    const QString file = target.urls.first().toLocalFile();
    EXPECT_EQ(file, QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                        QStringLiteral("/sheet folded.png"));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), target.png);
}

// Names in the store and the cache are predictable: whatever is planted under them, a link to a
// file elsewhere, a dangling link or a FIFO, is replaced or refused, never written through or
// waited on, and nothing appears outside the folder.
TEST_F(DocumentExportTest, StoreAndDragOutStayInsideTheirFolders) {
    auto controller = openShown(QSize(400, 300));
    ASSERT_TRUE(controller);
    const QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("bashrc"));
    QFile victimFile(victim);
    ASSERT_TRUE(victimFile.open(QIODevice::WriteOnly));
    victimFile.write("keep me");
    victimFile.close();
    const QString absent = elsewhere.filePath(QStringLiteral("made"));
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QTemporaryDir storeFolder;
    RememberedFolds store(storeFolder.path());
    const QString key = QStringLiteral("0123abcd");
    FoldModel folded({1000, 500});
    folded.moveLine(0, {15, 0}, 0);
    const FoldFile fold = FoldFile::fromModel(folded, 0);
    const QList<QPair<QString, QString>> entries = {
        {cache + QStringLiteral("/sheet folded.png"), QStringLiteral("PNG")},
        {store.folder() + u'/' + key + QStringLiteral(".pleatfold"), QStringLiteral("fold")}};
    for (const auto& [entry, kind] : entries) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(entry).path()));
        for (const QString& planted :
             {QStringLiteral("link"), QStringLiteral("dangling"), QStringLiteral("fifo")}) {
            SCOPED_TRACE((kind + u' ' + planted).toStdString());
            QFile::remove(entry);
            if (planted == QStringLiteral("fifo"))
                ASSERT_EQ(::mkfifo(QFile::encodeName(entry).constData(), 0600), 0);
            else
                ASSERT_TRUE(
                    QFile::link(planted == QStringLiteral("link") ? victim : absent, entry));
            const bool isFifo = planted == QStringLiteral("fifo");
            if (kind == QStringLiteral("PNG")) {
                const std::unique_ptr<QMimeData> data =
                    controller->pictureDragData(controller->image());
                ASSERT_TRUE(data);
                EXPECT_EQ(data->urls().isEmpty(), isFifo);
            } else {
                EXPECT_FALSE(store.recall(key)); // at once, even from a FIFO
                store.remember(key, fold);
                EXPECT_EQ(bool(store.recall(key)), !isFifo);
            }
            EXPECT_EQ(QFileInfo(entry).isSymLink(), false);
            EXPECT_EQ(QFileInfo(entry).isFile(), !isFifo);
            ASSERT_TRUE(victimFile.open(QIODevice::ReadOnly));
            EXPECT_EQ(victimFile.readAll(), "keep me");
            victimFile.close();
            EXPECT_FALSE(QFileInfo::exists(absent));
        }
    }
}
