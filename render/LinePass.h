// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QVector3D>

#include <array>
#include <memory>
#include <span>
#include <vector>

class Framebuffer;

// The crease lines drawn alone into a coverage framebuffer of their own (one byte a pixel, 255 on
// a line, 0 elsewhere) and read back for the end-point search. Instead of a clear, each pass
// draws the last pass's lines again in 0 with the camera they had: Mesa's software renderer writes
// every pixel of a clear, which costs a drag update more than anything else it does, while a few
// lines cost nearly nothing and leave exactly the pixels a clear would have.
class LinePass {
public:
    // Null when no framebuffer of that size can be made. The context must be current.
    static std::unique_ptr<LinePass> create(QSize pixelSize);
    ~LinePass();

    // With the camera set up: draws the lines (pairs of ends, world units) and gives the Alpha8
    // frame whose box (rows from the bottom) was read back; the rest of it holds no line.
    const QImage& draw(std::span<const QVector3D> ends, QRect box);

private:
    using Matrix = std::array<double, 16>;

    explicit LinePass(std::unique_ptr<Framebuffer> framebuffer);
    static void drawLines(std::span<const QVector3D> ends);

    std::unique_ptr<Framebuffer> _framebuffer;
    std::vector<QVector3D> _drawnEnds; // the last pass's lines, with its camera
    Matrix _drawnModelView{};
    Matrix _drawnProjection{};
    QImage _frame;
};
