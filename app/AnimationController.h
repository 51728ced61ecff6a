// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/AnimationOptions.h"
#include "document/ExportOptions.h"
#include "fold/FoldSnapshot.h"
#include "media/ExportWriter.h"

#include <QObject>
#include <QPointer>

#include <optional>

class DocumentController;
class Preferences;

// The Export Animation command for one document: the options, then the file, whose name's suffix
// chooses the format, then the frames drawn and written with a progress dialog that can cancel,
// and one alert when anything fails. Cancelled or failed, no file is left behind.
class AnimationController : public QObject {
    Q_OBJECT

public:
    explicit AnimationController(Preferences& preferences);

    void exportAnimation(DocumentController& document);

private:
    QString chooseFile(DocumentController& document);
    std::optional<FoldSnapshot> startFold(const DocumentController& document,
                                          const AnimationOptions& animation,
                                          const QString& fileName) const;
    void write(DocumentController& document, const QString& fileName, const ExportOptions& options,
               const AnimationOptions& animation);
    // The motion as a 3D model that plays it.
    void writeModel(DocumentController& document, const QString& fileName,
                    const ExportFormat& format, const ExportOptions& options,
                    const AnimationOptions& animation);
    void remember(const ExportOptions& options, const AnimationOptions& animation);
    static void alertFailure(const QString& fileName, const QString& reason);

    Preferences& _preferences;
    // Modal dialogs run event loops in which the document may be closed.
    QPointer<DocumentController> _document;
};
