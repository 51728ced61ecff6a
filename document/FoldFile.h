// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/FoldTarget.h"
#include "fold/FoldTypes.h"
#include "fold/HingedFoldTarget.h"
#include "fold/PanelFoldTarget.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

class FoldModel;
class PanelFoldModel;
class SheetFold;

// A fold kept apart from its picture: a small JSON file (.pleatfold, described in
// docs/fold-format.md), version 1 for the classic layout, version 3 for hinged panels and
// version 2 for every other. Reading
// checks the whole file, so that a fold read is always a sound one, and says in one sentence what
// is wrong, naming the file. Needs no window.
class FoldFile {
    Q_DECLARE_TR_FUNCTIONS(FoldFile)

public:
    static constexpr int formatVersion = 3;
    static constexpr int panelFormatVersion = 2;
    static constexpr int classicFormatVersion = 1;
    static inline const QString suffix = QStringLiteral("pleatfold");

    FoldFile(FoldSize sheet, const FoldTarget& fold) : _sheet(sheet), _fold(fold) {}
    FoldFile(FoldSize sheet, const PanelFoldTarget& fold);
    FoldFile(FoldSize sheet, const HingedFoldTarget& fold);
    static FoldFile fromModel(const FoldModel& model, float pitch);
    static FoldFile fromModel(const PanelFoldModel& model, float pitch);
    static FoldFile fromFold(const SheetFold& fold, float pitch);

    // Null with the reason in failure when the file is unreadable, not a regular file (refused
    // without blocking on a FIFO) or not such a fold. path: as PathText keeps names.
    static std::optional<FoldFile> read(const QString& path, QString* failure = nullptr);
    static std::optional<FoldFile> fromJson(const QByteArray& json, const QString& fileName,
                                            QString* failure = nullptr);
    // Replaces the file whole or leaves it as it was; never writes through a link.
    bool write(const QString& path, QString* failure = nullptr) const;
    QByteArray toJson() const;

    // The sheet size in points the fold was made on.
    FoldSize sheet() const { return _sheet; }
    FoldLayout layout() const;
    // The classic's fold; for another layout only its pitch counts (the classic lies flat).
    const FoldTarget& fold() const { return _fold; }
    // The turn about the axis along the creases, in degrees; every layout's files may keep one.
    double yaw() const { return _yaw; }
    void setYaw(double degrees);
    // The fold of another layout; null for the classic.
    const PanelFoldTarget* panelFold() const { return _panels ? &*_panels : nullptr; }
    // A hinged fold; null for any other.
    const HingedFoldTarget* hingedFold() const { return _hinged ? &*_hinged : nullptr; }

    // Brings the model to this fold and returns how far it stays from it (sheet units), 0 when
    // reproduced: exactly on the sheet size it was made on, through the solver on any other.
    // The pitch is fold().pitch, the caller's to set.
    double applyTo(FoldModel& model) const;
    // The same for a fold of any layout: the file's layout must be the fold's. A hinged fold
    // takes the file's paper with its angles.
    double applyTo(SheetFold& fold) const;

private:
    static std::optional<FoldFile> fromObject(const QJsonObject& root, QString* failure = nullptr);
    static std::optional<FoldFile> panelsFromObject(const QJsonObject& root,
                                                    const FoldLayout& layout, FoldSize sheet,
                                                    QString* failure = nullptr);
    static std::optional<FoldFile> hingedFromObject(const QJsonObject& root,
                                                    const FoldLayout& layout, FoldSize sheet,
                                                    QString* failure = nullptr);
    static QString faultText(FoldTarget::Fault fault);
    void insertHinged(QJsonObject& root) const;

    FoldSize _sheet;
    FoldTarget _fold;
    std::optional<PanelFoldTarget> _panels;
    std::optional<HingedFoldTarget> _hinged;
    double _yaw = 0.0;
};
