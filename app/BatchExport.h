#pragma once

#include "app/CommandLine.h"
#include "document/ExportOptions.h"
#include "document/ExportPicture.h"
#include "document/ExportWriter.h"
#include "document/FoldFile.h"
#include "document/PictureReader.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <optional>

class PreferencesDefaults;

// `pleatora --export` and `--export-dir`: folds and writes pictures with no window and no display
// server, through the renderer's surfaceless context and the application's own export steps.
// Each picture is reported on standard error; one that fails is named with its reason and the
// others go on.
class BatchExport {
    Q_DECLARE_TR_FUNCTIONS(BatchExport)

public:
    // Time spent in each step, over every picture so far.
    struct Timings {
        std::chrono::nanoseconds decode{}, render{}, shadow{}, encode{};
    };

    BatchExport(const CommandLine::ExportSettings& settings, const PreferencesDefaults& defaults);

    // The process's exit code: 0 when every picture was written, 1 when any failed or when
    // nothing can be drawn at all.
    int run(const QStringList& pictures);
    const Timings& timings() const { return _timings; }

private:
    enum class Outcome { Written, Failed, NoRenderer };

    bool readFold();
    Outcome exportPicture(const QString& picture, QString* failure);
    Outcome draw(const PictureReader::Result& read, FoldSize sheet, const ExportOptions& options,
                 const ExportFormat& format, const QString& output, QString* failure);
    QString outputPath(const QString& picture) const;
    std::optional<ExportFormat> formatFor(const QString& output) const;
    void report(int done, int total, const QString& picture, const QString& failure) const;

    CommandLine::ExportSettings _settings;
    ExportOptions _options;
    ExportPicture::Look _look;
    float _shading = 0;
    std::optional<FoldFile> _fold;
    Timings _timings;
    bool _isTerminal = false;
};
