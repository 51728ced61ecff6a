// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A leaflet's two pages on the two sides of the sheet: each mark printed on page 2 lies behind the
// mark of page 1 it belongs with, as the sheet turns over its creases or as the user says.
#include "media/PictureReader.h"
#include "render/SheetRenderer.h"
#include "tests/media/TestPdf.h"
#include "tests/render/RenderTestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QSizeF sheet(800, 600);

// Where the red of a frame lies, at its middle, in frame coordinates; none without red.
std::optional<QPointF> redMiddle(const QImage& frame) {
    double x = 0, y = 0;
    int count = 0;
    for (int row = 0; row < frame.height(); ++row)
        for (int column = 0; column < frame.width(); ++column) {
            const QColor colour = frame.pixelColor(column, row);
            if (colour.alpha() == 255 && colour.red() > 200 && colour.green() < 60) {
                x += column;
                y += frame.height() - 1 - row;
                ++count;
            }
        }
    if (count == 0)
        return std::nullopt;
    return QPointF(x / count, y / count);
}

// A page of the sheet's size, white with a red mark at mark (points from the top left).
TestPdfPage markedPage(QPointF mark) {
    const QRectF page(QPointF(), sheet);
    const QRectF square(mark.x() - 30, sheet.height() - mark.y() - 30, 60, 60);
    return {page, std::nullopt, std::nullopt,
            TestPdfPage::filled(page, Qt::white) + TestPdfPage::filled(square, Qt::red)};
}

QImage page(const QString& path, int number) {
    return PictureReader::read(QFile::encodeName(path), [](QSize) { return QSize(800, 600); }, {},
                               {number, 0})
        .picture;
}

TEST(PdfBackTest, EachMarkOfPage2LiesBehindItsMarkOnPage1) {
    using Axis = FoldLayout::Axis;
    using Turn = PaperLook::BackTurn;
    struct Case {
        Axis axis;
        Turn turn;
        bool book; // the back's point (x, y) behind the front's (W - x, y); else (x, H - y)
    };
    const Case cases[] = {
        {Axis::vertical, Turn::byCreases, true},
        {Axis::horizontal, Turn::byCreases, false},
        {Axis::vertical, Turn::tumble, false},
        {Axis::horizontal, Turn::book, true},
    };
    const QPointF front(200, 150);
    QTemporaryDir folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message()
                     << FoldLayout::axisName(test.axis) << (test.book ? " book" : " tumble"));
        const QPointF behind = test.book ? QPointF(sheet.width() - front.x(), front.y())
                                         : QPointF(front.x(), sheet.height() - front.y());
        const QString path = folder.filePath(QStringLiteral("leaflet.pdf"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(testPdf({markedPage(front), markedPage(behind)}));
        file.close();

        std::unique_ptr<SheetRenderer> view = flatAccordionView(sheet, test.axis);
        ASSERT_TRUE(view);
        ASSERT_TRUE(view->setImage(page(path, 1)));
        ASSERT_TRUE(view->setBackImage(page(path, 2)));
        PaperLook look;
        look.back = PaperLook::Back::picture;
        look.backTurn = test.turn;
        view->setPaperLook(look);
        view->display();
        const QImage seenFront = view->captureFrame();
        view->setPitch(180);
        view->display();
        const QImage seenBack = view->captureFrame();

        // Turned over the tilt axis, the paper behind a point shows mirrored across that axis.
        const std::optional<QPointF> frontMark = redMiddle(seenFront);
        const std::optional<QPointF> backMark = redMiddle(seenBack);
        ASSERT_TRUE(frontMark && backMark);
        const QSizeF frame = seenFront.size();
        const QPointF expected = test.axis == Axis::vertical
                                     ? QPointF(frontMark->x(), frame.height() - 1 - frontMark->y())
                                     : QPointF(frame.width() - 1 - frontMark->x(), frontMark->y());
        EXPECT_NEAR(backMark->x(), expected.x(), 3);
        EXPECT_NEAR(backMark->y(), expected.y(), 3);
    }
}

} // namespace
