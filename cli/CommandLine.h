// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fold/FoldLayout.h"
#include "fold/HingedFold.h"
#include "render/PaperLook.h"

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// What `pleatora ...` asks for: open pictures in the application (the default), export folded
// pictures or animations of them without a window, or print help or the version. Parsing never
// touches a display.
class CommandLine {
public:
    enum class Mode { Open, Export, Animate, CheckClosing, Help, Version, Error };

    // How an animation moves: from a start fold to the end fold (--fold) over its duration.
    struct MotionSettings {
        QString startFoldFile;          // --from; flat when empty
        std::optional<double> tiltFrom; // degrees; else the start fold's tilt
        double duration = 3;            // seconds
        int framesPerSecond = 30;
        bool loop = false;
        bool ease = true;
        double sweep = 0; // degrees the yaw turns through; alone, without --from, the fold stays
    };

    // Where the light stands, in degrees (FloorScene's terms).
    struct Light {
        double azimuth = 0;
        double elevation = 0;
    };

    // What an export run was given; unset values take the user's preferences or the defaults.
    struct ExportSettings {
        QString output;           // --export or --animate: one file
        QString outputDirectory;  // --export-dir or --animate-dir: DIR/<name> folded.<ext>
        std::optional<int> scale; // whole times the window
        std::optional<int> width;
        QString foldFile;
        std::optional<FoldLayout> layout; // unset: the fold file's, else the classic
        std::optional<double> pitch;
        std::optional<double> yaw;
        std::optional<bool> shadow;
        std::optional<bool> lines;
        std::optional<QColor> background; // transparent when unset
        // png, tiff, jpeg, webp, pdf, glb or gltf; for animations mp4, webm, gif, webp or png;
        // empty: from the name
        QString format;
        bool overwrite = false;
        int screenHeight = 1080;
        std::optional<int> shading;         // percent
        std::optional<int> shadowOpacity;   // percent
        std::optional<double> shadowBlur;   // points
        std::optional<double> shadowOffset; // points
        // The paper: same, paper or a back picture's file; empty: the preference.
        QString back;
        std::optional<QColor> backColour;
        std::optional<int> grain;         // percent
        std::optional<int> creaseShading; // percent
        std::optional<int> gloss;         // percent
        // The artwork: a PDF's pages (the back's only when given), the bleed trimmed off a page
        // without a TrimBox, how the back lies behind the front and the printed sheet's size.
        std::optional<int> frontPage;
        std::optional<int> backPage;
        double bleedPoints = 0;
        std::optional<PaperLook::BackTurn> backTurn;
        std::optional<QSizeF> sheetPoints;
        // The scene: a floor with its colour or tiled picture, the light casting the sheet's
        // shadow on it, a picture behind it all (files empty when not given).
        bool floor = false;
        std::optional<QColor> surfaceColour;
        QString surfacePicture;
        std::optional<Light> light;
        QString backgroundPicture;
        // Hinged panels: the paper's thickness and fold-in allowance in points, the widths given
        // (fractions of the sheet's length, or lengths in points), the pose without a fold file.
        std::optional<double> paperThicknessPoints;
        std::optional<double> foldInAllowancePoints;
        std::vector<double> panelWidths;
        bool panelWidthsAreFractions = false;
        HingedFold::Pose pose = HingedFold::Pose::flat;
        MotionSettings motion; // for Mode::Animate
        // Runs of many pictures.
        QString manifest;          // --manifest: a file, or - for standard input
        int jobs = 0;              // 0: one worker a core
        bool skipExisting = false; // existing outputs are left and reported as skipped
        QString report;            // JSON lines to a file, or - for standard output
        int shardIndex = 0;
        int shardCount = 1;
    };

    // arguments as QCoreApplication::arguments() gives them, the program name first.
    static CommandLine parse(const QStringList& arguments);
    // The paper's options (--back, --back-colour, --grain, --crease-shading, --gloss).
    static QStringList paperOptions();
    static void addPaperOptions(QCommandLineParser& parser);
    // The artwork's options (--pages, --bleed, --back-turn, --sheet-size).
    static QStringList artworkOptions();
    static void addArtworkOptions(QCommandLineParser& parser);
    // The scene's options (--surface, --surface-colour, --surface-picture, --light,
    // --background-picture).
    static QStringList sceneOptions();
    static void addSceneOptions(QCommandLineParser& parser);
    // The options of hinged panels (--panels, --paper-thickness, --fold-in-allowance, --pose),
    // and --check-closing, which stands on its own.
    static QStringList panelOptions();
    static void addPanelOptions(QCommandLineParser& parser);

    Mode mode = Mode::Open;
    QString failure; // one line, set exactly when the mode is Error
    QString helpText;
    QStringList pictures;
    // --layout and --horizontal; for exports also in exportSettings.
    std::optional<FoldLayout> layout;
    ExportSettings exportSettings;

    // The names --layout takes, for messages: "two-tents, tent, card, ...".
    static QString layoutNames();

private:
    void readLayout(const QCommandLineParser& parser);
    void readExportSettings(const QCommandLineParser& parser);
    void readLook(const QCommandLineParser& parser);
    void readSwitches(const QCommandLineParser& parser);
    void readMotion(const QCommandLineParser& parser);
    void readPaper(const QCommandLineParser& parser);
    void readArtwork(const QCommandLineParser& parser);
    void readScene(const QCommandLineParser& parser);
    void readPanels(const QCommandLineParser& parser);
    void readPose(const QCommandLineParser& parser);
    void readClosingCheck(const QCommandLineParser& parser);
    // The option's value as a number within [lowest, highest]; unset when not given or bad.
    std::optional<double> numberOption(const QCommandLineParser& parser, const QString& name,
                                       double lowest, double highest);
    // As numberOption, refusing a fraction too.
    std::optional<int> wholeNumberOption(const QCommandLineParser& parser, const QString& name,
                                         int lowest, int highest);
    // False, failing, when an option's value is given more than once.
    bool checkGivenOnce(const QCommandLineParser& parser);
    void checkExportShape(const QCommandLineParser& parser);
    void readRunOptions(const QCommandLineParser& parser);
    void fail(const QString& message);
};
