// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

class Preferences;

// What an export makes: its size and what the picture shows. Remembered in the preferences.
struct ExportOptions {
    static constexpr int largestScale = 4;
    static constexpr int smallestPixelWidth = 16;
    static constexpr int largestPixelWidth = 16000;

    int scale = 1; // times the window's size in points; 0: pixelWidth
    int pixelWidth = 4000;
    bool withShadow = true;
    bool withCreaseLine = true;
    bool transparentBackground = true;
    QColor backgroundColor = Qt::white; // always opaque
    // Covers the frame behind the fold, over the background colour; exports only, never
    // remembered.
    QImage backgroundPicture;

    static ExportOptions fromPreferences(const Preferences& preferences);
    void writeTo(Preferences& preferences) const;

    // The picture's size in pixels for a window of windowSize whole points: the height follows
    // the width, so the picture keeps the window's shape.
    QSize pixelSize(QSize windowSize) const;
};
