// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"

#include "document/ExportOptions.h"
#include "document/FoldFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <sys/stat.h>

namespace {

struct ExportRun {
    int exitCode = -1;
    QString err;
};

class BatchExportTest : public AppFixture {
protected:
    // The real binary; without a display unless asked, as on a build server.
    ExportRun exportRun(const QStringList& arguments, bool withDisplay = false,
                        const QProcessEnvironment& extra = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!withDisplay) {
            environment.remove(QStringLiteral("DISPLAY"));
            environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        }
        environment.insert(extra);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PLEATORA_BINARY), arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
    }

    QString output(const QString& name) const { return QFileInfo(picture()).dir().filePath(name); }
};

const QString sampleFold = QStringLiteral(PLEATORA_SAMPLE_FOLD);

QImage argb(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST_F(BatchExportTest, OnePictureIsTheApplicationsOwnExportWithOrWithoutADisplay) {
    const QString out = output(QStringLiteral("cli.png"));
    const ExportRun headless =
        exportRun({QStringLiteral("--export"), out, QStringLiteral("--fold"), sampleFold,
                   QStringLiteral("--shadow"), QStringLiteral("--lines"), picture()});
    ASSERT_EQ(headless.exitCode, 0) << headless.err.toStdString();

    launch({picture()}, 1);
    DocumentController& document = this->document(0);
    QString error;
    const std::optional<FoldFile> fold = FoldFile::read(sampleFold, &error);
    ASSERT_TRUE(fold) << error.toStdString();
    document.document().applyFold(*fold);
    ExportOptions options;
    const QImage shown = document.exportPicture(options, {}).convertToFormat(QImage::Format_ARGB32);
    const QImage exported = argb(out);
    ASSERT_EQ(exported.size(), shown.size());
    EXPECT_TRUE(exported == shown);

    // With a display the command line draws the same way, so the file is the same.
    const QString withDisplay = output(QStringLiteral("cli-display.png"));
    ASSERT_EQ(
        exportRun({QStringLiteral("--export"), withDisplay, QStringLiteral("--fold"), sampleFold,
                   QStringLiteral("--shadow"), QStringLiteral("--lines"), picture()},
                  true)
            .exitCode,
        0);
    EXPECT_TRUE(argb(withDisplay) == exported);
}

TEST_F(BatchExportTest, ABatchGoesOnPastFailuresAndSaysWhichFailedWhy) {
    const QString folder = output(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString taken = picture(QStringLiteral("taken.png"));
    QFile existing(QDir(folder).filePath(QStringLiteral("taken folded.png")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    const ExportRun batch = exportRun(
        {QStringLiteral("--export-dir"), folder, QStringLiteral("--scale=2"), picture(),
         textFile(QStringLiteral("notes.png")), taken, picture(QStringLiteral("second.png"))});
    EXPECT_EQ(batch.exitCode, 1);
    EXPECT_TRUE(batch.err.contains(QStringLiteral("notes.png: "))) << batch.err.toStdString();
    EXPECT_TRUE(batch.err.contains(QStringLiteral("--overwrite")));
    EXPECT_EQ(QImage(QDir(folder).filePath(QStringLiteral("sample folded.png"))).width() % 2, 0);
    EXPECT_FALSE(QImage(QDir(folder).filePath(QStringLiteral("second folded.png"))).isNull());
    EXPECT_FALSE(QFile::exists(QDir(folder).filePath(QStringLiteral("notes folded.png"))));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("keep me"));

    const ExportRun again =
        exportRun({QStringLiteral("--export-dir"), folder, QStringLiteral("--overwrite"), taken});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_FALSE(QImage(existing.fileName()).isNull());
}

TEST_F(BatchExportTest, ABadFoldFileOrNoOpenGLStopsWithOneLineAndNoFile) {
    const QString out = output(QStringLiteral("never.png"));
    const QString badFold = output(QStringLiteral("bad.pleatfold"));
    QFile file(badFold);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"pleatora-fold\": 1, \"sheet\": [800, 600]");
    file.close();
    const ExportRun bad =
        exportRun({QStringLiteral("--export"), out, QStringLiteral("--fold"), badFold, picture()});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("bad.pleatfold"))) << bad.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    // No EGL driver to be had: the one OpenGL message, and nothing written.
    QProcessEnvironment noDriver;
    noDriver.insert(QStringLiteral("__EGL_VENDOR_LIBRARY_FILENAMES"),
                    QStringLiteral("/nonexistent/egl.json"));
    const ExportRun noGL = exportRun({QStringLiteral("--export"), out, picture()}, false, noDriver);
    EXPECT_EQ(noGL.exitCode, 3); // the environment: worth a retry elsewhere
    EXPECT_TRUE(noGL.err.contains(QStringLiteral("OpenGL"))) << noGL.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

// Collisions are found from the whole list before any picture is read: every picture of one is
// refused with a line of its own, in any order and on every rerun, and the rest go on.
TEST_F(BatchExportTest, OutputsThatCollideOrAreInputsAreRefusedBeforeAnyWork) {
    const QDir dir = QFileInfo(picture()).dir();
    for (const char* folder : {"a", "b", "pics"})
        ASSERT_TRUE(dir.mkpath(QString::fromLatin1(folder)));
    const QString ax = picture(QStringLiteral("a/x.png"));
    const QString bx = picture(QStringLiteral("b/x.png"));
    const QString input = picture(QStringLiteral("pics/a.png"));
    const QString foldedInput = picture(QStringLiteral("pics/a folded.png"));
    const QString pics = dir.filePath(QStringLiteral("pics"));
    QFile original(foldedInput);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    const QStringList pictures = {ax, bx, input, foldedInput};
    for (const QStringList& order : {pictures, QStringList(pictures.rbegin(), pictures.rend())}) {
        const ExportRun run = exportRun(
            QStringList{QStringLiteral("--export-dir"), pics, QStringLiteral("--overwrite")} +
            order);
        EXPECT_EQ(run.exitCode, 1);
        const QStringList refused = run.err.split(u'\n', Qt::SkipEmptyParts)
                                        .filter(QRegularExpression(QStringLiteral("^pleatora: ")));
        ASSERT_EQ(refused.size(), 3) << run.err.toStdString();
        for (const QString& name : {ax, bx, input})
            EXPECT_EQ(refused.filter(QStringLiteral("pleatora: ") + name + u':').size(), 1)
                << run.err.toStdString();
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(original.readAll(), before);
        original.close();
        EXPECT_FALSE(QFile::exists(QDir(pics).filePath(QStringLiteral("x folded.png"))));
        EXPECT_FALSE(QImage(QDir(pics).filePath(QStringLiteral("a folded folded.png"))).isNull());
    }

    // One picture as its own output, a FIFO as the output: refused, both left as they were.
    const ExportRun itself =
        exportRun({QStringLiteral("--export"), ax, QStringLiteral("--overwrite"),
                   dir.filePath(QStringLiteral("a/../a/x.png"))});
    EXPECT_EQ(itself.exitCode, 1);
    EXPECT_TRUE(QImage(ax) == QImage(bx)) << itself.err.toStdString();
    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ExportRun intoFifo =
        exportRun({QStringLiteral("--export"), fifo, QStringLiteral("--overwrite"), ax});
    EXPECT_EQ(intoFifo.exitCode, 1);
    EXPECT_TRUE(intoFifo.err.contains(QStringLiteral("not a regular file")))
        << intoFifo.err.toStdString();
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    // A folder that cannot be written at all is one line before any picture is read.
    const ExportRun missing = exportRun(
        {QStringLiteral("--export-dir"), dir.filePath(QStringLiteral("missing")), ax, bx});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_EQ(missing.err.count(u'\n'), 1) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No such file or directory")));
}
