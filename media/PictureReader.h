// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

class QFile;
class QImageReader;

// Which page of a PDF a picture is, and the bleed trimmed off a page whose file gives no TrimBox.
struct ArtworkPage {
    int page = 1;
    double bleedPoints = 0;
};

// Reads a picture file for showing or exporting it: refuses anything but a regular file before
// opening it (a FIFO would block the reading thread for good), decodes no larger than asked
// (JPEG then decodes at 1/2, 1/4 or 1/8 scale for free), follows the orientation tag and says
// why whenever it gives no picture. A PDF gives one page, trimmed and drawn at the size asked.
// Blocking file I/O: run it off the GUI thread.
class PictureReader {
    Q_DECLARE_TR_FUNCTIONS(PictureReader)

public:
    // The most one decoded picture may take: 256 megapixels at 4 bytes a pixel, 128 at 8.
    static constexpr int allocationLimitMB = 1024;

    // Pictures that say nothing of their print size count as this many pixels an inch, and so
    // does a PDF page for the sizing rules.
    static constexpr double assumedPixelsPerInch = 300;

    struct Result {
        QImage picture;  // null when the file could not be read
        QSize pixelSize; // the file's own size, upright; a PDF page's at assumedPixelsPerInch
        QString failure; // set exactly when the picture is null
        QSizeF points;   // the printed sheet's size in points (1/72 in)
        // A PDF page, drawn afresh at any size rather than limited to pixelSize.
        bool scalable = false;
        int pageCount = 0; // a PDF's pages; 0 for a picture
    };
    // The size wanted for a picture of the given upright pixel size.
    using SizeForPixels = std::function<QSize(QSize pixelSize)>;
    // Asked with the upright pixel size from the header, before decoding: false, with the reason
    // in failure, refuses the picture.
    using Check = std::function<bool(QSize pixelSize, QString* failure)>;
    // Asked now and then while a PDF page is drawn: true gives up, with no picture.
    using ShouldStop = std::function<bool()>;

    // path: the file name as the system's bytes, so that names that are not UTF-8 open too.
    // The picture is never enlarged beyond its own pixel size.
    static Result read(const QByteArray& path, const SizeForPixels& sizeFor,
                       const Check& check = {}, const ArtworkPage& artwork = {},
                       const ShouldStop& shouldStop = {});
    static Result read(const QByteArray& path, QSize size);
    // From the header alone: whether read() can make anything of the file, a regular file whose
    // format an image reader knows. Quick enough to judge a drag as it enters.
    static bool canRead(const QByteArray& path);

private:
    static Result readPdf(QFile& file, const SizeForPixels& sizeFor, const Check& check,
                          const ArtworkPage& artwork, const ShouldStop& shouldStop);
    static bool openRegularFile(const QByteArray& path, QFile& file, QString* failure = nullptr);
    static QString reasonForFailedRead(const QImageReader& reader, QSize pixelSize);
    static bool fitsLimit(QSize pixelSize, QImage::Format format, QString* failure = nullptr);
};
