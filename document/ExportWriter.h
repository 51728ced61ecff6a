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
    QByteArray name; // as QImageWriter knows it, or "PDF"
    QString suffix;
    QString description;
    bool hasAlpha = true;

    bool isPdf() const { return name == "PDF"; }
    // "PNG image (*.png)", for a file dialog.
    QString nameFilter() const;
    // "<picture's name> folded.<suffix>" for a picture file's name.
    QString foldedFileName(const QString& pictureFileName) const;
};

// Writes exported pictures to files, all or nothing: through QSaveFile, so a file appears only
// complete and an old file is replaced only by a complete new one.
class ExportWriter {
    Q_DECLARE_TR_FUNCTIONS(ExportWriter)

public:
    // Called now and then while a file is written; returning false stops the writing.
    using Progress = std::function<bool()>;
    enum class Outcome { Written, Stopped, Failed };

    // PNG first, then TIFF, JPEG, WebP and PDF, as far as Qt can write them here.
    static QList<ExportFormat> formats();
    // The format a file name's suffix names, if it names one.
    static std::optional<ExportFormat> formatForFileName(const QString& fileName);

    // The picture's device pixel ratio gives a PDF page's size in points. failure: the reason,
    // when the outcome is Failed.
    static Outcome write(QImage picture, const QString& fileName, const ExportFormat& format,
                         const Progress& progress, QString* failure);
    static Outcome writeData(const QByteArray& data, const QString& fileName, QString* failure);
};
