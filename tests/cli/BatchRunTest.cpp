// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Runs of many pictures through the real binary with no display: manifests, workers, shards,
// reruns after a kill, reports and exit codes.
#include "cli/Manifest.h"
#include "cli/ShardSelector.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QProcessEnvironment headless() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return environment;
}

ProcessRun run(const QStringList& arguments, const QByteArray& input = {},
               const QProcessEnvironment& environment = headless(),
               const QString& program = QStringLiteral(PLEATORA_BINARY)) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// A run in folder that must end by itself: one that waits or spins is stopped and fails the test.
// standardInput: a file to read as standard input, else input is written to it.
ProcessRun runIn(const QString& folder, const QStringList& arguments, const QByteArray& input = {},
                 const QString& standardInput = {}) {
    QProcess process;
    process.setProcessEnvironment(headless());
    process.setWorkingDirectory(folder);
    if (!standardInput.isEmpty())
        process.setStandardInputFile(standardInput);
    process.start(QStringLiteral(PLEATORA_BINARY), arguments);
    if (standardInput.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    const bool finished = process.waitForFinished(60000);
    EXPECT_TRUE(finished) << arguments.join(u' ').toStdString();
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    return {finished ? process.exitCode() : -1, process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// Every line of a --report, parsed; a line that is not a JSON object fails the test.
QList<QJsonObject> reportLines(const QByteArray& text) {
    QList<QJsonObject> lines;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        EXPECT_TRUE(document.isObject()) << line.constData() << error.errorString().toStdString();
        lines.append(document.object());
    }
    return lines;
}

QByteArray fileContents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QSet<QString> outputsWith(const QList<QJsonObject>& lines, const QString& status) {
    QSet<QString> outputs;
    for (const QJsonObject& line : lines) {
        if (line.value(QStringLiteral("status")).toString() == status)
            outputs.insert(line.value(QStringLiteral("output")).toString());
    }
    return outputs;
}

class BatchRunTest : public ::testing::Test {
protected:
    // count pictures of width x 3/4 width, each a little different.
    QStringList pictures(int count, int width = 64) {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            QImage image(width, width * 3 / 4, QImage::Format_RGB32);
            image.fill(qRgb(20 * i % 256, 100, 200));
            paths.append(_folder.filePath(QStringLiteral("p%1.png").arg(i, 2, 10, QChar('0'))));
            EXPECT_TRUE(image.save(paths.last()));
        }
        return paths;
    }
    QString path(const QString& name) const { return _folder.filePath(name); }
    QString folder(const QString& name) const {
        QDir().mkpath(path(name));
        return path(name);
    }

    QTemporaryDir _folder;
};

QStringList temporariesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".pleatora-*")}, QDir::Files | QDir::Hidden);
}

// The lines of a file so far, as a reader polling it sees them.
qsizetype linesIn(const QString& path) {
    return fileContents(path).count('\n');
}

CommandLine::ExportSettings defaultsIn(const QString& folder) {
    CommandLine::ExportSettings settings;
    settings.outputDirectory = folder;
    settings.scale = 2;
    return settings;
}

} // namespace

TEST_F(BatchRunTest, ManifestRowsOverrideTheCommandLineAndBadRowsNameTheirLines) {
    QBuffer csv;
    csv.setData("input,output,width,shadow,background\n"
                "a.png,,300,yes,\n"
                "\n"
                "b.png,b.jpg,,no,#102030\n"
                "c.png,,nine,,\n"
                "d.png,\"d, the \"\"fourth\"\".png\",,maybe,\n"
                "e.png,e.png\n"
                "\"f.png,,,,\n");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    QString failure;
    const QList<ExportPlan::Item> items = Manifest::read(csv, defaultsIn(path("out")), &failure);
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    ASSERT_EQ(items.size(), 6);
    EXPECT_TRUE(items[0].failure.isEmpty());
    EXPECT_EQ(items[0].settings.width, 300);
    EXPECT_FALSE(items[0].settings.scale); // the row's width replaces the command line's scale
    EXPECT_EQ(items[0].settings.shadow, true);
    EXPECT_EQ(items[1].line, 4);
    EXPECT_EQ(items[1].settings.output, QStringLiteral("b.jpg"));
    EXPECT_EQ(items[1].settings.scale, 2);
    EXPECT_EQ(items[1].settings.background, QColor(0x10, 0x20, 0x30));
    EXPECT_TRUE(items[2].failure.startsWith(QStringLiteral("Line 5 of the manifest: --width")))
        << items[2].failure.toStdString();
    EXPECT_TRUE(items[3].failure.contains(QStringLiteral("Line 6 of the manifest: shadow")));
    EXPECT_TRUE(items[4].failure.contains(QStringLiteral("Line 7 of the manifest: 2 fields")));
    EXPECT_TRUE(items[5].failure.contains(QStringLiteral("Line 8 of the manifest: a quoted")));

    QBuffer json;
    json.setData("{\"input\": \"a.png\", \"scale\": 3, \"lines\": true}\n"
                 "{\"input\": \"b.png\", \"colour\": \"red\"}\n"
                 "{\"input\": \"c.png\"\n"
                 "[1, 2]\n");
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QList<ExportPlan::Item> rows = Manifest::read(json, defaultsIn(path("out")), &failure);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0].settings.scale, 3);
    EXPECT_EQ(rows[0].settings.lines, true);
    EXPECT_TRUE(rows[1].failure.contains(QStringLiteral("Line 2 of the manifest: unknown key")));
    EXPECT_TRUE(rows[2].failure.contains(QStringLiteral("Line 3 of the manifest: not JSON")));
    EXPECT_TRUE(rows[3].failure.contains(QStringLiteral("Line 4 of the manifest: not a JSON")));

    // A header that names no input, or a column Pleatora does not know, is no manifest at all.
    for (const QByteArray& header : {QByteArray("output\nx.png\n"), QByteArray("input,size\n")}) {
        QBuffer bad;
        bad.setData(header);
        bad.open(QIODevice::ReadOnly);
        failure.clear();
        EXPECT_TRUE(Manifest::read(bad, defaultsIn(path("out")), &failure).isEmpty());
        EXPECT_TRUE(failure.startsWith(QStringLiteral("Line 1 of the manifest")));
    }
}

// A reason is set exactly when the result says failed; a success leaves an earlier one alone.
TEST_F(BatchRunTest, TheManifestAndThePlanSayWhyExactlyWhenTheyFail) {
    const QString earlier = QStringLiteral("an earlier reason");
    QString failure = earlier;
    QBuffer csv;
    csv.setData("input\na.png\n");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(Manifest::read(csv, defaultsIn(path("out")), &failure).size(), 1);
    EXPECT_TRUE(ExportPlan(QList<ExportPlan::Item>(), QFile::encodeName(_folder.path()))
                    .canWriteFolder(&failure));
    EXPECT_EQ(failure, earlier);

    EXPECT_TRUE(Manifest::read(path("missing.csv"), defaultsIn(path("out")), &failure).isEmpty());
    EXPECT_TRUE(failure.contains(QStringLiteral("missing.csv"))) << failure.toStdString();
    EXPECT_TRUE(Manifest::read(path("missing.csv"), defaultsIn(path("out"))).isEmpty());
    const ExportPlan plan(QList<ExportPlan::Item>(), QFile::encodeName(path("missing")));
    failure = earlier;
    EXPECT_FALSE(plan.canWriteFolder(&failure));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("The output folder"))) << failure.toStdString();
    EXPECT_FALSE(plan.canWriteFolder());
}

TEST_F(BatchRunTest, AMixedManifestRunsToTheEndOnOneOrTwoWorkersWithTheSameMessages) {
    const QStringList inputs = pictures(4);
    const QByteArray manifest = "input,output,scale\n" + inputs[0].toUtf8() + ",,\n" +
                                inputs[1].toUtf8() + ",,eleven\n" + path("missing.png").toUtf8() +
                                ",,\n" + inputs[2].toUtf8() + "," + path("two.jpg").toUtf8() +
                                ",2\n" + inputs[3].toUtf8() + ",,1\n";
    QString messages[2];
    for (int jobs : {1, 2}) {
        const QString out = folder(QStringLiteral("out%1").arg(jobs));
        QFile::remove(path("two.jpg"));
        const ProcessRun result =
            run({QStringLiteral("--manifest=-"), QStringLiteral("--export-dir"), out,
                 QStringLiteral("--jobs=%1").arg(jobs)},
                manifest);
        EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QStringLiteral("Line 3 of the manifest: --scale")));
        EXPECT_TRUE(result.err.contains(QStringLiteral("missing.png: ")));
        EXPECT_EQ(QImage(path("two.jpg")).width(),
                  2 * QImage(QDir(out).filePath("p00 folded.png")).width());
        EXPECT_FALSE(QImage(QDir(out).filePath(QStringLiteral("p03 folded.png"))).isNull());
        messages[jobs - 1] = QString(result.err).replace(out, QStringLiteral("OUT"));
    }
    EXPECT_EQ(messages[0], messages[1]);
}

// Each of these says what happened in one line of its own, with no empty name before it.
TEST_F(BatchRunTest, RowsWithNoNameAndLoweredJobsSaySoInOneLine) {
    const QString picture = pictures(1, 32)[0];
    const QString out = folder(QStringLiteral("out"));
    const int most = 2 * QThread::idealThreadCount();
    struct Case {
        const char* what;
        QStringList arguments;
        QByteArray input;
        int exitCode;
        QString line; // how the one line of standard error besides the outputs' begins; empty
                      // for none
    };
    const QByteArray row = "{\"input\": \"" + picture.toUtf8() + "\"}\n";
    const QList<Case> cases = {
        {"a JSON line that is not JSON",
         {"--manifest=-", "--export-dir", out, "--overwrite"},
         row + "{input\n",
         1,
         "pleatora: Line 2 of the manifest: not JSON: "},
        {"a JSON line that is not an object",
         {"--manifest=-", "--export-dir", out, "--overwrite"},
         row + "[1]\n",
         1,
         "pleatora: Line 2 of the manifest: not a JSON object"},
        {"a see-through background in a row",
         {"--manifest=-", "--export-dir", out, "--overwrite"},
         "input,background\n" + picture.toUtf8() + ",#80ffffff\n",
         1,
         "pleatora: " + picture +
             ": Line 2 of the manifest: --background wants transparent, #rrggbb or a colour "
             "name, not '#80ffffff'."},
        {"--jobs above twice the cores",
         {"--export-dir", out, "--overwrite", QStringLiteral("--jobs=%1").arg(most + 1), picture},
         {},
         0,
         QStringLiteral("pleatora: --jobs %1 is more than twice the cores; running %2 workers.")
             .arg(most + 1)
             .arg(most)},
        {"--jobs at twice the cores",
         {"--export-dir", out, "--overwrite", QStringLiteral("--jobs=%1").arg(most), picture},
         {},
         0,
         {}},
    };
    for (const Case& c : cases) {
        const ProcessRun result = run(c.arguments, c.input);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.err.toStdString();
        QStringList own = result.err.split(u'\n', Qt::SkipEmptyParts);
        own.removeIf([](const QString& line) { return line.contains(QStringLiteral(" -> ")); });
        EXPECT_EQ(own.size(), c.line.isEmpty() ? 0 : 1) << c.what << "\n"
                                                        << result.err.toStdString();
        EXPECT_TRUE(own.isEmpty() || own[0].startsWith(c.line)) << c.what << "\n"
                                                                << result.err.toStdString();
    }
}

TEST_F(BatchRunTest, ShardsSplitTheRunWithNoOverlapAndNothingLeftOut) {
    // The hash is SHA-256's first 8 bytes, big-endian: the empty key's digest is e3b0c442...
    EXPECT_EQ(ShardSelector::hash(QByteArray()), 0xe3b0c44298fc1c14ULL);
    EXPECT_TRUE(ShardSelector(1, 2).contains(QByteArray()) !=
                ShardSelector(0, 2).contains(QByteArray()));

    const QStringList inputs = pictures(9, 32);
    const QString whole = folder(QStringLiteral("whole"));
    const ProcessRun all = run(
        QStringList{QStringLiteral("--export-dir"), whole, QStringLiteral("--report=-")} + inputs);
    ASSERT_EQ(all.exitCode, 0) << all.err.toStdString();
    QSet<QString> expected;
    for (const QString& name : QDir(whole).entryList(QDir::Files))
        expected.insert(name);
    ASSERT_EQ(expected.size(), inputs.size());

    QSet<QString> union_;
    int shardTotal = 0;
    const QString shards = folder(QStringLiteral("shards"));
    for (int i = 0; i < 3; ++i) {
        const ProcessRun shard =
            run(QStringList{QStringLiteral("--export-dir"), shards, QStringLiteral("--report=-"),
                            QStringLiteral("--shard=%1/3").arg(i)} +
                inputs);
        ASSERT_EQ(shard.exitCode, 0) << shard.err.toStdString();
        const QSet<QString> written =
            outputsWith(reportLines(shard.out), QStringLiteral("written"));
        shardTotal += int(written.size());
        union_ += written;
    }
    EXPECT_EQ(shardTotal, int(union_.size())); // no picture in two shards
    QSet<QString> names;
    for (const QString& output : union_)
        names.insert(QFileInfo(output).fileName());
    EXPECT_EQ(names, expected);
    for (const QString& name : expected)
        EXPECT_EQ(fileContents(QDir(shards).filePath(name)),
                  fileContents(QDir(whole).filePath(name)));
}

TEST_F(BatchRunTest, ARunKilledMidwayIsFinishedByARerunThatSkipsWhatExists) {
    const QStringList inputs = pictures(24, 600);
    const QString out = folder(QStringLiteral("out"));
    QProcess first;
    first.setProcessEnvironment(headless());
    first.start(QStringLiteral(PLEATORA_BINARY),
                QStringList{QStringLiteral("--export-dir"), out, QStringLiteral("--jobs=2")} +
                    inputs);
    QElapsedTimer clock;
    clock.start();
    while (QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files).size() < 3 &&
           clock.elapsed() < 60000)
        QThread::msleep(5);
    first.kill(); // SIGKILL: no chance to tidy up
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_EQ(first.exitStatus(), QProcess::CrashExit);

    QHash<QString, qint64> finished; // each file there after the kill, with its modification
    for (const QFileInfo& file : QDir(out).entryInfoList({QStringLiteral("*.png")}, QDir::Files)) {
        EXPECT_FALSE(QImage(file.filePath()).isNull())
            << "half-written: " << file.fileName().toStdString();
        finished.insert(file.fileName(), file.lastModified().toMSecsSinceEpoch());
    }
    ASSERT_LT(finished.size(), inputs.size()) << "the run ended before it was killed";
    QThread::msleep(20); // so that a rewrite would show in the modification time

    const ProcessRun rerun =
        run(QStringList{QStringLiteral("--export-dir"), out, QStringLiteral("--skip-existing"),
                        QStringLiteral("--report=-")} +
            inputs);
    ASSERT_EQ(rerun.exitCode, 0) << rerun.err.toStdString();
    const QList<QJsonObject> lines = reportLines(rerun.out);
    const QSet<QString> written = outputsWith(lines, QStringLiteral("written"));
    const QSet<QString> skipped = outputsWith(lines, QStringLiteral("skipped"));
    EXPECT_EQ(int(skipped.size()), int(finished.size()));
    EXPECT_EQ(int(written.size() + skipped.size()), int(inputs.size()));
    for (const QString& output : written)
        EXPECT_FALSE(finished.contains(QFileInfo(output).fileName())) << "written twice";
    for (auto i = finished.begin(); i != finished.end(); ++i)
        EXPECT_EQ(QFileInfo(QDir(out).filePath(i.key())).lastModified().toMSecsSinceEpoch(),
                  i.value());
    EXPECT_EQ(QDir(out).entryList({QStringLiteral("*.png")}, QDir::Files).size(), inputs.size());
}

TEST_F(BatchRunTest, ReportLinesAreJsonWithTheExactBytesOfNamesThatAreNotUtf8) {
    const QStringList inputs = pictures(1);
    const QByteArray strange = QFile::encodeName(path(QStringLiteral("."))) + "/caf\xe9.png";
    {
        const QByteArray bytes = fileContents(inputs[0]);
        const int file = ::open(strange.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(file, 0);
        ASSERT_EQ(::write(file, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(file);
    }
    const QString out = folder(QStringLiteral("out"));
    const QString report = path(QStringLiteral("report.jsonl"));
    const ProcessRun result = run({QStringLiteral("--manifest=-"), QStringLiteral("--export-dir"),
                                   out, QStringLiteral("--report"), report},
                                  "input\n" + inputs[0].toUtf8() + "\n" + strange + "\n" +
                                      path(QStringLiteral("gone.png")).toUtf8() + "\n");
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    const QList<QJsonObject> lines = reportLines(fileContents(report));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].value(QStringLiteral("status")).toString(), QStringLiteral("written"));
    EXPECT_EQ(lines[0].value(QStringLiteral("line")).toInt(), 2);
    EXPECT_FALSE(lines[0].contains(QStringLiteral("input_bytes")));
    EXPECT_GE(lines[0].value(QStringLiteral("milliseconds")).toInt(-1), 0);
    EXPECT_EQ(
        QByteArray::fromBase64(lines[1].value(QStringLiteral("input_bytes")).toString().toLatin1()),
        strange);
    EXPECT_TRUE(
        QByteArray::fromBase64(lines[1].value(QStringLiteral("output_bytes")).toString().toLatin1())
            .endsWith("/caf\xe9 folded.png"));
    EXPECT_EQ(lines[2].value(QStringLiteral("status")).toString(), QStringLiteral("failed"));
    EXPECT_FALSE(lines[2].value(QStringLiteral("reason")).toString().isEmpty());
    const QJsonObject summary = lines[3];
    EXPECT_TRUE(summary.value(QStringLiteral("summary")).toBool());
    EXPECT_EQ(summary.value(QStringLiteral("written")).toInt(), 2);
    EXPECT_EQ(summary.value(QStringLiteral("failed")).toInt(), 1);
    EXPECT_EQ(summary.value(QStringLiteral("exit_code")).toInt(), 1);
    ::unlink(strange.constData());
    ::unlink((QFile::encodeName(out) + "/caf\xe9 folded.png").constData());
}

TEST_F(BatchRunTest, EachExitCodeSaysWhoseFaultItWas) {
    const QStringList inputs = pictures(2, 32);
    const QString out = folder(QStringLiteral("out"));
    const QStringList exportDir = {QStringLiteral("--export-dir"), out};
    EXPECT_EQ(run(exportDir + inputs).exitCode, 0);
    // Everything there already: skipped is as good as written.
    EXPECT_EQ(run(exportDir + QStringList{QStringLiteral("--skip-existing")} + inputs).exitCode, 0);
    EXPECT_EQ(run(exportDir + inputs).exitCode, 1); // exists, and no --overwrite

    for (const QString& usage : {QStringLiteral("--shard=2/2"), QStringLiteral("--shard=1"),
                                 QStringLiteral("--jobs=0"), QStringLiteral("--overwrite")}) {
        const ProcessRun mistaken =
            run(exportDir + QStringList{usage, QStringLiteral("--skip-existing")} + inputs);
        EXPECT_EQ(mistaken.exitCode, 2) << usage.toStdString();
    }
    EXPECT_EQ(run({QStringLiteral("--manifest"), path(QStringLiteral("none.csv"))}).exitCode, 2);

    // The environment: a folder that cannot be written, a report with nowhere to go, no OpenGL.
    const QString file = path(QStringLiteral("a-file"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(run(QStringList{QStringLiteral("--export-dir"), file} + inputs).exitCode, 3);
    EXPECT_EQ(run(exportDir +
                  QStringList{QStringLiteral("--overwrite"), QStringLiteral("--report"),
                              file + "/report"} +
                  inputs)
                  .exitCode,
              3);
    QProcessEnvironment noDriver = headless();
    noDriver.insert(QStringLiteral("__EGL_VENDOR_LIBRARY_FILENAMES"),
                    QStringLiteral("/nonexistent/egl.json"));
    const ProcessRun noGL = run(
        exportDir + QStringList{QStringLiteral("--overwrite"), QStringLiteral("--jobs=2")} + inputs,
        {}, noDriver);
    EXPECT_EQ(noGL.err.count(u'\n'), 1) << "one line, however many workers tried";
    EXPECT_EQ(noGL.exitCode, 3);
    EXPECT_TRUE(noGL.err.contains(QStringLiteral("Pleatora needs OpenGL")))
        << noGL.err.toStdString();
}

// Animations go through the same workers as stills: the same files and messages on one worker or
// two, each file in exactly one shard, and a rerun skips what exists. One picture's animation is
// 1080 pixels wide unless told otherwise.
TEST_F(BatchRunTest, AnimationsRunOnWorkersInShardsAndReruns) {
    const QStringList inputs = pictures(4, 48);
    const QStringList motion = {QStringLiteral("--format=gif"), QStringLiteral("--duration=0.5"),
                                QStringLiteral("--fps=10"), QStringLiteral("--width=40")};
    QString messages[2];
    QString outs[2];
    for (int jobs : {1, 2}) {
        outs[jobs - 1] = folder(QStringLiteral("animated%1").arg(jobs));
        const ProcessRun result = run(QStringList{QStringLiteral("--animate-dir"), outs[jobs - 1],
                                                  QStringLiteral("--jobs=%1").arg(jobs)} +
                                      motion + inputs);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        messages[jobs - 1] = QString(result.err).replace(outs[jobs - 1], QStringLiteral("OUT"));
    }
    EXPECT_EQ(messages[0], messages[1]);
    const QStringList names = QDir(outs[0]).entryList(QDir::Files);
    ASSERT_EQ(names.size(), inputs.size());
    EXPECT_EQ(QDir(outs[1]).entryList(QDir::Files), names);
    for (const QString& name : names) {
        EXPECT_TRUE(name.endsWith(QStringLiteral(" folded.gif"))) << name.toStdString();
        EXPECT_EQ(fileContents(QDir(outs[1]).filePath(name)),
                  fileContents(QDir(outs[0]).filePath(name)));
    }

    QSet<QString> inShards;
    int shardTotal = 0;
    for (int i = 0; i < 2; ++i) {
        const ProcessRun shard =
            run(QStringList{QStringLiteral("--animate-dir"), folder(QStringLiteral("shards")),
                            QStringLiteral("--report=-"), QStringLiteral("--shard=%1/2").arg(i)} +
                motion + inputs);
        ASSERT_EQ(shard.exitCode, 0) << shard.err.toStdString();
        const QSet<QString> written =
            outputsWith(reportLines(shard.out), QStringLiteral("written"));
        shardTotal += int(written.size());
        inShards += written;
    }
    EXPECT_EQ(shardTotal, int(inputs.size()));
    EXPECT_EQ(int(inShards.size()), int(inputs.size()));

    const ProcessRun rerun =
        run(QStringList{QStringLiteral("--animate-dir"), outs[1], QStringLiteral("--skip-existing"),
                        QStringLiteral("--report=-"), QStringLiteral("--jobs=2")} +
            motion + inputs);
    ASSERT_EQ(rerun.exitCode, 0) << rerun.err.toStdString();
    EXPECT_EQ(int(outputsWith(reportLines(rerun.out), QStringLiteral("skipped")).size()),
              int(inputs.size()));

    const QString wide = path(QStringLiteral("wide.gif"));
    const ProcessRun one = run({QStringLiteral("--animate"), wide, QStringLiteral("--duration=0.5"),
                                QStringLiteral("--fps=10"), inputs[0]});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_EQ(QImageReader(wide).size().width(), 1080);
}

// Where a picture is covered, as a GIF's transparency keeps it.
QImage outline(const QImage& picture) {
    QImage covered(picture.size(), QImage::Format_Mono);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x)
            covered.setPixel(x, y, qAlpha(argb.pixel(x, y)) >= 128 ? 1 : 0);
    }
    return covered;
}

int differingPixels(const QImage& one, const QImage& other) {
    int differing = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x)
            differing += one.pixelIndex(x, y) != other.pixelIndex(x, y);
    }
    return differing;
}

// A turntable of the folded sample: its first, middle and last frames show the sheet as stills
// at those frames' yaws do (-10, 10 and 30 degrees), and the first and last differ.
TEST_F(BatchRunTest, ASweptAnimationsFramesAreStillsAtTheirYaws) {
    const QStringList inputs = pictures(1, 64);
    const QStringList look = {QStringLiteral("--fold=%1").arg(QStringLiteral(PLEATORA_SAMPLE_FOLD)),
                              QStringLiteral("--width=160"), QStringLiteral("--no-shadow"),
                              QStringLiteral("--no-lines")};
    const QString animation = path(QStringLiteral("turn.gif"));
    const ProcessRun swept =
        run(QStringList{QStringLiteral("--animate"), animation, QStringLiteral("--yaw=10"),
                        QStringLiteral("--sweep=40"), QStringLiteral("--duration=1"),
                        QStringLiteral("--fps=11"), QStringLiteral("--no-ease")} +
            look + inputs);
    ASSERT_EQ(swept.exitCode, 0) << swept.err.toStdString();
    QImageReader reader(animation);
    std::vector<QImage> frames;
    for (QImage frame = reader.read(); !frame.isNull(); frame = reader.read())
        frames.push_back(outline(frame));
    ASSERT_EQ(frames.size(), 11u);
    const QSize size = frames.front().size();
    const int tolerance = size.width() * size.height() / 200;
    const struct {
        std::size_t frame;
        int yaw;
    } cases[] = {{0, -10}, {5, 10}, {10, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.yaw);
        const QString still = path(QStringLiteral("still%1.png").arg(c.yaw));
        const ProcessRun made = run(
            QStringList{QStringLiteral("--export"), still, QStringLiteral("--yaw=%1").arg(c.yaw)} +
            look + inputs);
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
        const QImage stillOutline = outline(QImage(still));
        ASSERT_EQ(stillOutline.size(), size);
        EXPECT_LE(differingPixels(frames[c.frame], stillOutline), tolerance);
    }
    EXPECT_GT(differingPixels(frames.front(), frames.back()), 4 * tolerance);
}

// An animation whose frames would take more than its memory budget is refused before a frame is
// drawn, in every format, alone or in a batch, and leaves no file.
TEST_F(BatchRunTest, AnimationsTooLargeForTheirMemoryAreRefusedBeforeAnyFrame) {
    const QStringList inputs = pictures(2, 64);
    const QStringList huge = {QStringLiteral("--width=16384"), QStringLiteral("--duration=0.5"),
                              QStringLiteral("--fps=10"), QStringLiteral("--overwrite")};
    for (const QString suffix : {"mp4", "webm", "gif", "webp", "png"}) {
        const QString out = path(QStringLiteral("huge.") + suffix);
        const ProcessRun one =
            run(QStringList{QStringLiteral("--animate"), out} + huge + QStringList{inputs[0]});
        EXPECT_EQ(one.exitCode, 1) << one.err.toStdString();
        EXPECT_TRUE(one.err.contains(QStringLiteral("megapixels a frame that keeps")))
            << one.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
        const QString dir = folder(QStringLiteral("huge-") + suffix);
        const ProcessRun batch =
            run(QStringList{QStringLiteral("--animate-dir"), dir, QStringLiteral("--jobs=2"),
                            QStringLiteral("--format=") + suffix} +
                huge + inputs);
        EXPECT_EQ(batch.exitCode, 1) << batch.err.toStdString();
        EXPECT_EQ(batch.err.count(QStringLiteral("megapixels a frame that keeps")), 2)
            << batch.err.toStdString();
        EXPECT_TRUE(QDir(dir).isEmpty());
    }
}

// WebP and PDF encode the whole picture at once: past their memory budget a picture is refused
// before it is decoded, with the limit named; below it, written.
TEST_F(BatchRunTest, StillsTooLargeForTheirEncoderAreRefusedBeforeDecoding) {
    const QString picture = pictures(1, 64)[0];
    const struct {
        const char* output;
        int width;
        int exitCode;
    } cases[] = {{"huge.webp", 16383, 1},
                 {"huge.pdf", 16384, 1},
                 {"fair.webp", 2000, 0},
                 {"fair.pdf", 2000, 0}};
    for (const auto& c : cases) {
        const QString out = path(QString::fromLatin1(c.output));
        const ProcessRun result = run(
            {QStringLiteral("--export"), out, QStringLiteral("--width=%1").arg(c.width), picture});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.output << "\n" << result.err.toStdString();
        EXPECT_EQ(result.err.contains(QStringLiteral("megapixels that keeps a")), c.exitCode != 0)
            << c.output << "\n"
            << result.err.toStdString();
        EXPECT_EQ(QFile::exists(out), c.exitCode == 0) << c.output;
    }
}

// Each file of a run has one role: no output is an input, the report or another output, and
// nothing the run opens can hold it up.
struct RoleCase {
    const char* what;
    QStringList arguments;
    QByteArray input;      // standard input
    QStringList unchanged; // inputs that must stay as they were
    int exitCode;
    QString message; // in standard error
};

class RunRolesTest : public BatchRunTest {
protected:
    void SetUp() override {
        const QStringList made = pictures(2, 32);
        ASSERT_TRUE(QFile::copy(made[0], path(QStringLiteral("a.png"))));
        ASSERT_TRUE(QFile::copy(made[1], path(QStringLiteral("b.png"))));
        ASSERT_TRUE(QFile::copy(made[1], path(QStringLiteral("back.png"))));
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(PLEATORA_SAMPLE_FOLD), path(QStringLiteral("f.pleatfold"))));
        folder(QStringLiteral("o"));
        writeFile(QStringLiteral("m.csv"), "input,output\na.png,o/m.png\n");
        writeFile(QStringLiteral("m2.png"), "input,output\na.png,m2.png\n");
        ASSERT_EQ(
            ::symlink("a.png", QFile::encodeName(path(QStringLiteral("out.gif"))).constData()), 0);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("fifo"))).constData(), 0600), 0);
    }
    void writeFile(const QString& name, const QByteArray& contents) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    void check(const QList<RoleCase>& cases) {
        QHash<QString, QByteArray> before;
        for (const QString& name : QDir(_folder.path()).entryList(QDir::Files))
            before.insert(name, fileContents(path(name)));
        for (const RoleCase& c : cases) {
            const ProcessRun result = runIn(_folder.path(), c.arguments, c.input);
            EXPECT_EQ(result.exitCode, c.exitCode) << c.what << "\n" << result.err.toStdString();
            EXPECT_TRUE(result.err.contains(c.message)) << c.what << "\n"
                                                        << result.err.toStdString();
            for (const QString& name : c.unchanged)
                EXPECT_EQ(fileContents(path(name)), before.value(name))
                    << c.what << ": " << name.toStdString();
        }
    }
};

TEST_F(RunRolesTest, OnTheCommandLineNoOutputIsAnInputOrTheReportAndNothingWaits) {
    const QStringList animate = {QStringLiteral("--duration=0.5"), QStringLiteral("--fps=10"),
                                 QStringLiteral("--width=40")};
    check({
        {"an animation to a link to its picture replaces the link",
         QStringList{"--animate", "out.gif", "--overwrite", "a.png"} + animate,
         {},
         {"a.png"},
         0,
         {}},
        {"a report over a picture",
         {"--export-dir", "o", "--report", "a.png", "a.png", "b.png"},
         {},
         {"a.png"},
         2,
         "The report a.png is an input"},
        {"a report over the manifest",
         {"--manifest", "m.csv", "--report", "m.csv"},
         {},
         {"m.csv"},
         2,
         "The report m.csv is an input"},
        {"a report over the fold file",
         {"--report", "f.pleatfold", "--fold", "f.pleatfold", "--export-dir", "o", "a.png"},
         {},
         {"f.pleatfold"},
         2,
         "is an input"},
        {"an export over its back picture",
         {"--export", "back.png", "--back", "back.png", "--overwrite", "a.png"},
         {},
         {"back.png"},
         1,
         "Its output back.png is an input"},
        {"an export over its floor's picture",
         {"--export", "back.png", "--surface", "floor", "--surface-picture", "back.png",
          "--overwrite", "a.png"},
         {},
         {"back.png"},
         1,
         "Its output back.png is an input"},
        {"an export over its background picture",
         {"--export", "b.png", "--background-picture", "b.png", "--overwrite", "a.png"},
         {},
         {"b.png"},
         1,
         "Its output b.png is an input"},
        {"a picture's folder over another's background picture",
         {"--export-dir", ".", "--background-picture", "b folded.png", "a.png", "b.png"},
         {},
         {},
         1,
         "is an input"},
        {"a FIFO as the floor's picture",
         {"--export", "o/x.png", "--surface", "floor", "--surface-picture", "fifo", "a.png"},
         {},
         {},
         1,
         "fifo"},
        {"a FIFO as the back",
         {"--export", "o/x.png", "--back", "fifo", "a.png"},
         {},
         {},
         1,
         "The back picture fifo cannot be read"},
        {"a FIFO as the back on two workers",
         {"--export-dir", "o", "--jobs", "2", "--back", "fifo", "a.png", "b.png"},
         {},
         {},
         1,
         "The back picture fifo cannot be read"},
        {"a FIFO as the report",
         {"--export-dir", "o", "--report", "fifo", "a.png"},
         {},
         {},
         3,
         "The report fifo is not a regular file"},
        {"a report over an output",
         {"--skip-existing", "--report", "o/a folded.png", "--export-dir", "o", "a.png"},
         {},
         {},
         1,
         "Its output o/a folded.png is the report"},
    });
    EXPECT_FALSE(QFileInfo(path(QStringLiteral("out.gif"))).isSymLink());
    EXPECT_TRUE(reportLines(fileContents(path(QStringLiteral("o/a folded.png")))).size() == 2);
}

TEST_F(RunRolesTest, InAManifestNamesAreExactAndNoRowWritesAnInput) {
    const QStringList fromInput = {"--manifest", "-", "--overwrite"};
    check({
        {"a NUL in a JSON name",
         fromInput,
         "{\"input\":\"a.png\",\"output\":\"a.png\\u0000.png\"}\n",
         {"a.png"},
         1,
         "The name a.png\\x00.png holds a NUL byte"},
        {"a NUL byte in a CSV row",
         fromInput,
         QByteArray("input,output\na.png,a.png") + '\0' + ".png\n",
         {"a.png"},
         1,
         "holds a NUL byte"},
        {"two rows that would both reach one name",
         fromInput,
         "{\"input\":\"a.png\",\"output\":\"o/x.png\"}\n"
         "{\"input\":\"b.png\",\"output\":\"o/x.png\\u0000y.png\"}\n",
         {},
         1,
         "The name o/x.png\\x00y.png holds a NUL byte"},
        {"a row over the manifest",
         {"--manifest", "m2.png", "--overwrite"},
         {},
         {"m2.png"},
         1,
         "Its output m2.png is an input"},
        {"a row over another row's back",
         fromInput,
         "{\"input\":\"a.png\",\"output\":\"o/x.png\"}\n"
         "{\"input\":\"b.png\",\"output\":\"o/y.png\",\"back\":\"o/x.png\"}\n",
         {},
         1,
         "Its output o/x.png is an input"},
        {"a FIFO as a row's back",
         fromInput,
         "{\"input\":\"a.png\",\"output\":\"o/z.png\",\"back\":\"fifo\"}\n",
         {},
         1,
         "The back picture fifo cannot be read"},
        {"spaces around the header's names",
         fromInput,
         "input , output\na.png,o/s.png\n",
         {},
         0,
         {}},
        {"a column named twice",
         fromInput,
         "input,output,output\na.png,o/1.png,o/2.png\n",
         {},
         2,
         "the column 'output' is named twice"},
        {"a key given twice",
         fromInput,
         "{\"input\":\"a.png\",\"output\":\"o/d1.png\",\"output\":\"o/d2.png\"}\n",
         {},
         1,
         "a key is given twice"},
        {"a number as a name",
         fromInput,
         "{\"input\":\"a.png\",\"output\":12345678}\n",
         {},
         1,
         "'output' wants a string"},
        {"a NUL in standard input keeps the rest of its line",
         fromInput,
         QByteArray("input,output\na.png,o/n") + '\0' + ".png\n",
         {},
         1,
         "holds a NUL byte"},
        {"standard input that goes on",
         fromInput,
         "input\n" + QByteArray(1000001, '\n'),
         {},
         2,
         "past 1000000 lines"},
    });
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("o/n"))));

    const ProcessRun zeros =
        runIn(_folder.path(), {"--manifest", "-"}, {}, QStringLiteral("/dev/zero"));
    EXPECT_EQ(zeros.exitCode, 2);
    EXPECT_TRUE(zeros.err.contains(QStringLiteral("longer than 1 MB"))) << zeros.err.toStdString();
}

// Only a whole file is kept by --skip-existing: an empty one or a link to nothing is written.
TEST_F(RunRolesTest, SkipExistingKeepsOnlyWholeFiles) {
    const QString output = path(QStringLiteral("o/a folded.png"));
    for (const bool link : {false, true}) {
        QFile::remove(output);
        if (link)
            ASSERT_EQ(::symlink("nowhere.png", QFile::encodeName(output).constData()), 0);
        else
            writeFile(QStringLiteral("o/a folded.png"), {});
        const ProcessRun result =
            runIn(_folder.path(), {"--skip-existing", "--report=-", "--export-dir", "o", "a.png"});
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(outputsWith(reportLines(result.out), QStringLiteral("written")).size(), 1);
        EXPECT_FALSE(QImage(output).isNull());
    }
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// A report that cannot be written stops the run with exit code 3 and one line, however it fails:
// a full disk, a device, a closed standard output, a reader gone from the pipe (not SIGPIPE's
// death).
TEST_F(BatchRunTest, AReportThatCannotBeWrittenStopsTheRunWithOneLine) {
    const QStringList inputs = pictures(6, 200);
    struct Case {
        const char* name;
        QString report;
        QString shell; // runs the binary as "$0" "$@"
        QString message;
    };
    const QString direct = QStringLiteral(R"("$0" "$@")");
    const QString fullReport = folder(QStringLiteral("full")) + QStringLiteral("/report.jsonl");
    const QString cannot = QStringLiteral("The report %1 cannot be written");
    for (const Case& c :
         {Case{"a full disk", fullReport,
               QStringLiteral(R"(ulimit -f 0; trap '' XFSZ; exec "$0" "$@")"),
               cannot.arg(fullReport)},
          Case{"a device", QStringLiteral("/dev/full"), direct,
               QStringLiteral("The report /dev/full is not a regular file")},
          Case{"a closed standard output", QStringLiteral("-"),
               QStringLiteral(R"(exec "$0" "$@" >&-)"), cannot.arg(QStringLiteral("-"))},
          Case{"a pipe whose reader is gone", QStringLiteral("-"),
               QStringLiteral(R"("$0" "$@" | true; exit "${PIPESTATUS[0]}")"),
               cannot.arg(QStringLiteral("-"))}}) {
        const QString out = folder(QString::fromLatin1(c.name));
        const ProcessRun stopped =
            run(QStringList{QStringLiteral("-c"), c.shell, QStringLiteral(PLEATORA_BINARY),
                            QStringLiteral("--export-dir"), out, QStringLiteral("--jobs=2"),
                            QStringLiteral("--report"), c.report} +
                    inputs,
                {}, headless(), QStringLiteral("bash"));
        EXPECT_EQ(stopped.exitCode, 3) << c.name << ": " << stopped.err.toStdString();
        EXPECT_EQ(stopped.err.count(c.message), 1) << c.name << ": " << stopped.err.toStdString();
        EXPECT_TRUE(temporariesIn(out).isEmpty()) << c.name;
    }
}

// SIGINT or SIGTERM at any point of a run of 60 pictures: the run ends with 128 and the signal,
// its report ends with the summary, every output there is whole and no temporary file is left.
// A second signal ends it at once, still without temporary files.
TEST_F(BatchRunTest, ASignalStopsTheRunCleanlyAtAnyMoment) {
    const QStringList inputs = pictures(60, 96);
    struct Case {
        int signal;
        int afterLines; // sent once the report has this many lines
        bool twice;
    };
    int caseNumber = 0;
    for (const Case& c : {Case{SIGTERM, 0, false}, Case{SIGINT, 1, false}, Case{SIGTERM, 2, false},
                          Case{SIGINT, 4, false}, Case{SIGTERM, 7, false}, Case{SIGINT, 11, false},
                          Case{SIGTERM, 16, false}, Case{SIGINT, 23, false}, Case{SIGTERM, 3, true},
                          Case{SIGINT, 9, true}}) {
        const QString out = folder(QStringLiteral("out%1").arg(caseNumber));
        const QString report = path(QStringLiteral("report%1.jsonl").arg(caseNumber++));
        QProcess process;
        process.setProcessEnvironment(headless());
        process.start(QStringLiteral(PLEATORA_BINARY),
                      QStringList{QStringLiteral("--export-dir"), out, QStringLiteral("--jobs=2"),
                                  QStringLiteral("--report"), report} +
                          inputs);
        ASSERT_TRUE(process.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        // The report is made once the signals are taken, so even the first moment is in the run.
        while ((!QFile::exists(report) || linesIn(report) < c.afterLines) &&
               process.state() == QProcess::Running && clock.elapsed() < 60000)
            QThread::msleep(2);
        ASSERT_EQ(process.state(), QProcess::Running) << "the run ended before the signal";
        ::kill(pid_t(process.processId()), c.signal);
        if (c.twice) {
            QThread::msleep(5);
            ::kill(pid_t(process.processId()), c.signal);
        }
        ASSERT_TRUE(process.waitForFinished(30000));
        const std::string what =
            std::to_string(c.signal) + " after " + std::to_string(c.afterLines) + " lines";
        ASSERT_EQ(process.exitStatus(), QProcess::NormalExit) << what;
        EXPECT_EQ(process.exitCode(), 128 + c.signal) << what;
        EXPECT_TRUE(temporariesIn(out).isEmpty()) << what;
        const QList<QJsonObject> lines = reportLines(fileContents(report));
        ASSERT_FALSE(lines.isEmpty()) << what;
        if (!c.twice) {
            EXPECT_TRUE(lines.last().value(QStringLiteral("summary")).toBool()) << what;
            EXPECT_EQ(lines.last().value(QStringLiteral("exit_code")).toInt(), 128 + c.signal);
            EXPECT_LT(lines.size() - 1, inputs.size()) << what << ": stopped before the end";
        }
        for (const QString& written : outputsWith(lines, QStringLiteral("written")))
            EXPECT_TRUE(QFile::exists(written)) << what;
        QSet<QSize> sizes; // the pictures differ only in colour
        for (const QFileInfo& file : QDir(out).entryInfoList(QDir::Files)) {
            const QImage output(file.filePath());
            EXPECT_FALSE(output.isNull()) << what << ": " << file.fileName().toStdString();
            sizes.insert(output.size());
        }
        EXPECT_LE(sizes.size(), 1) << what;
    }
}

// A model needs no renderer: each output is a whole glTF file, binary or JSON as its name says.
TEST_F(BatchRunTest, ModelsAreWrittenAsGlbOrGltfByTheirNameOrFormat) {
    const QStringList inputs = pictures(2);
    const QString out = folder(QStringLiteral("models"));
    const ProcessRun many =
        run(QStringList{QStringLiteral("--export-dir"), out, QStringLiteral("--format"),
                        QStringLiteral("glb"), QStringLiteral("--layout"), QStringLiteral("letter"),
                        QStringLiteral("--pose"), QStringLiteral("presentation")} +
            inputs);
    EXPECT_EQ(many.exitCode, 0) << many.err.toStdString();
    for (const QString& name :
         {QStringLiteral("p00 folded.glb"), QStringLiteral("p01 folded.glb")}) {
        const QByteArray glb = fileContents(QDir(out).filePath(name));
        ASSERT_GE(glb.size(), 12) << name.toStdString();
        EXPECT_EQ(glb.left(4), QByteArray("glTF"));
        EXPECT_EQ(glb.at(4), 2); // the container's version
        EXPECT_EQ(qFromLittleEndian<quint32>(glb.constData() + 8), quint32(glb.size()));
    }
    const QString json = path(QStringLiteral("one.gltf"));
    const ProcessRun one = run({QStringLiteral("--export"), json, inputs[0]});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    const QJsonObject model = QJsonDocument::fromJson(fileContents(json)).object();
    EXPECT_EQ(model.value(QStringLiteral("asset")).toObject().value(QStringLiteral("version")),
              QStringLiteral("2.0"));
    const QString uri = model.value(QStringLiteral("images"))
                            .toArray()
                            .at(0)
                            .toObject()
                            .value(QStringLiteral("uri"))
                            .toString();
    EXPECT_TRUE(uri.startsWith(QStringLiteral("data:image/jpeg;base64,")))
        << uri.left(40).toStdString();
}

namespace {

// A written model's JSON: a .gltf is JSON, a .glb holds it as its first chunk.
QJsonObject modelJson(const QByteArray& bytes) {
    if (!bytes.startsWith("glTF"))
        return QJsonDocument::fromJson(bytes).object();
    const auto length = qFromLittleEndian<quint32>(bytes.constData() + 12);
    return QJsonDocument::fromJson(bytes.mid(20, qsizetype(length))).object();
}

} // namespace

// A model output plays the motion: a morph target a frame, animated by the weights.
TEST_F(BatchRunTest, AnAnimationToAModelHoldsAMorphTargetAFrame) {
    const QString picture = pictures(1).first();
    const QList<QPair<QStringList, QString>> runs = {
        {{QStringLiteral("--animate"), path(QStringLiteral("m.glb")), QStringLiteral("--layout"),
          QStringLiteral("letter"), QStringLiteral("--pose"), QStringLiteral("presentation")},
         path(QStringLiteral("m.glb"))},
        {{QStringLiteral("--animate-dir"), folder(QStringLiteral("models")),
          QStringLiteral("--format"), QStringLiteral("gltf"), QStringLiteral("--loop")},
         path(QStringLiteral("models/p00 folded.gltf"))},
    };
    for (const auto& [arguments, output] : runs) {
        const ProcessRun done = run(arguments + QStringList{QStringLiteral("--duration=1"),
                                                            QStringLiteral("--fps=10"), picture});
        ASSERT_EQ(done.exitCode, 0) << done.err.toStdString();
        const QJsonObject model = modelJson(fileContents(output));
        const QJsonArray animations = model.value(QStringLiteral("animations")).toArray();
        ASSERT_EQ(animations.size(), 1) << output.toStdString();
        EXPECT_EQ(animations[0][QStringLiteral("channels")][0][QStringLiteral("target")]
                            [QStringLiteral("path")]
                                .toString(),
                  QStringLiteral("weights"));
        const QJsonArray primitives =
            model.value(QStringLiteral("meshes"))[0][QStringLiteral("primitives")].toArray();
        ASSERT_EQ(primitives.size(), 2);
        for (const QJsonValue primitive : primitives)
            EXPECT_EQ(primitive[QStringLiteral("targets")].toArray().size(), 10);
    }
    const ProcessRun refused =
        run({QStringLiteral("--animate"), path(QStringLiteral("m.pdf")), picture});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral(".glb or .gltf"))) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("m.pdf"))));
}
