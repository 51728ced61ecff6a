// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutBox.h"
#include "AppFixture.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>

namespace {
QList<AboutBox*> visibleAboutBoxes() {
    QList<AboutBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<AboutBox*>(window); box && box->isVisible())
            boxes.append(box);
    return boxes;
}

QAction* actionNamed(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions)
        if (action->text() == text)
            return action;
    return nullptr;
}
} // namespace

using AboutBoxTest = AppFixture;

TEST_F(AboutBoxTest, ContextMenuShowsVersionLicenceHomePageAndQtVersionWithoutBlocking) {
    launch({picture()});
    QAction* about = actionNamed(application().menus().contextMenu()->actions(), "A&bout Pleatora");
    ASSERT_NE(about, nullptr);

    about->trigger();
    ASSERT_EQ(visibleAboutBoxes().size(), 1);
    AboutBox* box = visibleAboutBoxes().first();
    EXPECT_TRUE(box->text().contains(QStringLiteral("Pleatora " PLEATORA_VERSION)));
    EXPECT_TRUE(box->text().contains(QStringLiteral("href=\"" PLEATORA_HOMEPAGE "\"")));
    EXPECT_TRUE(box->informativeText().contains("GNU General Public License, version 3 or any"));
    EXPECT_TRUE(box->informativeText().contains(QString::fromLatin1(qVersion())));
    EXPECT_FALSE(box->isModal());
    for (auto* label : box->findChildren<QLabel*>())
        EXPECT_TRUE(label->openExternalLinks());
    // The document stays usable behind it.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A second About brings the same box forward rather than a second one.
    about->trigger();
    EXPECT_EQ(visibleAboutBoxes(), QList<AboutBox*>{box});

    const QPointer<AboutBox> closed = box;
    box->accept();
    runDeferredDeletes();
    EXPECT_TRUE(closed.isNull());
}

TEST_F(AboutBoxTest, StartWindowOffersItUnderHelp) {
    launch();
    QMenuBar* menuBar = application().startWindow().menuBar();
    QAction* help = actionNamed(menuBar->actions(), "&Help");
    ASSERT_NE(help, nullptr);
    ASSERT_NE(help->menu(), nullptr);
    EXPECT_EQ(actionNamed(help->menu()->actions(), "A&bout Pleatora"),
              application().menus().aboutAction());
}
