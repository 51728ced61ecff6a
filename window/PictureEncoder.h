#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class QMimeData;

// Turns a picture (its device pixel ratio gives its size in points) into the data Pleatora hands
// out: encoded image files, a one-page PDF, and the clipboard's MIME data.
namespace PictureEncoder {

// The picture in an image format Qt can write ("PNG", "TIFF", ...); empty when it cannot.
QByteArray encodedData(const QImage& picture, const char* format);

// One page the picture's size in points, no margins, the picture covering it.
QByteArray pdfData(const QImage& picture);

// "PDF" (exactly) gives application/pdf; any other format the image itself, also offered as
// image/png and image/tiff where those encoders exist.
std::unique_ptr<QMimeData> mimeDataWithFormat(const QImage& picture, const QString& format);

} // namespace PictureEncoder
