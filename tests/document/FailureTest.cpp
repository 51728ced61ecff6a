// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// The one rule of failures: a reason is set exactly when the result says failed, and a call
// given no place for it fails the same.
#include "document/FoldFile.h"
#include "fold/FoldModel.h"
#include "media/ExportWriter.h"
#include "media/PictureEncoder.h"
#include "media/PngWriter.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

const QString earlier = QStringLiteral("an earlier reason");

class FailureTest : public testing::Test {
protected:
    FailureTest() : _picture(4, 4, QImage::Format_ARGB32_Premultiplied) { _picture.fill(Qt::red); }
    QByteArray path(const QString& name) const { return QFile::encodeName(_dir.filePath(name)); }
    static ExportFormat png() { return *ExportWriter::formatForFileName("a.png"); }

    QTemporaryDir _dir;
    QImage _picture;
};

} // namespace

// A caller may keep one reason over several calls: a success must not wipe it.
TEST_F(FailureTest, ASuccessLeavesTheReasonAsItWas) {
    QString failure = earlier;
    QBuffer device;
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_TRUE(PngWriter::write(_picture, &device, &failure));
    EXPECT_TRUE(PictureEncoder::writeImage(_picture, &device, "PNG", {}, &failure));
    EXPECT_TRUE(ExportWriter::canWrite(path("a.png"), _picture.size(), png(), &failure));
    EXPECT_EQ(ExportWriter::write(_picture, path("a.png"), png(), {}, &failure),
              ExportWriter::Outcome::Written);
    const QString fold = QFile::decodeName(path("a.pleatfold"));
    EXPECT_TRUE(FoldFile::fromModel(FoldModel({400, 300}), 0).write(fold, &failure));
    EXPECT_TRUE(FoldFile::read(fold, &failure));
    EXPECT_EQ(failure, earlier);
}

TEST_F(FailureTest, AFailureGivesItsReasonAndFailsAlikeWithNoPlaceForIt) {
    QBuffer closed; // never opened: every write fails
    const QByteArray nowhere = path("missing/a.png");
    const QString missingFold = QFile::decodeName(path("missing.pleatfold"));
    const QList<std::function<bool(QString*)>> failing = {
        [&](QString* failure) { return PngWriter::write(_picture, &closed, failure); },
        [&](QString* failure) {
            QBuffer device;
            device.open(QIODevice::WriteOnly);
            return PictureEncoder::writeImage(_picture, &device, "no such format", {}, failure);
        },
        [&](QString* failure) {
            return ExportWriter::canWrite(path(""), _picture.size(), png(), failure);
        },
        [&](QString* failure) {
            return ExportWriter::write(_picture, nowhere, png(), {}, failure) ==
                   ExportWriter::Outcome::Written;
        },
        [&](QString* failure) { return FoldFile::read(missingFold, failure).has_value(); },
        [&](QString* failure) {
            return FoldFile::fromJson("{}", "a.pleatfold", failure).has_value();
        },
        [&](QString* failure) {
            return FoldFile::fromModel(FoldModel({400, 300}), 0)
                .write(QFile::decodeName(path("missing/a.pleatfold")), failure);
        },
    };
    for (qsizetype i = 0; i < failing.size(); ++i) {
        QString failure = earlier;
        EXPECT_FALSE(failing[i](&failure)) << "call " << i;
        EXPECT_NE(failure, earlier) << "call " << i;
        EXPECT_FALSE(failure.isEmpty()) << "call " << i;
        EXPECT_FALSE(failing[i](nullptr)) << "call " << i;
    }
}
