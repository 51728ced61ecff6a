// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/AnimationBatch.h"
#include "cli/ExportPlan.h"
#include "cli/ExportRecipe.h"
#include "document/FoldFile.h"
#include "fold/FoldSnapshot.h"
#include "fold/SheetFold.h"
#include "media/PictureReader.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

class FoldModel;
class SheetRenderer;
class WorkerMemory;

// One worker of an export run: decodes, folds, draws and writes one picture after another on
// its own thread, or makes its animation, with one renderer (and so one OpenGL context) kept for
// all of them. It holds
// one picture at a time, so its memory does not grow with the length of the run.
class BatchWorker {
    Q_DECLARE_TR_FUNCTIONS(BatchWorker)

public:
    // Time spent in each step, over every picture so far.
    struct Timings {
        std::chrono::nanoseconds decode{}, render{}, shadow{}, encode{};
        Timings& operator+=(const Timings& other);
    };
    // Stopped: abandoned because a signal stopped the run; never reported.
    enum class Status { Written, Skipped, Failed, NoRenderer, Stopped };
    struct Result {
        Status status = Status::Failed;
        QByteArray file;      // what failed: the picture, or the output once the picture was read
        QString failure;      // set exactly when the status is Failed or NoRenderer
        QStringList warnings; // for the picture, in the order they came
        std::chrono::milliseconds elapsed{};
    };

    // frameProgress: where an animation's bar of frames goes, null for none; memory: what the
    // workers share, reserved from for each picture, null for no limit.
    BatchWorker(const ExportRecipe::Defaults& defaults, bool skipExisting,
                FILE* frameProgress = nullptr, WorkerMemory* memory = nullptr);
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    Result exportEntry(const ExportPlan::Entry& entry);
    const Timings& timings() const { return _timings; }

    // Kept as a sign of damage when an image plugin warns while this thread decodes a picture.
    static void noteDecoderWarning(const QString& message);
    // Pleatora's own warning, kept with the picture this thread exports so that it comes out in
    // the list's order; false when the thread exports none.
    static bool keepWarning(const QString& message);

private:
    // Whether an output is a whole file that --skip-existing keeps.
    static bool isFinished(const QByteArray& output);
    Status exportPicture(const ExportPlan::Entry& entry, Result& result);
    std::optional<FoldFile> foldFor(const QString& path, QString* failure = nullptr);
    // --layout's, else the fold file's, else the classic; none when the fold file cannot be read
    // or is of another layout than --layout.
    std::optional<FoldLayout> layoutOf(const ExportPlan::Entry& entry, QString* failure = nullptr);
    float fold(SheetFold& sheetFold, const ExportPlan::Entry& entry, Result& result);
    Status draw(const PictureReader::Result& read, const ExportPlan::Entry& entry,
                const ExportRecipe& recipe, Result& result);
    // The sheet, or its motion, as a 3D model instead of pictures of it.
    Status writeModel(const SheetFold& sheetFold, float pitch, const PictureReader::Result& read,
                      const ExportPlan::Entry& entry, const ExportRecipe& recipe, Result& result);
    Status render(const QImage& texturePicture, QSize windowPoints, const ExportPlan::Entry& entry,
                  const ExportRecipe& recipe, Result& result);
    // The entry's motion, with its --from fold read; none with the reason when that cannot be used.
    std::optional<AnimationBatch> motionOf(const ExportPlan::Entry& entry, const FoldLayout& layout,
                                           QString* failure);
    Status animate(FoldSize sheet, const FoldSnapshot& end, const QImage& texturePicture,
                   QSize windowPoints, const ExportPlan::Entry& entry, const ExportRecipe& recipe,
                   Result& result);
    // Reserves the picture's memory before it is decoded; false when the run stops meanwhile.
    bool reserveMemory(const ExportRecipe& recipe, QSize pixels, QString* failure);
    // This worker's renderer at that window size: made on first use, resized after.
    SheetRenderer* renderer(QSize windowPoints, QString* failure = nullptr);

    ExportRecipe::Defaults _defaults;
    bool _skipExisting = false;
    FILE* _frameProgress = nullptr;
    WorkerMemory* _memory = nullptr;
    qint64 _reserved = 0; // by the picture under way
    std::unique_ptr<SheetRenderer> _renderer;
    std::map<QString, FoldFile> _folds; // read once per worker
    Timings _timings;
};
