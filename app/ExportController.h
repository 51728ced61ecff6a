#pragma once

#include "window/ExportOptions.h"
#include "window/ExportWriter.h"

#include <QObject>
#include <QPointer>

#include <optional>

class MyWindowController;
class PreferencesDefaults;
class QFileDialog;
class QProgressDialog;

// The Export command for one document: the options, then the file, then the drawing and writing
// with a progress dialog when they take long, and one alert when they fail.
class ExportController : public QObject {
    Q_OBJECT

public:
    explicit ExportController(PreferencesDefaults& defaults);

    void exportDocument(MyWindowController& document);

private:
    struct Destination {
        QString fileName;
        ExportFormat format;
    };

    std::optional<ExportOptions> chooseOptions(MyWindowController& document);
    std::optional<Destination> chooseFile(MyWindowController& document);
    void followFilter(QFileDialog& dialog, const QString& nameFilter) const;
    QString proposedFolder(const MyWindowController& document) const;
    void write(MyWindowController& document, ExportOptions options, const Destination& destination);
    void writeFile(QImage picture, const Destination& destination, const QProgressDialog& progress);
    static void alertFailure(const QString& fileName, const QString& reason);

    PreferencesDefaults& _defaults;
    // Modal dialogs run event loops in which the document may be closed.
    QPointer<MyWindowController> _document;
};
