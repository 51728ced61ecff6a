// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "document/FoldFile.h"

#include "fold/FoldApplier.h"
#include "fold/FoldModel.h"
#include "fold/PanelFoldModel.h"
#include "fold/SheetFold.h"
#include "media/Failure.h"
#include "media/PathText.h"
#include "media/RegularFile.h"
#include "media/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <cmath>
#include <span>
#include <system_error>

namespace {

constexpr char formatKey[] = "pleatora-fold";
constexpr char sheetKey[] = "sheet";
constexpr char creasesKey[] = "creases";
constexpr char profileKey[] = "profile";
constexpr char pitchKey[] = "pitch";
constexpr char layoutKey[] = "layout";
constexpr char axisKey[] = "axis";
constexpr char widthsKey[] = "widths";
constexpr char widthsFixedKey[] = "widths-fixed";
constexpr char anglesKey[] = "angles";
constexpr char thicknessKey[] = "thickness";
constexpr char printedSizeKey[] = "printed-size";
constexpr char yawKey[] = "yaw";
// Paper up to a millimetre thick, in points.
constexpr double thickestPaper = 72.0 / 25.4;
constexpr qint64 largestFile = 1 << 20;
// A side under a point leaves no room for the panels the limiter keeps.
constexpr double smallestSheet = 1;
constexpr double largestSheet = 1e6;
constexpr double largestPitch = 60;
constexpr double largestYaw = 60;
// Sheet sizes are written as the shortest text that reads back as the same double.
constexpr double sameSheet = 1e-6;

struct Range {
    double low;
    double high;
};

QString numberText(double value) {
    return QString::number(value, 'g', 10);
}

// Reads `count` numbers within the range from a JSON list.
bool readNumbers(const QJsonValue& value, const QString& name, Range range, double* numbers,
                 qsizetype count, QString* failure = nullptr) {
    if (!value.isArray())
        return Failure::fail(
            failure, FoldFile::tr("“%1” must be a list of %2 numbers").arg(name).arg(count));
    const QJsonArray list = value.toArray();
    if (list.size() != count) {
        return Failure::fail(failure, FoldFile::tr("“%1” has %2 entries instead of %3")
                                          .arg(name)
                                          .arg(list.size())
                                          .arg(count));
    }
    for (qsizetype i = 0; i < count; ++i) {
        if (!list[i].isDouble())
            return Failure::fail(
                failure, FoldFile::tr("entry %1 of “%2” is not a number").arg(i + 1).arg(name));
        numbers[i] = list[i].toDouble();
        if (!(numbers[i] >= range.low && numbers[i] <= range.high)) {
            return Failure::fail(failure, FoldFile::tr("“%1” holds %2, outside %3 to %4")
                                              .arg(name, numberText(numbers[i]),
                                                   numberText(range.low), numberText(range.high)));
        }
    }
    return true;
}

// x along the flat sheet, y out of its plane, each within the range.
bool readProfile(const QJsonValue& value, FoldPoint* profile, int count, Range range,
                 QString* failure = nullptr) {
    if (!value.isArray() || value.toArray().size() != count) {
        return Failure::fail(
            failure, FoldFile::tr("“%1” must be a list of %2 points").arg(profileKey).arg(count));
    }
    const QJsonArray points = value.toArray();
    for (int i = 0; i < count; ++i) {
        const QString name = FoldFile::tr("point %1 of “%2”").arg(i + 1).arg(profileKey);
        double xy[2];
        if (!readNumbers(points[i], name, range, xy, 2, failure))
            return false;
        profile[i] = {xy[0], xy[1]};
    }
    return true;
}

std::optional<double> readPitch(const QJsonObject& root, QString* failure = nullptr) {
    const QJsonValue pitch = root.value(pitchKey);
    if (!pitch.isDouble()) {
        Failure::fail(failure, FoldFile::tr("“%1” must be a number").arg(pitchKey));
        return std::nullopt;
    }
    if (!(std::abs(pitch.toDouble()) <= largestPitch)) {
        Failure::fail(failure, FoldFile::tr("“%1” holds %2, outside -60 to 60 degrees")
                                   .arg(pitchKey, numberText(pitch.toDouble())));
        return std::nullopt;
    }
    return pitch.toDouble();
}

// Optional: a fold without one faces the viewer.
std::optional<double> readYaw(const QJsonObject& root, QString* failure = nullptr) {
    if (!root.contains(yawKey))
        return 0.0;
    const QJsonValue yaw = root.value(yawKey);
    if (!yaw.isDouble()) {
        Failure::fail(failure, FoldFile::tr("“%1” must be a number").arg(yawKey));
        return std::nullopt;
    }
    if (!(std::abs(yaw.toDouble()) <= largestYaw)) {
        Failure::fail(failure, FoldFile::tr("“%1” holds %2, outside -60 to 60 degrees")
                                   .arg(yawKey, numberText(yaw.toDouble())));
        return std::nullopt;
    }
    return yaw.toDouble();
}

std::optional<FoldLayout> readLayout(const QJsonObject& root, QString* failure = nullptr) {
    for (const char* key : {layoutKey, axisKey}) {
        if (!root.value(key).isString()) {
            Failure::fail(failure, FoldFile::tr("the entry “%1” is missing or not text").arg(key));
            return std::nullopt;
        }
    }
    const QString axisName = root.value(axisKey).toString();
    const std::optional<FoldLayout::Axis> axis = FoldLayout::axisFromName(axisName.toStdString());
    if (!axis) {
        Failure::fail(failure, FoldFile::tr("“%1” is “%2”, not “vertical” or “horizontal”")
                                   .arg(axisKey, PathText::shown(axisName)));
        return std::nullopt;
    }
    const QString name = root.value(layoutKey).toString();
    const std::optional<FoldLayout> layout = FoldLayout::fromName(name.toStdString(), *axis);
    if (!layout)
        Failure::fail(failure, FoldFile::tr("“%1” names no layout Pleatora knows: “%2”")
                                   .arg(layoutKey, PathText::shown(name)));
    return layout;
}

// A version is a whole number from 1 up; this Pleatora reads its own and older ones.
bool checkVersion(const QJsonObject& root, QString* failure = nullptr) {
    const QJsonValue version = root.value(formatKey);
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number < 1 || number != std::floor(number)) {
        return Failure::fail(failure,
                             FoldFile::tr("its format version is not a whole number from 1 up"));
    }
    if (number > FoldFile::formatVersion) {
        return Failure::fail(
            failure,
            FoldFile::tr("it was made by a newer Pleatora (fold format %1; this one reads up to "
                         "format %2)")
                .arg(numberText(number))
                .arg(FoldFile::formatVersion));
    }
    return true;
}

bool checkEntriesPresent(const QJsonObject& root, QString* failure = nullptr) {
    static constexpr std::array hingedKeys{sheetKey, widthsKey, anglesKey, thicknessKey, pitchKey};
    static constexpr std::array panelKeys{sheetKey, creasesKey, profileKey, pitchKey};
    const bool hinged = root.value(formatKey).toInt() == FoldFile::formatVersion;
    const std::span<const char* const> keys =
        hinged ? std::span<const char* const>(hingedKeys) : std::span<const char* const>(panelKeys);
    for (const char* key : keys) {
        if (!root.contains(key)) {
            return Failure::fail(failure, FoldFile::tr("the entry “%1” is missing").arg(key));
        }
    }
    return true;
}

QJsonArray jsonList(std::initializer_list<double> numbers) {
    QJsonArray list;
    for (const double number : numbers)
        list.append(number);
    return list;
}

} // namespace

FoldFile::FoldFile(FoldSize sheet, const PanelFoldTarget& fold) : _sheet(sheet), _panels(fold) {
    _fold.pitch = fold.pitch;
}

FoldFile::FoldFile(FoldSize sheet, const HingedFoldTarget& fold)
    : _sheet(sheet), _hinged(fold), _yaw(fold.yaw) {
    _fold.pitch = fold.pitch;
}

void FoldFile::setYaw(double degrees) {
    _yaw = degrees;
    if (_hinged)
        _hinged->yaw = degrees;
}

FoldFile FoldFile::fromFold(const SheetFold& fold, float pitch) {
    if (const FoldModel* classic = fold.classic())
        return fromModel(*classic, pitch);
    if (const PanelFoldModel* panels = fold.panels())
        return fromModel(*panels, pitch);
    return FoldFile(fold.sheetSize(), HingedFoldTarget::fromFold(fold, pitch));
}

FoldLayout FoldFile::layout() const {
    if (_hinged)
        return _hinged->layout;
    return _panels ? _panels->layout : FoldLayout();
}

double FoldFile::applyTo(SheetFold& fold) const {
    if (_hinged)
        return _hinged->applyTo(fold);
    if (_panels) {
        PanelFoldModel model = *fold.panels();
        const double distance = _panels->applyTo(model);
        fold.restore(FoldSnapshot::take(model, 0));
        return distance;
    }
    FoldModel model = *fold.classic();
    const double distance = applyTo(model);
    fold.restore(FoldSnapshot::take(model, 0));
    return distance;
}

FoldFile FoldFile::fromModel(const PanelFoldModel& model, float pitch) {
    return FoldFile(model.sheetSize(), PanelFoldTarget::fromModel(model, pitch));
}

FoldFile FoldFile::fromModel(const FoldModel& model, float pitch) {
    const FoldSnapshot snapshot = FoldSnapshot::take(model, pitch);
    return FoldFile(model.sheetSize(), FoldTarget::fromSnapshot(snapshot, model.sheetSize().width));
}

// A fold made on this very sheet was one the limiter allowed there; it comes back as made. The
// solver need not retrace every user's path to it, so it is not asked to.
double FoldFile::applyTo(FoldModel& model) const {
    const FoldSize size = model.sheetSize();
    const FoldSnapshot wanted = _fold.onSheet(size.width);
    if (std::abs(size.width - _sheet.width) <= sameSheet &&
        std::abs(size.height - _sheet.height) <= sameSheet) {
        model.restore(wanted);
        return 0.0;
    }
    return FoldApplier::apply(model, wanted);
}

std::optional<FoldFile> FoldFile::read(const QString& path, QString* failure) {
    const QString fileName = QFileInfo(path).fileName();
    QFile file;
    QString what;
    const RegularFile::Opening opening = RegularFile::openForReading(PathText::toBytes(path), file);
    if (opening.status == RegularFile::Status::NotRegular)
        what = tr("it is not a regular file");
    else if (opening.status == RegularFile::Status::Unreadable)
        what = tr("it cannot be read (%1)")
                   .arg(QString::fromStdString(std::generic_category().message(opening.error)));
    else if (file.size() == 0)
        what = tr("it is empty");
    else if (file.size() > largestFile)
        what = tr("at %1 bytes it is far too large for a fold").arg(file.size());
    if (what.isEmpty())
        return fromJson(file.readAll(), fileName, failure);
    Failure::fail(
        failure,
        tr("“%1” is not a fold Pleatora can use: %2.").arg(PathText::shown(fileName), what));
    return std::nullopt;
}

std::optional<FoldFile> FoldFile::fromJson(const QByteArray& json, const QString& fileName,
                                           QString* failure) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    QString what;
    std::optional<FoldFile> fold;
    if (parseError.error != QJsonParseError::NoError)
        what = tr("it is not JSON (%1 at character %2)")
                   .arg(parseError.errorString())
                   .arg(parseError.offset);
    else if (!document.isObject() || !document.object().contains(formatKey))
        what = tr("it is not a Pleatora fold file");
    else
        fold = fromObject(document.object(), &what);
    if (!fold && failure)
        *failure =
            tr("“%1” is not a fold Pleatora can use: %2.").arg(PathText::shown(fileName), what);
    return fold;
}

// Unknown entries are left alone: later formats may add to this one. A version 2 file of the
// classic layout is read as version 1.
std::optional<FoldFile> FoldFile::fromObject(const QJsonObject& root, QString* failure) {
    if (!checkVersion(root, failure) || !checkEntriesPresent(root, failure))
        return std::nullopt;
    std::optional<FoldLayout> layout = FoldLayout();
    if (root.value(formatKey).toInt() > classicFormatVersion &&
        !(layout = readLayout(root, failure)))
        return std::nullopt;
    double sheet[2];
    if (!readNumbers(root.value(sheetKey), sheetKey, {smallestSheet, largestSheet}, sheet, 2,
                     failure))
        return std::nullopt;
    if (layout->isHinged())
        return hingedFromObject(root, *layout, {sheet[0], sheet[1]}, failure);
    if (!layout->isClassic())
        return panelsFromObject(root, *layout, {sheet[0], sheet[1]}, failure);
    FoldTarget fold;
    if (!readNumbers(root.value(creasesKey), creasesKey, {0.0, 1.0}, fold.creases.data(),
                     creaseLineCount, failure) ||
        !readProfile(root.value(profileKey), fold.profile.data(), creaseLineCount, {-1.0, 1.0},
                     failure))
        return std::nullopt;
    const std::optional<double> pitch = readPitch(root, failure);
    const std::optional<double> yaw = pitch ? readYaw(root, failure) : std::nullopt;
    if (!yaw)
        return std::nullopt;
    fold.pitch = *pitch;
    if (const FoldTarget::Fault fault = fold.fault(); fault != FoldTarget::Fault::none) {
        Failure::fail(failure, faultText(fault));
        return std::nullopt;
    }
    FoldFile file({sheet[0], sheet[1]}, fold);
    file.setYaw(*yaw);
    return file;
}

// Every point of a sound fold lies within the sheet's length of its first edge, across and out
// of the plane alike: no panel is longer than the sheet, and the fold starts on the flat sheet.
// Rounding may leave the last edge a hair past the length.
std::optional<FoldFile> FoldFile::panelsFromObject(const QJsonObject& root,
                                                   const FoldLayout& layout, FoldSize sheet,
                                                   QString* failure) {
    constexpr double reach = 1 + 1e-12;
    PanelFoldTarget fold{layout, {}, {}, 0.0};
    const int lines = layout.panelCount() + 1;
    fold.creases.resize(lines);
    fold.profile.resize(lines);
    if (!readNumbers(root.value(creasesKey), creasesKey, {0.0, 1.0}, fold.creases.data(), lines,
                     failure) ||
        !readProfile(root.value(profileKey), fold.profile.data(), lines, {-reach, reach}, failure))
        return std::nullopt;
    const std::optional<double> pitch = readPitch(root, failure);
    const std::optional<double> yaw = pitch ? readYaw(root, failure) : std::nullopt;
    if (!yaw)
        return std::nullopt;
    fold.pitch = *pitch;
    const double length = layout.axis() == FoldLayout::Axis::vertical ? sheet.width : sheet.height;
    if (!fold.isSoundOn(length)) {
        Failure::fail(failure, tr("the profile's panels do not match the creases, or the creases "
                                  "are not in order from the first edge to the last"));
        return std::nullopt;
    }
    FoldFile file(sheet, fold);
    file.setYaw(*yaw);
    return file;
}

std::optional<FoldFile> FoldFile::hingedFromObject(const QJsonObject& root,
                                                   const FoldLayout& layout, FoldSize sheet,
                                                   QString* failure) {
    HingedFoldTarget fold;
    fold.layout = layout;
    const int panels = layout.panelCount();
    fold.paper.widths.resize(panels);
    fold.angles.resize(panels - 1);
    double printed[2] = {0, 0};
    if (!readNumbers(root.value(widthsKey), widthsKey, {0.0, 1.0}, fold.paper.widths.data(), panels,
                     failure) ||
        !readNumbers(root.value(anglesKey), anglesKey, {-180.0, 180.0}, fold.angles.data(),
                     panels - 1, failure) ||
        !readNumbers(QJsonArray{root.value(thicknessKey)}, thicknessKey, {0.0, thickestPaper},
                     &fold.paper.thickness, 1, failure) ||
        (root.contains(printedSizeKey) &&
         !readNumbers(root.value(printedSizeKey), printedSizeKey, {smallestSheet, largestSheet},
                      printed, 2, failure)))
        return std::nullopt;
    if (!(fold.paper.thickness > 0)) {
        Failure::fail(failure, tr("“%1” must be above 0").arg(thicknessKey));
        return std::nullopt;
    }
    fold.paper.printedSize = {printed[0], printed[1]};
    fold.widthsFixed = root.value(widthsFixedKey).toBool(false);
    const std::optional<double> pitch = readPitch(root, failure);
    const std::optional<double> yaw = pitch ? readYaw(root, failure) : std::nullopt;
    if (!yaw)
        return std::nullopt;
    fold.pitch = *pitch;
    fold.yaw = *yaw;
    if (!fold.isWhole()) {
        Failure::fail(failure, tr("the widths do not add up to the whole sheet"));
        return std::nullopt;
    }
    return FoldFile(sheet, fold);
}

void FoldFile::insertHinged(QJsonObject& root) const {
    QJsonArray widths;
    for (const double width : _hinged->paper.widths)
        widths.append(width);
    QJsonArray angles;
    for (const double angle : _hinged->angles)
        angles.append(angle);
    root.insert(formatKey, formatVersion);
    root.insert(layoutKey, QString::fromStdString(_hinged->layout.name()));
    root.insert(axisKey, QString::fromUtf8(FoldLayout::axisName(_hinged->layout.axis())));
    root.insert(widthsKey, widths);
    root.insert(widthsFixedKey, _hinged->widthsFixed);
    root.insert(anglesKey, angles);
    root.insert(thicknessKey, _hinged->paper.thickness);
    const FoldSize printed = _hinged->paper.printedSize;
    if (printed.width > 0 && printed.height > 0)
        root.insert(printedSizeKey, jsonList({printed.width, printed.height}));
    root.insert(yawKey, _hinged->yaw);
}

QString FoldFile::faultText(FoldTarget::Fault fault) {
    using Fault = FoldTarget::Fault;
    switch (fault) {
    case Fault::edgeCreasesOffTheEdges:
        return tr("the first crease must lie at 0 and the last at 1, the sheet's edges");
    case Fault::creasesOutOfOrder:
        return tr("the creases are not in order from left to right");
    case Fault::edgeBeyondTheSheet:
        return tr("an edge of the profile lies outside the flat sheet");
    case Fault::profileOutOfOrder:
        return tr("the profile's vertices are not in order from left to right");
    case Fault::vertexOffThePlane:
        return tr("a vertex of the profile other than the two peaks leaves the sheet's plane");
    case Fault::vertexOffItsCrease:
        return tr("the profile's feet or middle do not lie at their creases");
    case Fault::segmentLengthChanged:
        return tr("the profile's segments do not match the creases");
    case Fault::none:
        break;
    }
    return {};
}

// The classic is written as version 1, which older copies of Pleatora read.
QByteArray FoldFile::toJson() const {
    QJsonArray creases;
    QJsonArray profile;
    const auto add = [&](double crease, FoldPoint point) {
        creases.append(crease);
        profile.append(jsonList({point.x, point.y}));
    };
    QJsonObject root;
    if (_hinged) {
        insertHinged(root);
        root.insert(sheetKey, jsonList({_sheet.width, _sheet.height}));
        root.insert(pitchKey, _fold.pitch);
        return QJsonDocument(root).toJson(QJsonDocument::Indented);
    }
    if (_panels) {
        for (std::size_t i = 0; i < _panels->creases.size(); ++i)
            add(_panels->creases[i], _panels->profile[i]);
        root.insert(formatKey, panelFormatVersion);
        root.insert(layoutKey, QString::fromStdString(_panels->layout.name()));
        root.insert(axisKey, QString::fromUtf8(FoldLayout::axisName(_panels->layout.axis())));
    } else {
        for (int i = 0; i < creaseLineCount; ++i)
            add(_fold.creases[i], _fold.profile[i]);
        root.insert(formatKey, classicFormatVersion);
    }
    root.insert(sheetKey, jsonList({_sheet.width, _sheet.height}));
    root.insert(creasesKey, creases);
    root.insert(profileKey, profile);
    root.insert(pitchKey, _fold.pitch);
    // Unturned folds stay as older copies of Pleatora wrote them.
    if (_yaw != 0.0)
        root.insert(yawKey, _yaw);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool FoldFile::write(const QString& path, QString* failure) const {
    const QByteArray json = toJson();
    ReplacingFile file(PathText::toBytes(path));
    if (file.open() && file.write(json) == json.size() && file.commit())
        return true;
    if (failure)
        *failure = tr("“%1” could not be saved: %2.")
                       .arg(PathText::shown(QFileInfo(path).fileName()), file.failure());
    return false;
}
