#include "AppFixture.h"
#include "app/ColorWell.h"
#include "app/PreferencesController.h"
#include "window/MyView.h"
#include "window/MyWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QTest>

namespace {
const QColor translucentBlue(0, 64, 255, 128);
}

class PreferencesWindowTest : public AppFixture {
protected:
    QWidget* showPreferences() {
        delegate().showPreferences();
        QWidget* window = delegate().preferenceController()->window();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }
    template <typename Control> Control* control(const char* name) {
        auto* found = delegate().preferenceController()->window()->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The space bar, as a user tabbing through the window would; quick mouse clicks at the same
    // spot of two boxes could count as a double click.
    void toggle(const char* name) { QTest::keyClick(control<QCheckBox>(name), Qt::Key_Space); }
    QImage shownPicture(size_t index) { return document(index).window()->contentView()->image(); }
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
}

TEST_F(PreferencesWindowTest, EachCheckBoxWritesItsOwnKeyAndDocumentsRedrawAtOnce) {
    launch({picture("first.png"), picture("second.png")});
    showPreferences();
    const std::pair<const char*, std::function<bool()>> boxes[] = {
        {"cboxShowCreaseLine", [this] { return defaults().showCreaseLine(); }},
        {"cboxShowControlLine", [this] { return defaults().showControlLine(); }},
        {"cboxCopyWithCreaseLine", [this] { return defaults().copyWithCreaseLine(); }},
        {"cboxCopyWithShadow", [this] { return defaults().copyWithShadow(); }},
        {"cboxRememberFolds", [this] { return defaults().rememberFolds(); }},
    };
    for (const auto& [name, stored] : boxes) {
        toggle(name);
        EXPECT_FALSE(stored()) << name;
    }
    toggle("cboxShowCreaseLine");
    EXPECT_TRUE(defaults().showCreaseLine());
    EXPECT_FALSE(defaults().showControlLine());

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
    EXPECT_EQ(defaults().creaseLineColor(), translucentBlue);
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
    EXPECT_EQ(defaults().controlLineColor(), translucentBlue);
    well->colorDialog()->reject();

    EXPECT_EQ(well->color(), original);
    EXPECT_EQ(defaults().controlLineColor(), original);
}

TEST_F(PreferencesWindowTest, PdfChoiceSurvivesARestartAndTheNextCopyIsPdf) {
    launch({picture()});
    showPreferences();
    auto* format = control<QComboBox>("menuImageFormat");
    format->setFocus();
    QTest::keyClick(format, Qt::Key_Down);
    EXPECT_EQ(defaults().imageFormat(), "PDF");
    EXPECT_EQ(delegate().imageFormat(), "PDF");

    restart({picture()});
    ASSERT_TRUE(activate(document(0).window()));
    delegate().copy();
    EXPECT_TRUE(waitFor(
        [] { return QApplication::clipboard()->mimeData()->hasFormat("application/pdf"); }));
    EXPECT_TRUE(QApplication::clipboard()->mimeData()->data("application/pdf").startsWith("%PDF"));
    showPreferences();
    EXPECT_EQ(control<QComboBox>("menuImageFormat")->currentText(), "PDF");

    // Back to TIFF: the very next Copy gives the picture itself.
    QTest::keyClick(control<QComboBox>("menuImageFormat"), Qt::Key_Up);
    ASSERT_TRUE(activate(document(0).window()));
    delegate().copy();
    EXPECT_TRUE(waitFor([] { return QApplication::clipboard()->mimeData()->hasImage(); }));
}

TEST_F(PreferencesWindowTest, UnknownStoredFormatSelectsPdf) {
    launch();
    defaults().setString(DefaultsKey::imageFormat, "JPEG");
    showPreferences();
    EXPECT_EQ(control<QComboBox>("menuImageFormat")->currentIndex(), 1);
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
