// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/ControlAreas.h"
#include "document/Document.h"
#include "document/FramePresenter.h"
#include "document/ModelExport.h"
#include "document/SheetSizing.h"
#include "fold/FoldSnapshot.h"
#include "media/ExportWriter.h"
#include "media/PictureReader.h"
#include "render/LineEndPoints.h"

#include <QImage>
#include <QObject>
#include <QPointF>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class DocumentWindow;
class FoldFile;
class PictureView;
class Preferences;
class QKeyEvent;
class QMimeData;
class QMouseEvent;
class RememberedFolds;
struct ExportOptions;

// Turns the events of one document window into commands of its document, and shows what the
// presenter makes of the document in the window: the hover poll, the mouse drags, the keys, Copy,
// the drag out and the alerts of the fold files.
class DocumentController : public QObject {
    Q_OBJECT

public:
    // A document of a picture that PictureReader decoded for the sheet's size by sizing, open
    // flat in the layout. Null when it cannot be drawn, with what failed in failure: the caller
    // tells the user.
    static std::unique_ptr<DocumentController> create(const PictureReader::Result& picture,
                                                      const SheetSizing& sizing, const QUrl& url,
                                                      Preferences& preferences, QString* failure,
                                                      const FoldLayout& layout = FoldLayout());
    ~DocumentController() override;

    void showWindow();
    DocumentWindow* window() const { return _window.get(); }

    void startTimer();
    void stopTimer();
    bool isTimerActive() const { return _timer.isActive(); }

    void copyPicture(const QString& format);
    // The picture Copy exports; its device pixel ratio gives its size in points.
    QImage image();

    // The folded picture drawn afresh at the size the options ask, with the lines, shadow and
    // background they ask; its device pixel ratio is its pixels per point. Null when stopped or
    // when it cannot be drawn.
    QImage exportPicture(const ExportOptions& options, const SheetRenderer::TileProgress& progress);
    // The sheet as a 3D model in format (ExportFormat::isModel()), its pictures read afresh at the
    // size a still export at these options would show them.
    ExportWriter::Outcome exportModel(const ExportOptions& options, const QString& fileName,
                                      const ExportFormat& format, QString* failure = nullptr);
    // The move from start to the current fold and tilt as a 3D model that plays it.
    ExportWriter::Outcome exportAnimatedModel(const QString& fileName, const ExportOptions& options,
                                              const ExportFormat& format, const FoldSnapshot& start,
                                              const FoldMotion::Timing& timing,
                                              QString* failure = nullptr);
    // The move from start to the current fold and tilt, written to fileName as the options ask
    // (AnimationExport); the window shows the current fold again afterwards.
    AnimationExport::Outcome exportAnimation(const QString& fileName, const ExportOptions& options,
                                             const FoldSnapshot& start,
                                             const FoldMotion::Timing& timing,
                                             const AnimationExport::Progress& progress,
                                             QString* failure = nullptr);
    // What a drag out of the window carries: the picture (Copy's) as PNG data and as a PNG file
    // in the cache folder. Null when the picture cannot be encoded.
    std::unique_ptr<QMimeData> pictureDragData(const QImage& picture) const;

    void reloadPreferences();
    // Shows the document as it is now, repainting only what changed.
    void updateDisplay();
    // Lets only the folded sheet take the mouse, from the current end points.
    void updateInputArea();
    QImage drawLines(QImage image) const;
    void updateHoveredArea();

    // With their own alert when the file cannot be written or read.
    void saveFoldToFile(const QString& path);
    void applyFoldFile(const QString& path);
    // Prints the picture of path on the back of the sheet, with an alert when it cannot be read.
    void setBackPicture(const QString& path);
    // Pages...: the document's pages, bleed, back turn and printed size as chosen. The front
    // page is read again when it or the bleed changed, and the back page when it did; with an
    // alert, and nothing changed, when a page cannot be drawn.
    void setPrinted(const Document::Printed& printed);
    // The fold left on this picture last time, when the preferences keep folds; not undoable.
    void recallFold(const RememberedFolds& store);
    void rememberFold(RememberedFolds& store);

    // Window event handlers.
    void press(const QMouseEvent& event);
    void drag(const QMouseEvent& event);
    void release(const QMouseEvent& event);
    void handleKey(const QKeyEvent& event);
    void windowActivated();
    void windowDeactivated();
    void pointerLeft();
    void followPreferences();

    // The document and its presentation, for the application and tests.
    Document& document() { return *_document; }
    const Document& document() const { return *_document; }
    QUndoStack& undoStack() { return _document->undoStack(); }
    FoldSnapshot snapshot() const { return _document->snapshot(); }
    // The classic's fold; only while the classic is shown.
    const FoldModel& foldModel() const { return *_document->fold().classic(); }
    QUrl url() const { return _document->url(); }
    const FramePresenter& presenter() const { return *_presenter; }
    SheetRenderer& renderer() const { return _presenter->renderer(); }
    const ControlAreas& controlAreas() const { return _controlAreas; }
    int controlArea() const { return static_cast<int>(_controlArea); }
    const LineEndPoints& endPoints() const { return _presenter->endPoints(); }
    double scale() const { return _scale; }

private:
    QSize modelTexturePixels(const ExportOptions& options) const;
    // The pictures read afresh at that size; none with the reason when they cannot be read.
    std::optional<ModelExport::Sides> modelSides(QSize texturePixels, QString* failure);
    DocumentController(std::unique_ptr<Document> document, QSize windowSize,
                       Preferences& preferences);

    // Modal: it answers one command of the user's.
    static void showAlert(const QString& messageText, const QString& infoText);

    void listenToWindow();
    void listenToDocument();
    void documentReplaced();
    void documentChanged();
    // The hit areas, the renderer's sheet and the window follow a change of layout or sheet.
    void followLayout();
    void resizeWindow(QSize size);
    // A move on the screen (y up) as a move of the fold (along the sheet's length, toward the
    // viewer), and back.
    FoldPoint foldMove(QPointF screenMove) const;
    QPointF screenMove(FoldPoint foldMove) const;
    // Gives the part of the view's picture that changed (points, y down), empty when none did.
    QRect presentFrame();
    QImage captureWithCopyLines();
    void dragTilt(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragOrbit(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragLine(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragHingedLine(FoldPoint move, Qt::KeyboardModifiers modifiers);
    void moveWindow(const QMouseEvent& event);
    void dragPictureOut(const QMouseEvent& event);
    void endPress();
    void recordDrag();
    void cancelDrag();
    void nudgeLine(FoldPoint move);
    void nudgeTilt(double degrees);
    void nudgeOrbit(double pitchDegrees, double yawDegrees);
    void clearControlArea();
    void setCursorShape(Qt::CursorShape shape);
    bool showBackPicture(const QString& path, QString* failure = nullptr);
    bool showPrinted(Document::Printed printed, QString* failure);
    // The front page of a PDF at the size the sheet shows it; null with the reason when it
    // cannot be read.
    QImage readPage(const ArtworkPage& page, QSizeF* points, QString* failure) const;
    void showTitle();
    // A PDF's back page on the back of the sheet; false with the reason when it cannot be drawn.
    bool showPageBehind(QString* failure);
    void showPaperLook();

    Preferences& _preferences;
    QMetaObject::Connection _preferencesConnection;
    std::unique_ptr<Document> _document;
    std::unique_ptr<FramePresenter> _presenter;
    std::unique_ptr<DocumentWindow> _window;
    PictureView* _pictureView = nullptr; // owned by _window
    double _scale = 1;

    bool _copyWithCreaseLines = true;
    bool _copyWithShadow = true;

    long _controlArea = ControlAreas::noArea;
    ControlAreas _controlAreas;
    FoldLayout _shownLayout;
    FoldSize _shownSheet;
    bool _shownTurned = false; // the window holds the sheet at every yaw
    QTimer _timer;
    bool _isMouseDown = false;
    bool _isDragging = false;
    bool _isManualWindowMove = false;
    bool _isPictureDrag = false; // a press with Ctrl away from every line drags the picture out
    bool _isOrbit = false;       // a middle-button press turns the sheet wherever it is
    QPointF _lastPoint;          // screen, y up
    QPointF _lastPointInWindow;  // Qt widget position: the grab offset of a window move

    FoldSnapshot _pressSnapshot;
    long _lastDraggedLine = ControlAreas::noArea;
    int _keyStepSeries = 0; // a new row of key steps merges under new ids
};
