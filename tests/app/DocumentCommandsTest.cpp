// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"
#include "app/PreferencesController.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

#include <X11/Xlib.h>

namespace {
QFileDialog* openPanel() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* panel = qobject_cast<QFileDialog*>(window); panel && panel->isVisible())
            return panel;
    return nullptr;
}
} // namespace

using DocumentCommandsTest = AppFixture;

TEST_F(DocumentCommandsTest, PictureOnTheCommandLineOpensAsOneShownDocument) {
    launch({picture()});

    ASSERT_EQ(documentCount(), 1u);
    DocumentWindow* window = document(0).window();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->windowTitle(), "sample.png");
    EXPECT_TRUE(document(0).isTimerActive());
    EXPECT_FALSE(application().startWindow().isVisible());
    EXPECT_EQ(windowMenuTitles(), QStringList{"sample.png"});
}

TEST_F(DocumentCommandsTest, PathThatIsNoPictureGivesTheAlertAndNoDocument) {
    launch();
    AlertDismisser alerts;

    EXPECT_TRUE(application().openFile(textFile("notes.txt")));

    ASSERT_TRUE(waitFor([&alerts] { return alerts.texts().size() == 1; }));
    EXPECT_EQ(alerts.texts().first(), "Can't open\nNot a picture Pleatora can read : notes.txt");
    EXPECT_EQ(documentCount(), 0u);
    EXPECT_TRUE(windowMenuTitles().isEmpty());
    EXPECT_TRUE(application().recentDocuments().recentDocumentURLs().isEmpty());
    // Pleatora goes on: the start window stays and a picture still opens.
    EXPECT_TRUE(application().startWindow().isVisible());
    application().openFile(picture());
    EXPECT_TRUE(waitUntilOpened());
    EXPECT_EQ(documentCount(), 1u);
}

TEST_F(DocumentCommandsTest, SameFileOpenedTwiceIsTwoDocumentsAndTwoWindowMenuItems) {
    launch({picture(), picture()});

    ASSERT_EQ(documentCount(), 2u);
    EXPECT_NE(document(0).window(), document(1).window());
    EXPECT_EQ(windowMenuTitles(), (QStringList{"sample.png", "sample.png"}));

    // Choosing the first item brings the first document to the front.
    ASSERT_TRUE(activate(document(1).window()));
    application().menus().windowMenu()->actions().first()->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(document(0).window()));
}

TEST_F(DocumentCommandsTest, CloseShortcutEndsTheActiveDocumentOnly) {
    launch({picture("first.png"), picture("second.png")});
    ASSERT_EQ(documentCount(), 2u);
    DocumentController* closed = &document(0);
    QPointer<DocumentWindow> closedWindow = closed->window();
    ASSERT_TRUE(activate(closedWindow));

    QTest::keySequence(closedWindow, QKeySequence::Close);

    ASSERT_EQ(documentCount(), 1u);
    EXPECT_EQ(document(0).window()->windowTitle(), "second.png");
    EXPECT_FALSE(closed->isTimerActive());
    EXPECT_FALSE(closedWindow->isVisible());
    EXPECT_EQ(windowMenuTitles(), QStringList{"second.png"});

    // A change made before the closed document is gone reaches the open one only.
    const QImage closedBefore = closedWindow->contentView()->image();
    const QImage openBefore = document(0).window()->contentView()->image();
    preferences().setValue(Preferences::showCreaseLine, false);
    EXPECT_EQ(closedWindow->contentView()->image(), closedBefore);
    EXPECT_NE(document(0).window()->contentView()->image(), openBefore);

    runDeferredDeletes();
    EXPECT_TRUE(closedWindow.isNull());
}

namespace {
// What the window manager sends for Alt+F4 or a task bar's close.
void sendWindowManagerClose(QWidget* window) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window->winId();
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window->winId(), False, NoEventMask, &message);
    XCloseDisplay(display);
}
} // namespace

TEST_F(DocumentCommandsTest, WindowManagerCloseEndsTheDocumentLikeTheCloseCommand) {
    launch({picture("first.png"), picture("second.png")});
    ASSERT_EQ(documentCount(), 2u);
    QPointer<DocumentWindow> closedWindow = document(1).window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(closedWindow));

    sendWindowManagerClose(closedWindow);

    // The document ends with its window, instead of living on behind a hidden one.
    ASSERT_TRUE(waitFor([this] { return documentCount() == 1u; }));
    EXPECT_TRUE(waitFor([&closedWindow] { return closedWindow.isNull(); }));
    EXPECT_EQ(document(0).window()->windowTitle(), "first.png");
    EXPECT_EQ(windowMenuTitles(), QStringList{"first.png"});
}

TEST_F(DocumentCommandsTest, ClosingTheLastDocumentShowsTheStartWindowAgain) {
    launch({picture()});
    ASSERT_TRUE(activate(document(0).window()));

    application().menus().closeAction()->trigger();

    EXPECT_EQ(documentCount(), 0u);
    EXPECT_TRUE(application().startWindow().isVisible());
    EXPECT_FALSE(application().menus().copyAction()->isEnabled());
}

TEST_F(DocumentCommandsTest, CloseWithThePreferencesWindowKeyClosesThatWindow) {
    launch({picture()});
    application().showPreferences();
    QWidget* preferences = application().preferencesController()->window();
    ASSERT_TRUE(activate(preferences));

    QTest::keySequence(preferences, QKeySequence::Close);

    EXPECT_FALSE(preferences->isVisible());
    EXPECT_EQ(documentCount(), 1u);
}

TEST_F(DocumentCommandsTest, CopyFollowsTheFrontmostWindow) {
    launch();
    QApplication::clipboard()->setText("untouched");
    application().showPreferences();
    QWidget* preferences = application().preferencesController()->window();
    ASSERT_TRUE(activate(preferences));

    // No document: Copy is disabled even though a window is key, in menus and for the shortcut.
    emit application().menus().contextMenu()->aboutToShow();
    EXPECT_FALSE(application().menus().copyAction()->isEnabled());
    EXPECT_TRUE(application().menus().closeAction()->isEnabled());
    QTest::keySequence(preferences, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");

    // A document open but the preferences window in front: enabled, and it does nothing.
    application().openFile(picture());
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_TRUE(activate(preferences));
    EXPECT_TRUE(application().menus().copyAction()->isEnabled());
    QTest::keySequence(preferences, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");

    // The document in front: its folded picture goes to the clipboard.
    ASSERT_TRUE(activate(document(0).window()));
    QTest::keySequence(document(0).window(), QKeySequence::Copy);
    EXPECT_TRUE(waitFor([] { return QApplication::clipboard()->mimeData()->hasImage(); }));
}

namespace {
// As when the user clicks a window of another application.
void focusNoWindowOfPleatora() {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    XCloseDisplay(display);
}
} // namespace

TEST_F(DocumentCommandsTest, WithNoWindowActiveCopyTakesTheDocumentActivatedLast) {
    QImage small(320, 240, QImage::Format_RGB32);
    small.fill(Qt::darkCyan);
    const QString smallPicture = QFileInfo(picture()).dir().filePath("small.png");
    ASSERT_TRUE(small.save(smallPicture));
    launch({smallPicture, picture()});
    DocumentWindow* first = document(0).window();
    ASSERT_TRUE(activate(first));
    // The user opens its menu, which takes the focus, and clicks another application.
    QMenu* menu = application().menus().contextMenu();
    emit first->contextMenuRequested(first->mapToGlobal(QPoint(20, 20)));
    ASSERT_TRUE(waitFor([menu] { return QGuiApplication::focusWindow() == menu->windowHandle(); }));
    QApplication::clipboard()->setText("untouched");
    focusNoWindowOfPleatora();
    menu->hide();
    ASSERT_TRUE(waitFor([] { return QApplication::activeWindow() == nullptr; }));

    application().copy();

    ASSERT_TRUE(waitFor([] { return QApplication::clipboard()->mimeData()->hasImage(); }));
    const QImage copied = qvariant_cast<QImage>(QApplication::clipboard()->mimeData()->imageData());
    EXPECT_EQ(copied.size(), first->size() * first->devicePixelRatio());
}

TEST_F(DocumentCommandsTest, OpenPanelOffersPicturesAndOpensTheChosenOne) {
    launch();
    application().menus().openAction()->trigger();
    QFileDialog* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isModal());
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFile);
    const QString filter = panel->nameFilters().join(' ');
    for (const char* pattern : {"*.png", "*.jpg", "*.tiff", "*.webp", "*.bmp", "*.pdf"})
        EXPECT_TRUE(filter.contains(pattern)) << pattern;
    EXPECT_FALSE(filter.contains("*.txt"));

    panel->reject();
    EXPECT_EQ(documentCount(), 0u);

    application().menus().openAction()->trigger();
    panel = openPanel();
    ASSERT_NE(panel, nullptr);
    panel->selectFile(picture("chosen.png"));
    // Through QDialog, where accept() is public: the panel's own accept() checks the choice.
    static_cast<QDialog*>(panel)->accept();
    ASSERT_TRUE(waitUntilOpened());
    ASSERT_EQ(documentCount(), 1u);
    EXPECT_EQ(document(0).window()->windowTitle(), "chosen.png");
}

TEST_F(DocumentCommandsTest, RightClickOnADocumentOffersTheWholeMenu) {
    launch({picture()});
    DocumentWindow* window = document(0).window();
    ASSERT_TRUE(activate(window));
    QMenu* menu = application().menus().contextMenu();

    emit window->contextMenuRequested(window->mapToGlobal(QPoint(20, 20)));

    EXPECT_TRUE(waitFor([menu] { return menu->isVisible(); }));
    QStringList titles;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator())
            titles.append(item->text());
    EXPECT_EQ(titles,
              (QStringList{"Undo", "Redo", "&Open...", "Open &Recent", "&Close", "&Copy",
                           "&Export...", "Export &Animation...", "Reset &Fold", "&Layout",
                           "&Save Fold...", "&Apply Fold...", "&Back Picture...", "Pa&ges...",
                           "&Preferences...", "&Window", "A&bout Pleatora", "&Quit"}));
    EXPECT_TRUE(application().menus().copyAction()->isEnabled());
    menu->hide();
    // The shortcuts work in the document window itself.
    EXPECT_TRUE(window->actions().contains(application().menus().openAction()));
    EXPECT_TRUE(window->actions().contains(application().menus().preferencesAction()));
}

TEST_F(DocumentCommandsTest, FilesDroppedOnADocumentOpenAsDocuments) {
    launch({picture()});

    emit document(0).window()->filesDropped({QUrl::fromLocalFile(picture("dropped.png"))});

    EXPECT_TRUE(waitFor([this] { return documentCount() == 2; }));
    EXPECT_EQ(windowMenuTitles(), (QStringList{"sample.png", "dropped.png"}));
}

TEST_F(DocumentCommandsTest, ClosingTheStartWindowQuits) {
    launch();
    ASSERT_TRUE(waitFor([this] { return application().startWindow().isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&application().startWindow()));
    QTimer::singleShot(0, &application().startWindow(), &QWidget::close);
    // Fails the test rather than hanging when the start window does not quit.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);

    EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(DocumentCommandsTest, StartWindowTakesDroppedLocalPicturesOnly) {
    launch();
    StartWindow& start = application().startWindow();
    ASSERT_TRUE(waitFor([&start] { return start.isVisible(); }));

    QMimeData remote;
    remote.setUrls({QUrl("https://pictures.invalid/a.png")});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton,
                            Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&start, &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(picture("dropped.png"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(&start, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&start, &drop);

    ASSERT_TRUE(waitFor([this] { return documentCount() == 1; }));
    EXPECT_EQ(document(0).window()->windowTitle(), "dropped.png");
    EXPECT_FALSE(start.isVisible());
}

TEST_F(DocumentCommandsTest, PreferencesShortcutWorksInADocumentWindow) {
    launch({picture()});
    ASSERT_EQ(application().preferencesController(), nullptr);

    QTest::keyClick(document(0).window(), Qt::Key_Comma, Qt::ControlModifier);

    ASSERT_NE(application().preferencesController(), nullptr);
    EXPECT_TRUE(application().preferencesController()->window()->isVisible());
}

namespace {
// Sends a drag of the URLs into a window, as it enters; true when the window would take it.
bool dragEnterIsAccepted(QWidget* window, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(window, &enter);
    return enter.isAccepted();
}

// Enters and drops, as a drag does.
void drop(QWidget* window, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}
} // namespace

TEST_F(DocumentCommandsTest, DragsAreJudgedByWhatTheFilesHoldWhenTheyEnter) {
    launch({picture()});
    DocumentWindow* window = document(0).window();
    const QUrl text = QUrl::fromLocalFile(textFile("notes.txt"));
    const QUrl textNamedLikeAPicture = QUrl::fromLocalFile(textFile("notes.png"));
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(picture()).absolutePath());
    const QUrl pictureNamedLikeText = QUrl::fromLocalFile(picture("sample.txt"));

    EXPECT_FALSE(dragEnterIsAccepted(window, {text}));
    EXPECT_FALSE(dragEnterIsAccepted(window, {textNamedLikeAPicture}));
    EXPECT_FALSE(dragEnterIsAccepted(window, {folder}));
    EXPECT_FALSE(dragEnterIsAccepted(window, {text, folder}));
    EXPECT_TRUE(dragEnterIsAccepted(window, {pictureNamedLikeText}));
    EXPECT_TRUE(dragEnterIsAccepted(window, {text, QUrl::fromLocalFile(picture())}));
    EXPECT_FALSE(dragEnterIsAccepted(&application().startWindow(), {text, folder}));
}

TEST_F(DocumentCommandsTest, DropOfPicturesAndOtherFilesOpensThePicturesAndNamesTheRestOnce) {
    launch({picture()});
    const QString folder = QFileInfo(picture()).absolutePath();

    drop(document(0).window(),
         {QUrl::fromLocalFile(textFile("notes.txt")), QUrl::fromLocalFile(picture("dropped.png")),
          QUrl::fromLocalFile(folder)});

    ASSERT_TRUE(waitFor([this] { return documentCount() == 2 && !application().isOpening(); }));
    EXPECT_EQ(document(1).window()->windowTitle(), "dropped.png");
    QMessageBox* alert = application().cantOpenAlert().alert();
    ASSERT_NE(alert, nullptr);
    const QStringList lines = alert->informativeText().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << alert->informativeText().toStdString();
    EXPECT_TRUE(lines[0].endsWith(" : notes.txt"));
    EXPECT_TRUE(lines[1].endsWith(" : " + QFileInfo(folder).fileName()));
    alert->accept();
}
