#pragma once

#include "document/ControlAreas.h"
#include "document/LineOverlay.h"
#include "document/PictureReader.h"
#include "document/SheetSizing.h"
#include "fold/FoldModel.h"
#include "fold/FoldSnapshot.h"
#include "render/LineEndPoints.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>

class FoldFile;
class SheetRenderer;
class PictureView;
class DocumentWindow;
class PreferencesDefaults;
class QKeyEvent;
class QMimeData;
class QMouseEvent;
class RememberedFolds;
struct ExportOptions;

// One document: the fold of one image, its renderer and its window. Orchestrates the display
// update, Copy, the hover poll and the mouse drags that reshape the fold.
class DocumentController : public QObject {
    Q_OBJECT

public:
    // A document of a picture that PictureReader decoded for the sheet's size by sizing. Null
    // when it cannot be drawn, with what failed in failure: the caller tells the user.
    static std::unique_ptr<DocumentController> create(const PictureReader::Result& picture,
                                                      const SheetSizing& sizing, const QUrl& url,
                                                      PreferencesDefaults& defaults,
                                                      QString* failure);
    ~DocumentController() override;

    void showWindow();
    DocumentWindow* window() const { return _window.get(); }

    void startTimer();
    void stopTimer();
    bool isTimerActive() const { return _timer.isActive(); }

    void copyPicture(const QString& format);
    // The picture Copy exports; its device pixel ratio gives its size in points.
    QImage image();

    // Called after each tile of an export's rendering; returning false stops the export.
    using ExportProgress = std::function<bool(int done, int total)>;
    // The folded picture drawn afresh at the size the options ask, with the lines, shadow and
    // background they ask; its device pixel ratio is its pixels per point. Null when stopped or
    // when it cannot be drawn.
    QImage exportPicture(const ExportOptions& options, const ExportProgress& progress);
    // What a drag out of the window carries: the picture (Copy's) as PNG data and as a PNG file
    // in the cache folder. Null when the picture cannot be encoded.
    std::unique_ptr<QMimeData> pictureDragData(const QImage& picture) const;

    void pushFoldToRenderer();
    void reloadPreferences();
    // Gives the part of the picture that changed (points, y down), empty when none did.
    QRect showFrameInView();
    void updateDisplay();
    void updateEndPoints();
    // Lets only the folded sheet take the mouse, from the current end points.
    void updateInputArea();
    QImage drawLines(QImage image) const;
    void updateHoveredArea();

    // The fold as a document: every change from the mouse, the keys, Reset or a fold file is one
    // step of the undo stack (a drag from press to release, a row of key steps).
    QUndoStack& undoStack() { return _undoStack; }
    FoldSnapshot snapshot() const;
    void resetFold();
    FoldFile foldFile() const;
    // Returns how far the fold shown stays from the file's, in points; 0 when reproduced.
    double applyFold(const FoldFile& fold);
    // With their own alert when the file cannot be written or read.
    void saveFoldToFile(const QString& path);
    void applyFoldFile(const QString& path);
    // The fold left on this picture last time, when the preferences keep folds; not undoable.
    void recallFold(const RememberedFolds& store);
    void rememberFold(RememberedFolds& store);
    QUrl url() const { return _url; }

    // Window event handlers.
    void press(const QMouseEvent& event);
    void drag(const QMouseEvent& event);
    void release(const QMouseEvent& event);
    void handleKey(const QKeyEvent& event);
    void windowActivated();
    void windowDeactivated();
    void pointerLeft();
    void followPreferences();

    // State read by the application and by tests.
    FoldModel& foldModel() { return _fold; }
    const FoldModel& foldModel() const { return _fold; }
    SheetRenderer& renderer() const { return *_renderer; }
    const ControlAreas& controlAreas() const { return _controlAreas; }
    int controlArea() const { return static_cast<int>(_controlArea); }
    const LineEndPoints& endPoints() const { return _endPoints; }
    double scale() const { return _scale; }

private:
    DocumentController(FoldSize imageSize, FoldSize windowSize, PreferencesDefaults& defaults);

    // Modal: it answers one command of the user's.
    static void showAlert(const QString& messageText, const QString& infoText);

    QString startRenderer(const QImage& picture, FoldSize windowSize);
    QRect refreshFrame();
    QRect showLines(QRect changed);
    LineOverlay lineOverlay() const;
    void listenToWindow();
    QImage captureWithCopyLines();
    void dragTilt(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void dragLine(QPointF screenPoint, Qt::KeyboardModifiers modifiers);
    void moveWindow(const QMouseEvent& event);
    void dragPictureOut(const QMouseEvent& event);
    QImage exportTexturePicture(double pixelsPerPoint) const;
    void endPress();
    void recordDrag();
    void cancelDrag();
    void nudgeLine(FoldPoint move);
    void nudgeTilt(double degrees);
    void showSnapshot(const FoldSnapshot& snapshot);
    double showFoldFile(const FoldFile& fold);
    void pushFoldStep(const QString& text, const FoldSnapshot& before, int mergeId = -1);
    FoldSnapshot flatSnapshot() const;
    void clearControlArea();
    void setCursorShape(Qt::CursorShape shape);

    static constexpr double maximumPitch = 60;

    QUrl _url;
    QSize _picturePixelSize; // the file's own, upright
    PreferencesDefaults& _defaults;
    QMetaObject::Connection _defaultsConnection;
    std::unique_ptr<DocumentWindow> _window;
    std::unique_ptr<SheetRenderer> _renderer;
    PictureView* _pictureView = nullptr; // owned by _window
    double _scale = 1;
    FoldModel _fold;

    std::array<QColor, 2> _lineColor; // [0] crease lines, [1] the control line
    LineEndPoints _endPoints{};
    bool _showCreaseLines = true;
    bool _showControlLine = true;
    bool _copyWithCreaseLines = true;
    bool _copyWithShadow = true;
    float _shading = 0; // 0..1

    // The last frame, whose shadow the window keeps, and the lines drawn over it in the view's
    // picture: hover and line colour changes only redraw the lines that changed.
    QImage _frame;
    LineOverlay _shownOverlay;
    LineEndPoints _shownEndPoints{};
    long _shownArea = ControlAreas::noArea;

    long _controlArea = ControlAreas::noArea;
    ControlAreas _controlAreas;
    QTimer _timer;
    bool _isMouseDown = false;
    bool _isDragging = false;
    bool _isManualWindowMove = false;
    bool _isPictureDrag = false; // a press with Ctrl away from every line drags the picture out
    QPointF _lastPoint;          // screen, y up
    QPointF _lastPointInWindow;  // Qt widget position: the grab offset of a window move

    QUndoStack _undoStack;
    FoldSnapshot _pressSnapshot;
    long _lastDraggedLine = ControlAreas::noArea;
    int _keyStepSeries = 0; // a new row of key steps merges under new ids
    QString _pictureKey;
};
