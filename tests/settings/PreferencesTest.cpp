// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Preferences.h"
#include "settings/ApplicationSettings.h"
#include "tests/CapturedWarnings.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class PreferencesTest : public ::testing::Test {
protected:
    QString path() const { return _dir.filePath(QStringLiteral("Pleatora.conf")); }
    // A value as another version of Pleatora, or a damaged file, could have left it.
    template <typename T>
    void storeRaw(const Preference<T>& preference, const QVariant& value) const {
        QSettings(path(), QSettings::NativeFormat).setValue(preference.key, value);
    }
    // As a new reader of the file finds it.
    int readInt(const Preference<int>& preference) const {
        ApplicationSettings settings(path());
        return Preferences(settings).value(preference);
    }

    QTemporaryDir _dir;
};

TEST_F(PreferencesTest, EmptyStoreGivesRegisteredValuesQuietly) {
    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    Preferences preferences(settings);
    EXPECT_EQ(preferences.value(Preferences::creaseLineColor), QColor::fromRgbF(1, 0, 0, 0.2f));
    EXPECT_EQ(preferences.value(Preferences::controlLineColor), QColor::fromRgbF(1, 0, 0, 0.8f));
    EXPECT_NEAR(preferences.value(Preferences::creaseLineColor).alphaF(), 0.2, 1e-4);
    EXPECT_NEAR(preferences.value(Preferences::controlLineColor).alphaF(), 0.8, 1e-4);
    EXPECT_TRUE(preferences.value(Preferences::showCreaseLine));
    EXPECT_TRUE(preferences.value(Preferences::showControlLine));
    EXPECT_TRUE(preferences.value(Preferences::copyWithCreaseLine));
    EXPECT_TRUE(preferences.value(Preferences::copyWithShadow));
    EXPECT_EQ(preferences.value(Preferences::imageFormat), "TIFF");
    EXPECT_TRUE(preferences.value(Preferences::rememberFolds));
    EXPECT_EQ(preferences.value(Preferences::shading), 0);
    EXPECT_EQ(preferences.value(Preferences::shadowOpacity), 50);
    EXPECT_EQ(preferences.value(Preferences::shadowBlur), 24);
    EXPECT_EQ(preferences.value(Preferences::shadowOffset), 6);
    EXPECT_TRUE(warnings.messages().isEmpty());
}

TEST_F(PreferencesTest, WrittenValuesComeBackExactlyInANewReader) {
    const QColor translucentTeal = QColor::fromRgbF(0.1f, 0.6f, 0.55f, 0.37f);
    const QColor hsvColour = QColor::fromHsvF(0.7f, 0.5f, 0.9f, 0.05f);
    {
        ApplicationSettings settings(path());
        Preferences writer(settings);
        writer.setValue(Preferences::creaseLineColor, translucentTeal);
        writer.setValue(Preferences::controlLineColor, hsvColour);
        writer.setValue(Preferences::showCreaseLine, false);
        writer.setValue(Preferences::copyWithShadow, false);
        writer.setValue(Preferences::imageFormat, "PDF");
        writer.setValue(Preferences::rememberFolds, false);
        writer.setValue(Preferences::shading, 70);
        writer.setValue(Preferences::shadowOffset, 0);
    }
    ApplicationSettings settings(path());
    Preferences reader(settings);
    EXPECT_EQ(reader.value(Preferences::creaseLineColor), translucentTeal);
    EXPECT_EQ(reader.value(Preferences::controlLineColor), hsvColour);
    EXPECT_EQ(reader.value(Preferences::controlLineColor).spec(), QColor::Hsv);
    EXPECT_FALSE(reader.value(Preferences::showCreaseLine));
    EXPECT_TRUE(reader.value(Preferences::showControlLine));
    EXPECT_FALSE(reader.value(Preferences::copyWithShadow));
    EXPECT_EQ(reader.value(Preferences::imageFormat), "PDF");
    EXPECT_FALSE(reader.value(Preferences::rememberFolds));
    EXPECT_EQ(reader.value(Preferences::shading), 70);
    EXPECT_EQ(reader.value(Preferences::shadowOffset), 0);
    EXPECT_EQ(reader.value(Preferences::shadowBlur), 24);
}

TEST_F(PreferencesTest, StoredValueOfTheWrongTypeReadsAsTheRegisteredDefault) {
    storeRaw(Preferences::creaseLineColor, QStringLiteral("not a colour"));
    storeRaw(Preferences::controlLineColor, 42);
    storeRaw(Preferences::showCreaseLine, QStringLiteral("perhaps"));
    storeRaw(Preferences::showControlLine, QColor(Qt::blue));
    storeRaw(Preferences::imageFormat, QColor(Qt::green));
    storeRaw(Preferences::shading, QStringLiteral("lots"));
    storeRaw(Preferences::shadowOpacity, true);
    storeRaw(Preferences::shadowBlur, QColor(Qt::red));

    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    Preferences preferences(settings);
    EXPECT_EQ(preferences.value(Preferences::creaseLineColor), QColor::fromRgbF(1, 0, 0, 0.2f));
    EXPECT_EQ(preferences.value(Preferences::controlLineColor), QColor::fromRgbF(1, 0, 0, 0.8f));
    EXPECT_TRUE(preferences.value(Preferences::showCreaseLine));
    EXPECT_TRUE(preferences.value(Preferences::showControlLine));
    EXPECT_EQ(preferences.value(Preferences::imageFormat), "TIFF");
    EXPECT_EQ(preferences.value(Preferences::shading), 0);
    EXPECT_EQ(preferences.value(Preferences::shadowOpacity), 50);
    EXPECT_EQ(preferences.value(Preferences::shadowBlur), 24);
    // One warning for each value read that could not be used.
    EXPECT_EQ(warnings.messages().size(), 8);
}

TEST_F(PreferencesTest, ExportShadowAndLinesFollowCopyUntilChosen) {
    ApplicationSettings settings(path());
    Preferences preferences(settings);
    preferences.setValue(Preferences::copyWithShadow, false);
    EXPECT_FALSE(preferences.value(Preferences::exportWithShadow));
    EXPECT_TRUE(preferences.value(Preferences::exportWithCreaseLine));
    preferences.setValue(Preferences::exportWithShadow, true);
    preferences.setValue(Preferences::exportWithCreaseLine, false);
    EXPECT_TRUE(preferences.value(Preferences::exportWithShadow));
    EXPECT_FALSE(preferences.value(Preferences::exportWithCreaseLine));
    EXPECT_TRUE(preferences.value(Preferences::copyWithCreaseLine));
}

TEST_F(PreferencesTest, NumbersComeBackWhetherStoredAsNumbersOrText) {
    ApplicationSettings settings(path());
    Preferences preferences(settings);
    EXPECT_EQ(preferences.value(Preferences::exportScale), 1);
    EXPECT_EQ(preferences.value(Preferences::exportPixelWidth), 4000);
    preferences.setValue(Preferences::exportScale, 3);
    storeRaw(Preferences::exportPixelWidth, QStringLiteral("7200"));
    EXPECT_EQ(readInt(Preferences::exportScale), 3);
    EXPECT_EQ(readInt(Preferences::exportPixelWidth), 7200);
    storeRaw(Preferences::exportPixelWidth, QStringLiteral("wide"));
    EXPECT_EQ(readInt(Preferences::exportPixelWidth), 4000);
}

TEST_F(PreferencesTest, WritingAChangeNotifiesEveryReceiverBeforeReturningAndOnlyThen) {
    ApplicationSettings settings(path());
    Preferences preferences(settings);
    QSignalSpy spy(&preferences, &Preferences::changed);
    bool reloaded = false;
    QObject::connect(
        &preferences, &Preferences::changed, &preferences,
        [&] { reloaded = !preferences.value(Preferences::showControlLine); }, Qt::DirectConnection);

    preferences.setValue(Preferences::showControlLine, false);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_TRUE(reloaded);

    // The same value again, or a number stored as text that reads the same, is no change.
    preferences.setValue(Preferences::showControlLine, false);
    storeRaw(Preferences::shadowBlur, QStringLiteral("30"));
    ApplicationSettings reread(path());
    Preferences rereading(reread);
    QSignalSpy rereadSpy(&rereading, &Preferences::changed);
    rereading.setValue(Preferences::shadowBlur, 30);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(rereadSpy.count(), 0);
    rereading.setValue(Preferences::shadowBlur, 31);
    EXPECT_EQ(rereadSpy.count(), 1);
}

TEST_F(PreferencesTest, ADamagedExportChoiceFollowsCopyAgain) {
    storeRaw(Preferences::copyWithCreaseLine, false);
    storeRaw(Preferences::exportWithCreaseLine, QStringLiteral("sometimes"));
    CapturedWarnings warnings("pleatora.settings");
    ApplicationSettings settings(path());
    EXPECT_FALSE(Preferences(settings).value(Preferences::exportWithCreaseLine));
    EXPECT_EQ(warnings.messages().size(), 1);
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
