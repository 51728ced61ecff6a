// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/PreferencesDefaults.h"
#include "settings/ApplicationSettings.h"
#include "tests/CapturedWarnings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class PreferencesDefaultsTest : public ::testing::Test {
protected:
    QString path() const { return _dir.filePath(QStringLiteral("Pleatora.conf")); }
    // A value as another version of Pleatora, or a damaged file, could have left it.
    void storeRaw(const QString& key, const QVariant& value) const {
        QSettings(path(), QSettings::NativeFormat).setValue(key, value);
    }
    // As a new reader of the file finds it.
    int readInt(const QString& key) const {
        ApplicationSettings settings(path());
        return PreferencesDefaults(settings).intForKey(key);
    }

    QTemporaryDir _dir;
};

TEST_F(PreferencesDefaultsTest, EmptyStoreGivesRegisteredValuesQuietly) {
    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    PreferencesDefaults defaults(settings);
    EXPECT_EQ(defaults.creaseLineColor(), QColor::fromRgbF(1, 0, 0, 0.2f));
    EXPECT_EQ(defaults.controlLineColor(), QColor::fromRgbF(1, 0, 0, 0.8f));
    EXPECT_NEAR(defaults.creaseLineColor().alphaF(), 0.2, 1e-4);
    EXPECT_NEAR(defaults.controlLineColor().alphaF(), 0.8, 1e-4);
    EXPECT_TRUE(defaults.showCreaseLine());
    EXPECT_TRUE(defaults.showControlLine());
    EXPECT_TRUE(defaults.copyWithCreaseLine());
    EXPECT_TRUE(defaults.copyWithShadow());
    EXPECT_EQ(defaults.imageFormat(), "TIFF");
    EXPECT_TRUE(defaults.rememberFolds());
    EXPECT_EQ(defaults.shading(), 0);
    EXPECT_EQ(defaults.shadowOpacity(), 50);
    EXPECT_EQ(defaults.shadowBlur(), 24);
    EXPECT_EQ(defaults.shadowOffset(), 6);
    EXPECT_TRUE(defaults.boolForKey(DefaultsKey::disabledDictationMenuItem));
    EXPECT_TRUE(defaults.boolForKey(DefaultsKey::disabledCharacterPaletteMenuItem));
    EXPECT_TRUE(warnings.messages().isEmpty());
}

TEST_F(PreferencesDefaultsTest, WrittenValuesComeBackExactlyInANewReader) {
    const QColor translucentTeal = QColor::fromRgbF(0.1f, 0.6f, 0.55f, 0.37f);
    const QColor hsvColour = QColor::fromHsvF(0.7f, 0.5f, 0.9f, 0.05f);
    {
        ApplicationSettings settings(path());
        PreferencesDefaults writer(settings);
        writer.setColor(DefaultsKey::creaseLineColor, translucentTeal);
        writer.setColor(DefaultsKey::controlLineColor, hsvColour);
        writer.setBool(DefaultsKey::showCreaseLine, false);
        writer.setBool(DefaultsKey::copyWithShadow, false);
        writer.setString(DefaultsKey::imageFormat, "PDF");
        writer.setBool(DefaultsKey::rememberFolds, false);
        writer.setInt(DefaultsKey::shading, 70);
        writer.setInt(DefaultsKey::shadowOffset, 0);
    }
    ApplicationSettings settings(path());
    PreferencesDefaults reader(settings);
    EXPECT_EQ(reader.creaseLineColor(), translucentTeal);
    EXPECT_EQ(reader.controlLineColor(), hsvColour);
    EXPECT_EQ(reader.controlLineColor().spec(), QColor::Hsv);
    EXPECT_FALSE(reader.showCreaseLine());
    EXPECT_TRUE(reader.showControlLine());
    EXPECT_FALSE(reader.copyWithShadow());
    EXPECT_EQ(reader.imageFormat(), "PDF");
    EXPECT_FALSE(reader.rememberFolds());
    EXPECT_EQ(reader.shading(), 70);
    EXPECT_EQ(reader.shadowOffset(), 0);
    EXPECT_EQ(reader.shadowBlur(), 24);
}

TEST_F(PreferencesDefaultsTest, StoredValueOfTheWrongTypeReadsAsTheRegisteredDefault) {
    storeRaw(DefaultsKey::creaseLineColor, QStringLiteral("not a colour"));
    storeRaw(DefaultsKey::controlLineColor, 42);
    storeRaw(DefaultsKey::showCreaseLine, QStringLiteral("perhaps"));
    storeRaw(DefaultsKey::showControlLine, QColor(Qt::blue));
    storeRaw(DefaultsKey::imageFormat, QColor(Qt::green));
    storeRaw(DefaultsKey::shading, QStringLiteral("lots"));
    storeRaw(DefaultsKey::shadowOpacity, true);
    storeRaw(DefaultsKey::shadowBlur, QColor(Qt::red));

    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    PreferencesDefaults defaults(settings);
    EXPECT_EQ(defaults.creaseLineColor(), QColor::fromRgbF(1, 0, 0, 0.2f));
    EXPECT_EQ(defaults.controlLineColor(), QColor::fromRgbF(1, 0, 0, 0.8f));
    EXPECT_TRUE(defaults.showCreaseLine());
    EXPECT_TRUE(defaults.showControlLine());
    EXPECT_EQ(defaults.imageFormat(), "TIFF");
    EXPECT_EQ(defaults.shading(), 0);
    EXPECT_EQ(defaults.shadowOpacity(), 50);
    EXPECT_EQ(defaults.shadowBlur(), 24);
    // One warning for each value read that could not be used.
    EXPECT_EQ(warnings.messages().size(), 8);
}

TEST_F(PreferencesDefaultsTest, ExportShadowAndLinesFollowCopyUntilChosen) {
    ApplicationSettings settings(path());
    PreferencesDefaults defaults(settings);
    defaults.setBool(DefaultsKey::copyWithShadow, false);
    EXPECT_FALSE(defaults.exportWithShadow());
    EXPECT_TRUE(defaults.exportWithCreaseLine());
    defaults.setBool(DefaultsKey::exportWithShadow, true);
    defaults.setBool(DefaultsKey::exportWithCreaseLine, false);
    EXPECT_TRUE(defaults.exportWithShadow());
    EXPECT_FALSE(defaults.exportWithCreaseLine());
    EXPECT_TRUE(defaults.copyWithCreaseLine());
}

TEST_F(PreferencesDefaultsTest, NumbersComeBackWhetherStoredAsNumbersOrText) {
    ApplicationSettings settings(path());
    PreferencesDefaults defaults(settings);
    EXPECT_EQ(defaults.intForKey(DefaultsKey::exportScale), 1);
    EXPECT_EQ(defaults.intForKey(DefaultsKey::exportPixelWidth), 4000);
    defaults.setInt(DefaultsKey::exportScale, 3);
    storeRaw(DefaultsKey::exportPixelWidth, QStringLiteral("7200"));
    EXPECT_EQ(readInt(DefaultsKey::exportScale), 3);
    EXPECT_EQ(readInt(DefaultsKey::exportPixelWidth), 7200);
    storeRaw(DefaultsKey::exportPixelWidth, QStringLiteral("wide"));
    EXPECT_EQ(readInt(DefaultsKey::exportPixelWidth), 4000);
}

TEST_F(PreferencesDefaultsTest, PostingNotifiesEveryReceiverBeforeReturning) {
    ApplicationSettings settings(path());
    PreferencesDefaults defaults(settings);
    QSignalSpy spy(&defaults, &PreferencesDefaults::handleDefaultsChange);
    bool reloaded = false;
    QObject::connect(
        &defaults, &PreferencesDefaults::handleDefaultsChange, &defaults,
        [&] { reloaded = !defaults.showControlLine(); }, Qt::DirectConnection);

    defaults.setBool(DefaultsKey::showControlLine, false);
    defaults.postNotification();

    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(reloaded);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
