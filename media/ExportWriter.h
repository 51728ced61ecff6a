// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// A file format an export can be written in.
struct ExportFormat {
    QByteArray name; // as QImageWriter knows it, or "PDF", "GLB" or "GLTF"
    QString suffix;
    QString description;
    bool hasAlpha = true;
    int largestSide = 16384; // pixels: Pleatora's cap, or the format's own where lower
    // The encoder's memory a pixel where it takes the whole picture at once (measured peak, with a
    // little to spare); 0 where it writes in bands.
    int bytesPerPixel = 0;

    // An encoder that takes the whole picture is capped so that it needs at most 1.2 GB.
    static constexpr qint64 memoryBudget = 1'200'000'000;
    // The most pixels a picture of this format may have; 0 for no cap beyond largestSide.
    qint64 largestPixels() const { return bytesPerPixel ? memoryBudget / bytesPerPixel : 0; }

    bool isPdf() const { return name == "PDF"; }
    // A 3D model of the sheet (GltfWriter) rather than a picture of it.
    bool isModel() const { return name == "GLB" || name == "GLTF"; }
    // "PNG image (*.png)", for a file dialog.
    QString nameFilter() const;
    // "<picture's name> folded.<suffix>" for a picture file's name.
    QString foldedFileName(const QString& pictureFileName) const;
};

// Writes exported pictures to files, all or nothing: through ReplacingFile, so a file appears only
// complete, an old file is replaced only by a complete new one, and nothing is written through a
// link or into a device, FIFO or socket.
class ExportWriter {
    Q_DECLARE_TR_FUNCTIONS(ExportWriter)

public:
    // Called now and then while a file is written; returning false stops the writing.
    using Progress = std::function<bool()>;
    enum class Outcome { Written, Stopped, Failed };

    // PNG first, then TIFF, JPEG, WebP and PDF, as far as Qt can write them here.
    static QList<ExportFormat> formats();
    // GLB, then glTF: the sheet as a 3D model, which GltfWriter writes.
    static QList<ExportFormat> modelFormats();
    // The picture or model format a file name's suffix names, if it names one.
    static std::optional<ExportFormat> formatForFileName(const QString& fileName);
    // Whether a picture of that size can be written to path in the format, checked before any
    // drawing; failure: a side over the format's largest, or a path that is a device, FIFO,
    // socket or folder.
    static bool canWrite(const QByteArray& path, QSize pixels, const ExportFormat& format,
                         QString* failure = nullptr);

    // path: the system's bytes. The picture's device pixel ratio gives a PDF page's size in
    // points. failure: the reason, when the outcome is Failed: the system's own ("No space left
    // on device") when writing failed, else the encoder's.
    static Outcome write(QImage picture, const QByteArray& path, const ExportFormat& format,
                         const Progress& progress, QString* failure = nullptr);
    static Outcome writeData(const QByteArray& data, const QByteArray& path,
                             QString* failure = nullptr);
};
