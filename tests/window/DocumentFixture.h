// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/ApplicationSettings.h"
#include "settings/Preferences.h"
#include "window/DocumentController.h"

#include <QImage>
#include <QPoint>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Opens real documents of generated pictures, with a fresh settings file for every test.
class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QUrl writeImage(QSize pixelSize, const QString& name = QStringLiteral("sheet.png"));
    // Opens a document as Pleatora does: the picture read for the first screen's sheet.
    std::unique_ptr<DocumentController> openDocument(const QUrl& url, QString* failure = nullptr);
    // Opens, shows and activates a document of a picture of the given pixel size.
    std::unique_ptr<DocumentController> openShown(QSize pixelSize);
    // Opaque line colours, easy to tell apart from the picture.
    void useOpaqueLineColors();

    static bool waitFor(const std::function<bool()>& condition);

    // Frame coordinates (y up) of a window as a position in it (y down), whole points.
    static QPoint widgetPoint(const DocumentController& controller, QPointF framePoint);
    static QPointF lineMiddle(const DocumentController& controller, int line);
    // The pixel of a frame-sized picture that lies at a frame point.
    static QColor framePixel(const QImage& picture, QPointF framePoint);
    static QColor shownPixel(const DocumentController& controller, QPointF framePoint);

    // Mouse events sent to the content view, which hands them on to the window like the
    // platform's events.
    static void press(DocumentController& controller, QPoint at,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void dragTo(DocumentController& controller, QPoint to,
                       Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static void release(DocumentController& controller, QPoint at);
    // Puts the pointer on a window position and waits for the hover poll to pick an area.
    static void hover(DocumentController& controller, QPoint at, int expectedArea);

    static const QColor creaseColor;
    static const QColor controlColor;

    QTemporaryDir _dir;
    std::unique_ptr<ApplicationSettings> _settings;
    std::unique_ptr<Preferences> _preferences;
};
