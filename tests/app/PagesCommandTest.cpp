// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Pages...: a PDF's front and back pages, bleed, back turn and printed size chosen in the window.
#include "AppFixture.h"
#include "DialogSteps.h"
#include "app/PagesDialog.h"
#include "document/RememberedFolds.h"
#include "render/SheetRenderer.h"
#include "tests/media/TestPdf.h"
#include "window/DocumentWindow.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// A4 in points, page 1 blue and page 2 red.
const QRectF a4(0, 0, 595.28, 841.89);

template <typename Field> Field* field(PagesDialog& dialog, const char* name) {
    Field* found = dialog.findChild<Field*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

bool okEnabled(PagesDialog& dialog) {
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
}

class PagesCommandTest : public AppFixture {
protected:
    QString twoPagePdf() {
        const QString path = filePath(QStringLiteral("leaflet.pdf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testPdf({{a4, {}, {}, TestPdfPage::filled(a4, Qt::blue)},
                            {a4, {}, {}, TestPdfPage::filled(a4, Qt::red)}}));
        return path;
    }
    // The middle of what Copy gives: the front of the flat sheet.
    QColor middleOfFront() {
        const QImage image = document(0).image();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }
    // Opens Pages..., lets step fill it and gives whether it was accepted.
    void choosePages(const std::function<void(PagesDialog&)>& step) {
        DialogSteps steps;
        steps.then<PagesDialog>([&](PagesDialog& dialog) {
            step(dialog);
            dialog.accept();
        });
        EXPECT_TRUE(activate(document(0).window()));
        application().menus().pagesAction()->trigger();
        EXPECT_TRUE(steps.done());
    }
};

} // namespace

TEST_F(PagesCommandTest, ChoosingPagesTwoAndOneRedrawsTheFrontAndKeepsThePageOutOfTheBackPicture) {
    launch({twoPagePdf()});
    EXPECT_TRUE(document(0).window()->windowTitle().contains(QStringLiteral("A4, 210 x 297 mm")))
        << document(0).window()->windowTitle().toStdString();
    EXPECT_GT(middleOfFront().blue(), 2 * middleOfFront().red());

    choosePages([](PagesDialog& dialog) {
        EXPECT_EQ(field<QSpinBox>(dialog, "frontPage")->maximum(), 2);
        EXPECT_EQ(field<QSpinBox>(dialog, "backPage")->maximum(), 2);
        field<QSpinBox>(dialog, "frontPage")->setValue(2);
        field<QSpinBox>(dialog, "backPage")->setValue(1);
        field<QComboBox>(dialog, "backTurn")->setCurrentIndex(2);
    });
    EXPECT_GT(middleOfFront().red(), 2 * middleOfFront().blue());
    const Document::Printed& printed = document(0).document().printed();
    EXPECT_EQ(printed.page.page, 2);
    EXPECT_EQ(printed.backPage, 1);
    EXPECT_EQ(document(0).renderer().paperLook().backTurn, PaperLook::BackTurn::tumble);
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::picture);
    EXPECT_TRUE(document(0).document().backPicture().isEmpty());

    // The PDF's own back is no back picture file: it opens again from the PDF.
    document(0).document().setPitch(10);
    restart({filePath(QStringLiteral("leaflet.pdf"))});
    EXPECT_EQ(document(0).document().pitch(), 10) << "the fold is remembered";
    EXPECT_TRUE(document(0).document().backPicture().isEmpty());
    EXPECT_EQ(document(0).document().printed().backPage, 2);
    EXPECT_EQ(document(0).renderer().paperLook().back, PaperLook::Back::picture);
}

// Lengths are checked as typed: OK waits for a bleed and a custom size that read.
TEST_F(PagesCommandTest, BleedAndSheetSizeAreCheckedAndTheTitleShowsTheChosenSize) {
    launch({twoPagePdf()});
    choosePages([](PagesDialog& dialog) {
        auto* bleed = field<QLineEdit>(dialog, "bleed");
        auto* sheet = field<QComboBox>(dialog, "sheetSize");
        auto* custom = field<QLineEdit>(dialog, "customSheet");
        EXPECT_TRUE(bleed->isEnabled());
        EXPECT_FALSE(custom->isEnabled());
        const QList<QPair<QString, bool>> bleeds = {
            {"3mm", true}, {"0.125 in", true}, {"", true}, {"3", false}, {"2in", false}};
        for (const auto& [text, valid] : bleeds) {
            bleed->setText(text);
            EXPECT_EQ(okEnabled(dialog), valid) << text.toStdString();
        }
        bleed->setText(QStringLiteral("3mm"));
        sheet->setCurrentIndex(sheet->count() - 1);
        EXPECT_TRUE(custom->isEnabled());
        const QList<QPair<QString, bool>> sizes = {
            {"", false}, {"210x99", false}, {"210x99mm", true}, {"4 x 6 in", true}};
        for (const auto& [text, valid] : sizes) {
            custom->setText(text);
            EXPECT_EQ(okEnabled(dialog), valid) << text.toStdString();
        }
        custom->setText(QStringLiteral("210x99mm"));
    });
    EXPECT_TRUE(document(0).window()->windowTitle().endsWith(QStringLiteral("210 x 99 mm")))
        << document(0).window()->windowTitle().toStdString();
    EXPECT_NEAR(document(0).document().printed().page.bleedPoints, 3 * 72 / 25.4, 1e-9);

    // The size shown again, and back to the file's: the page less the bleed, as it has no TrimBox.
    choosePages([](PagesDialog& dialog) {
        EXPECT_EQ(field<QLineEdit>(dialog, "customSheet")->text(), QStringLiteral("210x99mm"));
        EXPECT_EQ(field<QLineEdit>(dialog, "bleed")->text(), QStringLiteral("3mm"));
        field<QComboBox>(dialog, "sheetSize")->setCurrentIndex(0);
    });
    EXPECT_TRUE(document(0).window()->windowTitle().endsWith(QStringLiteral("204 x 291 mm")))
        << document(0).window()->windowTitle().toStdString();
}

// A picture that is no PDF has only the back turn and the printed size.
TEST_F(PagesCommandTest, APictureTakesOnlyTheBackTurnAndTheSheetSize) {
    launch({picture()});
    const QString plainTitle = document(0).window()->windowTitle();
    choosePages([](PagesDialog& dialog) {
        for (const char* name : {"frontPage", "backPage", "bleed"})
            EXPECT_FALSE(dialog.findChild<QWidget*>(QLatin1String(name))->isEnabled()) << name;
        EXPECT_TRUE(field<QComboBox>(dialog, "backTurn")->isEnabled());
        field<QComboBox>(dialog, "backTurn")->setCurrentIndex(1);
        field<QComboBox>(dialog, "sheetSize")->setCurrentText(QStringLiteral("Letter"));
    });
    EXPECT_EQ(document(0).window()->windowTitle(),
              plainTitle + QStringLiteral(" \u2014 Letter, 216 x 279 mm"));
    EXPECT_EQ(document(0).renderer().paperLook().backTurn, PaperLook::BackTurn::book);
    EXPECT_EQ(document(0).document().printed().pageCount, 0);
}
