// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "DialogSteps.h"
#include "app/AnimationOptionsDialog.h"
#include "document/AnimationOptions.h"
#include "document/FoldFile.h"
#include "tests/media/DecodedAnimation.h"
#include "window/DocumentWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QtEndian>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString err;
};

const QString sampleFold = QStringLiteral(PLEATORA_SAMPLE_FOLD);

class AnimationCommandTest : public AppFixture {
protected:
    // The real binary without a display, as on a build server.
    ProcessRun run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PLEATORA_BINARY), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
    }

    // A still export of the sample by the command line, with the animations' look.
    QImage still(const QStringList& fold, const QString& name) {
        const QString path = filePath(name);
        const ProcessRun done = run(QStringList{QStringLiteral("--export"), path} + look + fold +
                                    QStringList{picture()});
        EXPECT_EQ(done.exitCode, 0) << qPrintable(done.err);
        return QImage(path);
    }

    static DecodedAnimation decoded(const QString& path) {
        QString error;
        DecodedAnimation animation = DecodedAnimation::read(path, &error);
        EXPECT_FALSE(animation.codec.isEmpty()) << qPrintable(error);
        return animation;
    }

    const QStringList look = {QStringLiteral("--width"),      QStringLiteral("240"),
                              QStringLiteral("--shadow"),     QStringLiteral("--lines"),
                              QStringLiteral("--background"), QStringLiteral("white")};
};

// Types the whole path, as selectFile() leaves a name field with the focus alone.
void clickSave(QFileDialog& dialog, const QString& fileName) {
    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(fileName);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
}

void chooseMotion(AnimationOptionsDialog& dialog, int width, double seconds, int rate) {
    dialog.findChild<QSpinBox*>(QStringLiteral("spinPixelWidth"))->setValue(width);
    dialog.findChild<QDoubleSpinBox*>(QStringLiteral("spinDuration"))->setValue(seconds);
    dialog.findChild<QSpinBox*>(QStringLiteral("spinFrameRate"))->setValue(rate);
}

} // namespace

// Every format from the command line: its codec, duration x rate frames, the still export's size
// (MP4 a row taller when odd), and first and last frames that are the still exports of the flat
// sheet and of the fold.
TEST_F(AnimationCommandTest, EachFormatFromTheCommandLineIsTheMotionBetweenTwoStills) {
    QString error;
    const std::optional<FoldFile> fold = FoldFile::read(sampleFold, &error);
    ASSERT_TRUE(fold) << qPrintable(error);
    const QImage first = still({QStringLiteral("--pitch"), QString::number(fold->fold().pitch)},
                               QStringLiteral("first.png"));
    const QImage last = still({QStringLiteral("--fold"), sampleFold}, QStringLiteral("last.png"));
    const QMap<QString, QString> codecs = {{QStringLiteral("mp4"), QStringLiteral("h264")},
                                           {QStringLiteral("webm"), QStringLiteral("vp9")},
                                           {QStringLiteral("gif"), QStringLiteral("gif")},
                                           {QStringLiteral("webp"), QStringLiteral("webp")},
                                           {QStringLiteral("png"), QStringLiteral("apng")}};
    for (auto format = codecs.begin(); format != codecs.end(); ++format) {
        SCOPED_TRACE(format.key().toStdString());
        const QString path = filePath(QStringLiteral("motion.") + format.key());
        const ProcessRun done =
            run(QStringList{QStringLiteral("--animate"), path, QStringLiteral("--fold"), sampleFold,
                            QStringLiteral("--duration"), QStringLiteral("1"),
                            QStringLiteral("--fps"), QStringLiteral("10")} +
                look + QStringList{picture()});
        ASSERT_EQ(done.exitCode, 0) << qPrintable(done.err);
        const DecodedAnimation animation = decoded(path);
        ASSERT_FALSE(animation.frames.isEmpty());
        EXPECT_EQ(animation.codec, format.value());
        EXPECT_NEAR(animation.frameCount, 10, 1);
        const bool isMp4 = format.key() == QLatin1String("mp4");
        EXPECT_EQ(animation.size,
                  isMp4 ? QSize(240, last.height() + last.height() % 2) : last.size());
        if (isMp4) {
            EXPECT_EQ(animation.pixelFormat, QStringLiteral("yuv420p"));
        }
        const double tolerance = format.key() == QLatin1String("png") ? 2 : 6;
        const auto cropped = [&](const QImage& frame) {
            return frame.copy(QRect({}, last.size()));
        };
        EXPECT_LE(meanDifference(cropped(animation.frames.first()), first), tolerance);
        EXPECT_LE(meanDifference(cropped(animation.frames.last()), last), tolerance);
    }
}

// Mistakes in the motion are usage errors (2) before any work; a start fold that cannot be used
// fails the run (1), naming the file, and leaves no output.
TEST_F(AnimationCommandTest, MotionOutOfRangeExitsTwoAndABadStartFoldExitsOneNamingIt) {
    const QString out = filePath(QStringLiteral("out.mp4"));
    const QList<QStringList> mistakes = {
        {QStringLiteral("--fps"), QStringLiteral("61")},
        {QStringLiteral("--fps"), QStringLiteral("9")},
        {QStringLiteral("--fps"), QStringLiteral("24.5")},
        {QStringLiteral("--duration"), QStringLiteral("0.4")},
        {QStringLiteral("--duration"), QStringLiteral("31")},
        {QStringLiteral("--tilt-from"), QStringLiteral("90")},
        {QStringLiteral("--ease"), QStringLiteral("--no-ease")},
    };
    for (const QStringList& mistake : mistakes) {
        const ProcessRun done =
            run(QStringList{QStringLiteral("--animate"), out} + mistake + QStringList{picture()});
        EXPECT_EQ(done.exitCode, 2) << qPrintable(mistake.join(u' '));
        EXPECT_TRUE(done.err.contains(QStringLiteral("--") + mistake.first().mid(2)))
            << qPrintable(done.err);
    }
    const ProcessRun gif = run({QStringLiteral("--animate"), filePath(QStringLiteral("fast.gif")),
                                QStringLiteral("--fps"), QStringLiteral("60"), picture()});
    EXPECT_EQ(gif.exitCode, 2);
    EXPECT_TRUE(gif.err.contains(QStringLiteral("GIF plays at most 50"))) << qPrintable(gif.err);
    const ProcessRun stillWithMotion =
        run({QStringLiteral("--export"), filePath(QStringLiteral("s.png")),
             QStringLiteral("--loop"), picture()});
    EXPECT_EQ(stillWithMotion.exitCode, 2);

    const ProcessRun badFrom = run({QStringLiteral("--animate"), out, QStringLiteral("--from"),
                                    textFile(QStringLiteral("broken.pleatfold")), picture()});
    EXPECT_EQ(badFrom.exitCode, 1);
    EXPECT_TRUE(badFrom.err.contains(QStringLiteral("broken.pleatfold")))
        << qPrintable(badFrom.err);
    EXPECT_FALSE(QFile::exists(out));
}

// Each picture to "<name> folded.<ext>" in the folder; an output that is an input of the run is
// refused and named, and the others go on.
TEST_F(AnimationCommandTest, AnimateDirNamesEachPictureAndRefusesInputsAsOutputs) {
    const QString folder = filePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QStringList motion = {QStringLiteral("--duration"), QStringLiteral("0.5"),
                                QStringLiteral("--fps"),      QStringLiteral("10"),
                                QStringLiteral("--width"),    QStringLiteral("64")};
    const ProcessRun batch = run(
        QStringList{QStringLiteral("--animate-dir"), folder, QStringLiteral("--format"),
                    QStringLiteral("gif")} +
        motion + QStringList{picture(QStringLiteral("a.png")), picture(QStringLiteral("b.png"))});
    ASSERT_EQ(batch.exitCode, 0) << qPrintable(batch.err);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({QStringLiteral("a folded.gif"), QStringLiteral("b folded.gif")}));
    EXPECT_EQ(decoded(QDir(folder).filePath(QStringLiteral("a folded.gif"))).frameCount, 5);

    // c.png would go to "c folded.png", which is also given as a picture.
    const QString input = picture(QStringLiteral("c folded.png"));
    const ProcessRun colliding =
        run(QStringList{QStringLiteral("--animate-dir"), QFileInfo(input).path(),
                        QStringLiteral("--format"), QStringLiteral("png")} +
            motion + QStringList{picture(QStringLiteral("c.png")), input});
    EXPECT_EQ(colliding.exitCode, 1);
    EXPECT_TRUE(colliding.err.contains(QStringLiteral("is an input of this run")))
        << qPrintable(colliding.err);
    EXPECT_TRUE(QFile::exists(filePath(QStringLiteral("c folded folded.png"))));
}

TEST_F(AnimationCommandTest, MenusOfferItUnderExportWithCtrlShiftE) {
    launch({picture()});
    const AppMenus& menus = application().menus();
    QAction* animation = menus.exportAnimationAction();
    EXPECT_EQ(animation->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    const QList<QAction*> context = menus.contextMenu()->actions();
    EXPECT_EQ(context.indexOf(animation), context.indexOf(menus.exportAction()) + 1);
    DocumentWindow* window = document(0).window();
    ASSERT_TRUE(activate(window));
    EXPECT_TRUE(window->actions().contains(animation));

    bool asked = false;
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([&](AnimationOptionsDialog& dialog) {
        asked = true;
        dialog.reject();
    });
    QTest::keyClick(window, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(waitFor([&] { return asked; }));
}

// From the window the sheet moves from flat to its current fold: the last frame is the document's
// own export at that size, and the choices are remembered.
TEST_F(AnimationCommandTest, TheWindowWritesTheMoveToTheCurrentFoldAndRemembersTheChoices) {
    launch({picture()});
    QString error;
    const std::optional<FoldFile> fold = FoldFile::read(sampleFold, &error);
    ASSERT_TRUE(fold) << qPrintable(error);
    document(0).document().applyFold(*fold);
    const QString output = filePath(QStringLiteral("window.webp"));

    QString proposed;
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 200, 0.5, 12);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) {
        proposed = dialog.selectedFiles().value(0);
        clickSave(dialog, output);
    });
    AlertDismisser alerts;
    application().exportAnimation();
    ASSERT_TRUE(steps.done());
    EXPECT_TRUE(alerts.texts().isEmpty()) << qPrintable(alerts.texts().join(u'\n'));
    EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("sample folded.mp4"));

    const DecodedAnimation animation = decoded(output);
    ASSERT_EQ(animation.frameCount, 6);
    ExportOptions options = ExportOptions::fromPreferences(preferences());
    options.scale = 0;
    options.pixelWidth = 200;
    const QImage end = document(0).exportPicture(options, {});
    EXPECT_LE(meanDifference(animation.frames.last(), end), 6);
    const AnimationOptions remembered = AnimationOptions::fromPreferences(preferences());
    EXPECT_EQ(remembered.pixelWidth, 200);
    EXPECT_EQ(remembered.timing.framesPerSecond, 12);
    EXPECT_DOUBLE_EQ(remembered.timing.duration, 0.5);
}

// A turn sweeps the yaw over the frames in the window that holds every yaw: the first and last
// frames are the window's stills at half the turn either way. The window keeps its own size, and
// the turn is remembered.
TEST_F(AnimationCommandTest, TheWindowsTurnSweepsTheYawInATurnedWindow) {
    launch({picture()});
    Document& shown = document(0).document();
    const QString output = filePath(QStringLiteral("turn.webp"));
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 200, 0.5, 12);
        dialog.findChild<QSpinBox*>(QStringLiteral("spinSweep"))->setValue(30);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, output); });
    AlertDismisser alerts;
    application().exportAnimation();
    ASSERT_TRUE(steps.done());
    EXPECT_TRUE(alerts.texts().isEmpty()) << qPrintable(alerts.texts().join(u'\n'));
    const DecodedAnimation animation = decoded(output);
    ASSERT_EQ(animation.frameCount, 6);
    ExportOptions options = ExportOptions::fromPreferences(preferences());
    options.scale = 0;
    options.pixelWidth = 200;
    EXPECT_EQ(document(0).exportPicture(options, {}).size(),
              shown.sizingPlan().exportPixels(options));
    for (const auto& [frame, yaw] :
         {std::pair{animation.frames.first(), -15.0f}, std::pair{animation.frames.last(), 15.0f}}) {
        SCOPED_TRACE(yaw);
        shown.setYaw(yaw);
        EXPECT_LE(meanDifference(frame, document(0).exportPicture(options, {})), 6);
    }
    EXPECT_GT(meanDifference(animation.frames.first(), animation.frames.last()), 6);
    EXPECT_EQ(AnimationOptions::fromPreferences(preferences()).timing.sweep, 30);
}

// The file dialog offers 3D models too; one written from the window plays the same frames.
TEST_F(AnimationCommandTest, TheWindowWritesTheMoveAsAModel) {
    launch({picture()});
    document(0).document().setLayout(FoldLayout::hinged(FoldLayout::Shape::letter));
    const QString output = filePath(QStringLiteral("window.glb"));
    QStringList filters;
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 200, 0.5, 12);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        clickSave(dialog, output);
    });
    AlertDismisser alerts;
    application().exportAnimation();
    ASSERT_TRUE(steps.done());
    EXPECT_TRUE(alerts.texts().isEmpty()) << qPrintable(alerts.texts().join(u'\n'));
    EXPECT_TRUE(filters.filter(QStringLiteral("*.glb")).size() == 1 &&
                filters.filter(QStringLiteral("*.gltf")).size() == 1)
        << qPrintable(filters.join(u'\n'));

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray glb = file.readAll();
    ASSERT_TRUE(glb.startsWith("glTF"));
    const auto length = qFromLittleEndian<quint32>(glb.constData() + 12);
    const QJsonObject model = QJsonDocument::fromJson(glb.mid(20, qsizetype(length))).object();
    EXPECT_EQ(model.value(QStringLiteral("animations")).toArray().size(), 1);
    const QJsonArray primitives =
        model.value(QStringLiteral("meshes"))[0][QStringLiteral("primitives")].toArray();
    ASSERT_FALSE(primitives.isEmpty());
    for (const QJsonValue primitive : primitives)
        EXPECT_EQ(primitive[QStringLiteral("targets")].toArray().size(), 6);
}

// A picture in another layout moves from its flat sheet to its fold; a start fold of the classic
// is refused with an alert.
TEST_F(AnimationCommandTest, TheWindowWritesTheMoveOfAnotherLayout) {
    launch({picture()});
    Document& shown = document(0).document();
    shown.setLayout(FoldLayout::accordion(4, FoldLayout::Axis::horizontal));
    for (int step = 0; step < 6; ++step)
        shown.moveLine(1, {0, 5});
    const QString output = filePath(QStringLiteral("accordion.webp"));
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 160, 0.5, 12);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, output); });
    AlertDismisser alerts;
    application().exportAnimation();
    ASSERT_TRUE(steps.done());
    EXPECT_TRUE(alerts.texts().isEmpty()) << qPrintable(alerts.texts().join(u'\n'));
    const DecodedAnimation animation = decoded(output);
    ASSERT_EQ(animation.frameCount, 6);
    ExportOptions options = ExportOptions::fromPreferences(preferences());
    options.scale = 0;
    options.pixelWidth = 160;
    EXPECT_LE(meanDifference(animation.frames.last(), document(0).exportPicture(options, {})), 6);

    ASSERT_TRUE(activate(document(0).window()));
    const QString refused = filePath(QStringLiteral("refused.webp"));
    DialogSteps again;
    again.then<AnimationOptionsDialog>([&](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 100, 0.5, 10);
        dialog.findChild<QComboBox*>(QStringLiteral("menuStart"))->setCurrentIndex(1);
        dialog.findChild<QLineEdit*>(QStringLiteral("editStartFold"))->setText(sampleFold);
        dialog.accept();
    });
    again.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, refused); });
    application().exportAnimation();
    EXPECT_TRUE(again.done());
    ASSERT_EQ(alerts.texts().size(), 1);
    EXPECT_TRUE(alerts.texts().first().contains(QStringLiteral("another layout")))
        << qPrintable(alerts.texts().first());
    EXPECT_FALSE(QFile::exists(refused));
}

// Cancel in the progress dialog, or a start fold that cannot be used, leaves no file; the fold
// file is named in the alert.
TEST_F(AnimationCommandTest, CancelOrABadStartFoldLeavesNoFile) {
    launch({picture()});
    const QString output = filePath(QStringLiteral("long.mp4"));
    bool cancelled = false;
    DialogSteps steps;
    steps.then<AnimationOptionsDialog>([](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 1600, 30, 60);
        dialog.accept();
    });
    steps.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, output); });
    steps.then<QProgressDialog>([&](QProgressDialog& progress) {
        cancelled = true;
        progress.cancel();
    });
    AlertDismisser alerts;
    application().exportAnimation();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(alerts.texts().isEmpty());
    EXPECT_TRUE(QDir(filePath(QString())).entryList({QStringLiteral("*.mp4*")}).isEmpty());

    // Without a window manager nothing gives the focus back after the dialogs; a user clicks.
    ASSERT_TRUE(activate(document(0).window()));
    const QString broken = textFile(QStringLiteral("broken.pleatfold"));
    DialogSteps again;
    again.then<AnimationOptionsDialog>([&](AnimationOptionsDialog& dialog) {
        chooseMotion(dialog, 100, 0.5, 10);
        dialog.findChild<QComboBox*>(QStringLiteral("menuStart"))->setCurrentIndex(1);
        dialog.findChild<QLineEdit*>(QStringLiteral("editStartFold"))->setText(broken);
        dialog.accept();
    });
    again.then<QFileDialog>([&](QFileDialog& dialog) { clickSave(dialog, output); });
    application().exportAnimation();
    EXPECT_TRUE(again.done());
    ASSERT_EQ(alerts.texts().size(), 1);
    EXPECT_TRUE(alerts.texts().first().contains(QStringLiteral("broken.pleatfold")))
        << qPrintable(alerts.texts().first());
    EXPECT_FALSE(QFile::exists(output));
}
