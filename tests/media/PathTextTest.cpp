// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PathText.h"

#include <QList>

#include <gtest/gtest.h>

// Whatever bytes a name holds come back exactly, UTF-8 or not, and show on one line.
TEST(PathTextTest, NamesKeepTheirBytesAndShowOnOneLine) {
    const QList<QByteArray> names = {
        "plain.png",
        "caf\xc3\xa9 \xf0\x9f\x93\x84.png", // é and a four-byte character
        "pic\xff.png",                      // a stray byte
        "\xc3(\xe2\x82.png\xc0\xaf",        // cut-off and overlong sequences
        "\xed\xa0\x80\xf4\x90\x80\x80.png", // an encoded surrogate, past U+10FFFF
        "\xf0\x90\x82\x80\xdc\x80",         // U+10080, whose low surrogate is an escape's
    };
    for (const QByteArray& name : names)
        EXPECT_EQ(PathText::toBytes(PathText::fromBytes(name)), name) << name.toHex().constData();
    EXPECT_EQ(PathText::fromBytes("caf\xc3\xa9"), QStringLiteral("café"));

    EXPECT_EQ(PathText::shown(QByteArray("a\nb\tc\rd\\e\x01\x7f\xff.png")),
              QStringLiteral("a\\nb\\tc\\rd\\\\e\\x01\\x7f\\xff.png"));
    EXPECT_EQ(PathText::shown(QByteArray("caf\xc3\xa9.png")), QStringLiteral("café.png"));
}

// A name too long for a message line shows by its two ends; the cut never splits a character.
TEST(PathTextTest, LongNamesShowTheirStartAndEnd) {
    const QByteArray emoji = "\xf0\x9f\x93\x84"; // two UTF-16 units
    struct Case {
        QByteArray name;
        QString start;
        QString end;
        bool shortened;
    };
    const Case cases[] = {
        {QByteArray(300, 'a'), QString(300, u'a'), QString(), false},
        {"start/" + QByteArray(10 << 20, 'x') + "/end.png", "start/xxx", "xxx/end.png", true},
        {QByteArray(301, 'a'), "aaa", "aaa", true},
        // Escapes count as shown.
        {QByteArray(100, '\n'), "\\n\\n", "\\n\\n", false},
        {QByteArray(151, '\n'), "\\n\\n", "\\n\\n", true},
        // Pairs across either cut stay whole.
        {QByteArray(139, 'a') + emoji.repeated(100) + QByteArray(139, 'b'), QString(139, u'a'),
         QString(139, u'b'), true},
        {"a" + emoji.repeated(200), "a", QString::fromUtf8(emoji), true},
        // Cut as bytes first, in the middle of a character, when far too long.
        {"ab" + emoji.repeated(1000) + "x", "ab" + QString::fromUtf8(emoji), "x", true},
    };
    for (const Case& c : cases) {
        const QString shown = PathText::shown(c.name);
        SCOPED_TRACE(c.name.left(20).toStdString());
        EXPECT_TRUE(shown.startsWith(c.start));
        EXPECT_TRUE(shown.endsWith(c.end));
        EXPECT_EQ(shown.contains(u'…'), c.shortened);
        EXPECT_LE(shown.size(), 300);
        EXPECT_FALSE(shown.contains(QStringLiteral("\\x"))); // no character broken into bytes
        for (qsizetype i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].isHighSurrogate(),
                      i + 1 < shown.size() && shown[i + 1].isLowSurrogate())
                << "at " << i;
        }
    }
}
