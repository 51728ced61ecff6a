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
