// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppFixture.h"

#include "app/ColorWell.h"
#include "app/NewPictureLayout.h"
#include "app/PreferencesController.h"
#include "render/SheetRenderer.h"
#include "window/DocumentWindow.h"
#include "window/PictureView.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {
const QColor translucentBlue(0, 64, 255, 128);
}

class PreferencesWindowTest : public AppFixture {
protected:
    QWidget* showPreferences() {
        application().showPreferences();
        QWidget* window = application().preferencesController()->window();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }
    template <typename Control> Control* control(const char* name) {
        auto* found = application().preferencesController()->window()->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The space bar, as a user tabbing through the window would; quick mouse clicks at the same
    // spot of two boxes could count as a double click.
    void toggle(const char* name) { QTest::keyClick(control<QCheckBox>(name), Qt::Key_Space); }
    QImage shownPicture(size_t index) { return document(index).window()->contentView()->image(); }
    // Moves a slider to its end with the keyboard, as a user tabbing to it would.
    void slideTo(const char* name, Qt::Key end) { QTest::keyClick(control<QSlider>(name), end); }
    QString valueShown(const char* name) { return control<QLabel>(name)->text(); }
    // The alpha of the shown picture a distance below the middle of the sheet's lower edge.
    int shadowBelowSheet(size_t index, double distance) {
        const QPointF bottom = document(index).endPoints()[3][1];
        const QImage shown = shownPicture(index);
        return shown
            .pixelColor(int(bottom.x()) + 20, shown.height() - 1 - int(bottom.y() - distance))
            .alpha();
    }
};

TEST_F(PreferencesWindowTest, FirstRunShowsTheRegisteredValues) {
    launch();
    showPreferences();

    for (const char* name : {"cboxShowCreaseLine", "cboxShowControlLine", "cboxCopyWithCreaseLine",
                             "cboxCopyWithShadow", "cboxRememberFolds"})
        EXPECT_TRUE(control<QCheckBox>(name)->isChecked()) << name;
    const QColor crease = control<ColorWell>("cwellCreaseLineColor")->color();
    const QColor controlLine = control<ColorWell>("cwellControlLineColor")->color();
    EXPECT_EQ(crease.rgb(), QColor(Qt::red).rgb());
    EXPECT_NEAR(crease.alphaF(), 0.2, 1e-6);
    EXPECT_EQ(controlLine.rgb(), QColor(Qt::red).rgb());
    EXPECT_NEAR(controlLine.alphaF(), 0.8, 1e-6);
    auto* format = control<QComboBox>("menuImageFormat");
    ASSERT_EQ(format->count(), 2);
    EXPECT_EQ(format->itemText(0), "TIFF");
    EXPECT_EQ(format->itemText(1), "PDF");
    EXPECT_EQ(format->currentIndex(), 0);

    const std::tuple<const char*, const char*, int, const char*> sliders[] = {
        {"sliderShading", "labelShadingValue", 0, "0%"},
        {"sliderShadowOpacity", "labelShadowOpacityValue", 50, "50%"},
        {"sliderShadowBlur", "labelShadowBlurValue", 24, "24 pt"},
        {"sliderShadowOffset", "labelShadowOffsetValue", 6, "6 pt"},
    };
    for (const auto& [slider, label, value, text] : sliders) {
        EXPECT_EQ(control<QSlider>(slider)->value(), value) << slider;
        EXPECT_EQ(valueShown(label), text) << label;
    }
}

TEST_F(PreferencesWindowTest, EachCheckBoxWritesItsOwnKeyAndDocumentsRedrawAtOnce) {
    launch({picture("first.png"), picture("second.png")});
    showPreferences();
    const std::pair<const char*, std::function<bool()>> boxes[] = {
        {"cboxShowCreaseLine", [this] { return preferences().value(Preferences::showCreaseLine); }},
        {"cboxShowControlLine",
         [this] { return preferences().value(Preferences::showControlLine); }},
        {"cboxCopyWithCreaseLine",
         [this] { return preferences().value(Preferences::copyWithCreaseLine); }},
        {"cboxCopyWithShadow", [this] { return preferences().value(Preferences::copyWithShadow); }},
        {"cboxRememberFolds", [this] { return preferences().value(Preferences::rememberFolds); }},
    };
    for (const auto& [name, stored] : boxes) {
        toggle(name);
        EXPECT_FALSE(stored()) << name;
    }
    toggle("cboxShowCreaseLine");
    EXPECT_TRUE(preferences().value(Preferences::showCreaseLine));
    EXPECT_FALSE(preferences().value(Preferences::showControlLine));

    // The crease lines go from both windows at once and come back.
    const QImage withLines[] = {shownPicture(0), shownPicture(1)};
    toggle("cboxShowCreaseLine");
    EXPECT_NE(shownPicture(0), withLines[0]);
    EXPECT_NE(shownPicture(1), withLines[1]);
    toggle("cboxShowCreaseLine");
    EXPECT_EQ(shownPicture(0), withLines[0]);
    EXPECT_EQ(shownPicture(1), withLines[1]);
}

TEST_F(PreferencesWindowTest, PickedColourIsStoredLiveRedrawsAndComesBackAfterRestart) {
    launch({picture()});
    showPreferences();
    auto* well = control<ColorWell>("cwellCreaseLineColor");
    const QImage before = shownPicture(0);

    QTest::mouseClick(well, Qt::LeftButton);
    QColorDialog* dialog = well->colorDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    dialog->setCurrentColor(translucentBlue);
    // Stored and drawn while the chooser is still open.
    EXPECT_EQ(preferences().value(Preferences::creaseLineColor), translucentBlue);
    EXPECT_NE(shownPicture(0), before);
    dialog->accept();
    EXPECT_EQ(well->color(), translucentBlue);

    restart();
    showPreferences();
    EXPECT_EQ(control<ColorWell>("cwellCreaseLineColor")->color(), translucentBlue);
}

TEST_F(PreferencesWindowTest, CancelledColourPickRestoresTheOldColour) {
    launch();
    showPreferences();
    auto* well = control<ColorWell>("cwellControlLineColor");
    const QColor original = well->color();

    QTest::mouseClick(well, Qt::LeftButton);
    ASSERT_NE(well->colorDialog(), nullptr);
    well->colorDialog()->setCurrentColor(translucentBlue);
    EXPECT_EQ(preferences().value(Preferences::controlLineColor), translucentBlue);
    well->colorDialog()->reject();

    EXPECT_EQ(well->color(), original);
    EXPECT_EQ(preferences().value(Preferences::controlLineColor), original);
}

// The paper's controls start off, write their own keys and redraw every open window at once.
TEST_F(PreferencesWindowTest, PaperControlsStartOffAndChangeEveryWindowLive) {
    launch({picture("first.png"), picture("second.png")});
    // Folded, so that the creases have something to shade.
    for (int i = 0; i < 2; ++i)
        ASSERT_NE(document(i).document().moveLine(2, {0, 60}).y, 0.0);
    showPreferences();
    auto* back = control<QComboBox>("menuPaperBack");
    EXPECT_EQ(back->currentData().toString(), "same");
    EXPECT_EQ(control<ColorWell>("cwellPaperBackColor")->color(), QColor(Qt::white));
    const std::pair<const char*, const Preference<int>*> sliders[] = {
        {"sliderPaperGrain", &Preferences::paperGrain},
        {"sliderCreaseShading", &Preferences::creaseShading},
        {"sliderPaperGloss", &Preferences::paperGloss},
    };
    for (const auto& [name, preference] : sliders) {
        auto* slider = control<QSlider>(name);
        EXPECT_EQ(slider->value(), 0) << name;
        const QImage before[] = {shownPicture(0), shownPicture(1)};
        slider->setValue(100);
        EXPECT_EQ(preferences().value(*preference), 100) << name;
        EXPECT_NE(shownPicture(0), before[0]) << name;
        EXPECT_NE(shownPicture(1), before[1]) << name;
        EXPECT_FALSE(document(1).renderer().paperLook().plain()) << name;
        slider->setValue(0);
        EXPECT_TRUE(document(1).renderer().paperLook().plain()) << name;
        EXPECT_EQ(shownPicture(0), before[0]) << name;
    }
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Down);
    EXPECT_EQ(preferences().value(Preferences::paperBack), "paper");
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::paper);
}

TEST_F(PreferencesWindowTest, PdfChoiceSurvivesARestartAndTheNextCopyIsPdf) {
    launch({picture()});
    showPreferences();
    auto* format = control<QComboBox>("menuImageFormat");
    format->setFocus();
    QTest::keyClick(format, Qt::Key_Down);
    EXPECT_EQ(preferences().value(Preferences::imageFormat), "PDF");
    EXPECT_EQ(application().imageFormat(), "PDF");

    restart({picture()});
    ASSERT_TRUE(activate(document(0).window()));
    application().copy();
    EXPECT_TRUE(waitFor(
        [] { return QApplication::clipboard()->mimeData()->hasFormat("application/pdf"); }));
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->data("application/pdf").startsWith("%PDF"));
    showPreferences();
    EXPECT_EQ(control<QComboBox>("menuImageFormat")->currentText(), "PDF");

    // Back to TIFF: the very next Copy gives the picture itself.
    QTest::keyClick(control<QComboBox>("menuImageFormat"), Qt::Key_Up);
    ASSERT_TRUE(activate(document(0).window()));
    application().copy();
    EXPECT_TRUE(waitFor([] { return QApplication::clipboard()->mimeData()->hasImage(); }));
}

TEST_F(PreferencesWindowTest, UnknownStoredFormatSelectsPdf) {
    launch();
    preferences().setValue(Preferences::imageFormat, "JPEG");
    showPreferences();
    EXPECT_EQ(control<QComboBox>("menuImageFormat")->currentIndex(), 1);
}

TEST_F(PreferencesWindowTest, NewPictureLayoutIsChosenByItsWordsAndComesBackAfterRestart) {
    launch();
    EXPECT_EQ(NewPictureLayout::of(preferences()), FoldLayout());
    showPreferences();
    auto* menu = control<QComboBox>("menuNewPictureLayout");
    EXPECT_EQ(menu->count(), int(FoldLayout::presets(FoldLayout::Axis::vertical).size()));
    EXPECT_EQ(menu->currentText(), "Two Tents");
    EXPECT_FALSE(control<QCheckBox>("cboxNewPictureHorizontal")->isChecked());

    // The keyboard, as a user would: four down from Two Tents is the accordion of four.
    menu->setFocus();
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(menu->currentText(), "Accordion of 4");
    toggle("cboxNewPictureHorizontal");
    EXPECT_EQ(preferences().value(Preferences::newPictureLayout), "accordion-4");
    EXPECT_EQ(NewPictureLayout::of(preferences()),
              FoldLayout::accordion(4, FoldLayout::Axis::horizontal));

    restart();
    showPreferences();
    EXPECT_EQ(control<QComboBox>("menuNewPictureLayout")->currentText(), "Accordion of 4");
    EXPECT_TRUE(control<QCheckBox>("cboxNewPictureHorizontal")->isChecked());
    // A name this Pleatora does not know opens pictures as the classic.
    preferences().setValue(Preferences::newPictureLayout, "fan");
    EXPECT_EQ(
        NewPictureLayout::of(preferences()),
        FoldLayout::twoTents(FoldLayout::Axis::horizontal).withAxis(FoldLayout::Axis::vertical));
}

TEST_F(PreferencesWindowTest, WindowIsKeptAndReopensWhereItWas) {
    launch();
    QWidget* window = showPreferences();
    window->move(300, 240);
    ASSERT_TRUE(waitFor([window] { return window->pos() == QPoint(300, 240); }));
    toggle("cboxCopyWithShadow");
    window->close();

    // The same controller, the controls as last set.
    EXPECT_EQ(showPreferences(), window);
    EXPECT_FALSE(control<QCheckBox>("cboxCopyWithShadow")->isChecked());

    window->close();
    restart();
    QWidget* reopened = showPreferences();
    EXPECT_TRUE(waitFor([reopened] { return reopened->pos() == QPoint(300, 240); }))
        << reopened->pos().x() << "," << reopened->pos().y();
    EXPECT_FALSE(control<QCheckBox>("cboxCopyWithShadow")->isChecked());
}

TEST_F(PreferencesWindowTest, ShadingSliderIsStoredAndEveryDocumentFollowsLive) {
    launch({picture("first.png"), picture("second.png")});
    // Tilted away from the light, where shading shows.
    for (size_t i : {0, 1}) {
        document(i).document().setPitch(-20);
        document(i).updateDisplay();
    }
    const QImage unshaded[] = {shownPicture(0), shownPicture(1)};
    showPreferences();

    slideTo("sliderShading", Qt::Key_End);
    EXPECT_EQ(preferences().value(Preferences::shading), 100);
    EXPECT_EQ(valueShown("labelShadingValue"), "100%");
    for (size_t i : {0, 1}) {
        EXPECT_EQ(document(i).renderer().shading(), 1.0f) << i;
        EXPECT_NE(shownPicture(i), unshaded[i]) << i;
    }

    // Back to none, the documents look exactly as before.
    slideTo("sliderShading", Qt::Key_Home);
    EXPECT_EQ(preferences().value(Preferences::shading), 0);
    EXPECT_EQ(valueShown("labelShadingValue"), "0%");
    EXPECT_EQ(shownPicture(0), unshaded[0]);
    EXPECT_EQ(shownPicture(1), unshaded[1]);
}

TEST_F(PreferencesWindowTest, ShadowSlidersChangeTheShadowLiveAndComeBackAfterRestart) {
    launch({picture("first.png"), picture("second.png")});
    const int usualNear = shadowBelowSheet(1, 8);
    ASSERT_GT(usualNear, 0);
    ASSERT_GT(shadowBelowSheet(1, 20), 0);
    showPreferences();

    slideTo("sliderShadowOpacity", Qt::Key_End);
    EXPECT_EQ(preferences().value(Preferences::shadowOpacity), 100);
    EXPECT_EQ(valueShown("labelShadowOpacityValue"), "100%");
    EXPECT_EQ(document(0).presenter().shadow().opacity(), 1.0);
    EXPECT_GT(shadowBelowSheet(1, 8), usualNear * 3 / 2);

    // The sharpest shadow reaches 6 points beyond its offset of 6.
    slideTo("sliderShadowBlur", Qt::Key_Home);
    EXPECT_EQ(preferences().value(Preferences::shadowBlur), 6);
    EXPECT_EQ(valueShown("labelShadowBlurValue"), "6 pt");
    EXPECT_EQ(document(0).presenter().shadow().blurRadius(), 6.0);
    EXPECT_EQ(shadowBelowSheet(1, 20), 0);

    slideTo("sliderShadowOffset", Qt::Key_End);
    EXPECT_EQ(preferences().value(Preferences::shadowOffset), 24);
    EXPECT_EQ(valueShown("labelShadowOffsetValue"), "24 pt");
    EXPECT_EQ(document(0).presenter().shadow().offset(), 24.0);
    EXPECT_GT(shadowBelowSheet(1, 26), 0);

    restart({picture()});
    EXPECT_EQ(document(0).presenter().shadow().offset(), 24.0);
    showPreferences();
    EXPECT_EQ(control<QSlider>("sliderShadowOpacity")->value(), 100);
    EXPECT_EQ(control<QSlider>("sliderShadowBlur")->value(), 6);
    EXPECT_EQ(control<QSlider>("sliderShadowOffset")->value(), 24);
    EXPECT_EQ(valueShown("labelShadowOffsetValue"), "24 pt");
}

TEST_F(PreferencesWindowTest, ShortcutsWorkWhileTheColourChooserIsInFront) {
    launch({picture()});
    showPreferences();
    auto* well = control<ColorWell>("cwellCreaseLineColor");
    QTest::mouseClick(well, Qt::LeftButton);
    QPointer<QColorDialog> chooser = well->colorDialog();
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(chooser));
    chooser->activateWindow();
    ASSERT_TRUE(waitFor([&chooser] { return QApplication::activeWindow() == chooser; }));

    QSignalSpy quit(application().menus().quitAction(), &QAction::triggered);
    QTest::keyClick(chooser, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1);

    // Preferences brings the preferences window in front of its chooser.
    QTest::keyClick(chooser, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitForWindowActive(application().preferencesController()->window()));

    // Close closes the chooser, as its title bar's button would, and nothing else.
    chooser->activateWindow();
    ASSERT_TRUE(waitFor([&chooser] { return QApplication::activeWindow() == chooser; }));
    QTest::keySequence(chooser, QKeySequence::Close);
    EXPECT_TRUE(waitFor([&chooser] { return chooser.isNull() || !chooser->isVisible(); }));
    EXPECT_TRUE(application().preferencesController()->window()->isVisible());
    EXPECT_EQ(documentCount(), 1u);
}

TEST_F(PreferencesWindowTest, PlaceIsKeptWhenTheWindowMovesNotOnlyWhenItCloses) {
    launch();
    QWidget* window = showPreferences();
    window->move(320, 260);
    ASSERT_TRUE(waitFor([window] { return window->pos() == QPoint(320, 260); }));

    // Still open, as it would be when Pleatora crashed.
    const QString file = settings().fileName();
    EXPECT_TRUE(waitFor([window, &file] {
        return QSettings(file, QSettings::NativeFormat).value("PrefWindow").toByteArray() ==
               window->saveGeometry();
    }));
}
