// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/ExportOptions.h"
#include "media/ExportWriter.h"

#include <QObject>
#include <QPointer>

#include <optional>

class DocumentController;
class Preferences;
class QFileDialog;
class QProgressDialog;

// The Export command for one document: the options, then the file, then the drawing and writing
// with a progress dialog when they take long, and one alert when they fail.
class ExportController : public QObject {
    Q_OBJECT

public:
    explicit ExportController(Preferences& preferences);

    void exportDocument(DocumentController& document);

private:
    struct Destination {
        QString fileName;
        ExportFormat format;
    };

    std::optional<ExportOptions> chooseOptions(DocumentController& document);
    std::optional<Destination> chooseFile(DocumentController& document);
    void followFilter(QFileDialog& dialog, const QString& nameFilter) const;
    QString proposedFolder(const DocumentController& document) const;
    void write(DocumentController& document, ExportOptions options, const Destination& destination);
    void writeModel(DocumentController& document, const ExportOptions& options,
                    const Destination& destination);
    void writeFile(QImage picture, const Destination& destination, const QProgressDialog& progress);
    static void alertFailure(const QString& fileName, const QString& reason);

    Preferences& _preferences;
    // Modal dialogs run event loops in which the document may be closed.
    QPointer<DocumentController> _document;
};
