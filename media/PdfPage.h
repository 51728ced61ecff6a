// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Poppler {
class Document;
}

// One page of a PDF as printed artwork: the sheet is its TrimBox (the CropBox less a bleed where
// the file names no TrimBox), and the page is drawn afresh at whatever size a use needs. Each
// PdfPage holds a document of its own, so that pages may be drawn on different threads.
class PdfPage {
    Q_DECLARE_TR_FUNCTIONS(PdfPage)

public:
    // Pages more than 5 m a side are no printed sheet: a damaged or hostile file.
    static constexpr double largestSidePoints = 5000 / 25.4 * 72;

    // Whether bytes begin a PDF file.
    static bool isPdf(const QByteArray& head);
    // Page number (from 1) of a PDF's bytes, with bleedPoints trimmed off each side where the file
    // gives no TrimBox; none with the reason in failure.
    static std::optional<PdfPage> open(const QByteArray& bytes, int number, double bleedPoints,
                                       QString* failure = nullptr);

    // The trimmed sheet in points (1/72 in).
    QSizeF trimPoints() const { return _trim.size(); }
    int pageCount() const { return _pageCount; }
    // The trimmed page drawn at exactly pixels; stops early, giving a null picture, once
    // shouldStop says so.
    QImage render(QSize pixels, const std::function<bool()>& shouldStop = {},
                  QString* failure = nullptr) const;

private:
    PdfPage(std::shared_ptr<Poppler::Document> document, int index, int pageCount, QRectF trim,
            QSizeF crop);

    std::shared_ptr<Poppler::Document> _document;
    int _index = 0;
    int _pageCount = 0;
    QRectF _trim; // in the crop box's points, y down
    QSizeF _crop;
};
