// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/LinePass.h"
#include "RenderTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <vector>

namespace {

constexpr QSize frameSize(320, 200);

using LinePassTest = GLContextTest;

// A perspective camera turned by pitch about the x axis, as the renderer's is.
void setUpCamera(float pitch) {
    glViewport(0, 0, frameSize.width(), frameSize.height());
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(30, double(frameSize.width()) / frameSize.height(), 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 4, 0, 0, 0, 0, 1, 0);
    glRotatef(pitch, 1, 0, 0);
}

std::vector<QVector3D> randomLines(QRandomGenerator& random) {
    std::vector<QVector3D> ends(2 * (1 + random.bounded(12)));
    for (QVector3D& end : ends)
        end = QVector3D(float(random.bounded(2.4) - 1.2), float(random.bounded(2.0) - 1.0),
                        float(random.bounded(1.0) - 0.5));
    return ends;
}

int coveredPixels(const QImage& frame) {
    int covered = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            covered += frame.constScanLine(y)[x] != 0;
    return covered;
}

} // namespace

// Each pass erases the last one's lines instead of clearing: after any sequence of lines and
// cameras, the frame must be what a new pass, whose framebuffer was just cleared, draws.
TEST_F(LinePassTest, EachPassLeavesExactlyItsOwnLines) {
    std::unique_ptr<LinePass> reused = LinePass::create(frameSize);
    ASSERT_TRUE(reused);
    const QRect whole(QPoint(0, 0), frameSize);
    QRandomGenerator random(7);
    for (int pass = 0; pass < 60; ++pass) {
        const std::vector<QVector3D> ends = randomLines(random);
        const float pitch = float(random.bounded(120.0) - 60.0);
        setUpCamera(pitch);
        const QImage drawn = reused->draw(ends, whole);
        std::unique_ptr<LinePass> fresh = LinePass::create(frameSize);
        ASSERT_TRUE(fresh);
        setUpCamera(pitch);
        const QImage expected = fresh->draw(ends, whole);
        ASSERT_GT(coveredPixels(expected), 0) << "pass " << pass;
        ASSERT_EQ(drawn, expected) << "pass " << pass;
    }
}

// Only the box is read back: pixels outside it keep what the image held.
TEST_F(LinePassTest, ReadsBackOnlyTheBox) {
    std::unique_ptr<LinePass> pass = LinePass::create(frameSize);
    ASSERT_TRUE(pass);
    setUpCamera(0);
    const std::vector<QVector3D> across = {QVector3D(-2, 0, 0), QVector3D(2, 0, 0)};
    const QImage whole = pass->draw(across, QRect(QPoint(0, 0), frameSize));
    const int wholeCount = coveredPixels(whole);
    ASSERT_GT(wholeCount, frameSize.width() / 2);
    const std::vector<QVector3D> none;
    // The line erased, but only the left half read again.
    const QImage half = pass->draw(none, QRect(0, 0, frameSize.width() / 2, frameSize.height()));
    EXPECT_GT(coveredPixels(half), 0);
    EXPECT_LT(coveredPixels(half), wholeCount);
}
