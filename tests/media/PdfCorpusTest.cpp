// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Damaged and hostile PDFs, made here from a sound one: each is refused with a reason or read,
// none crashes, hangs or takes the machine's memory.
#include "media/PictureReader.h"
#include "tests/media/TestPdf.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

QByteArray stream(const QByteArray& dictionary, const QByteArray& data) {
    return "<< " + dictionary + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" +
           data + "\nendstream";
}

// Two pages, the second drawing an image.
QList<QByteArray> soundObjects(const QByteArray& imageSize = "/Width 2 /Height 2") {
    const QByteArray drawing = "1 0 0 rg 10 10 200 300 re f\n";
    return {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /TrimBox [9 9 586 833] "
        "/Contents 4 0 R >>",
        stream("", drawing),
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 6 0 R "
        "/Resources << /XObject << /Im1 7 0 R >> >> >>",
        stream("", "q 500 0 0 700 40 60 cm /Im1 Do Q\n"),
        stream(imageSize + " /ColorSpace /DeviceRGB /BitsPerComponent 8",
               QByteArray(12, char(0x80))),
    };
}

QList<QByteArray> corpus() {
    QRandomGenerator random(20261208);
    const QByteArray sound = pdfOfObjects(soundObjects());
    QList<QByteArray> files;
    for (int i = 1; i <= 50; ++i) // truncated
        files.append(sound.left(sound.size() * i / 51));
    for (int i = 0; i < 80; ++i) { // bits flipped
        QByteArray flipped = sound;
        for (int flips = 1 + i % 8; flips > 0; --flips)
            flipped[random.bounded(int(flipped.size()))] ^= char(1 << random.bounded(8));
        files.append(flipped);
    }
    for (int i = 0; i < 20; ++i) { // the xref table pointing elsewhere
        QByteArray shifted = sound;
        const qsizetype table = shifted.indexOf("xref\n") + 5;
        shifted.insert(table + 12 + random.bounded(60), QByteArray::number(random.bounded(999)));
        files.append(shifted);
    }
    for (const QByteArray box : {"[0 0 1e30 1e30]", "[0 0 -5 -5]", "[0 0 99999999 842]",
                                 "[nan 0 1 1]", "[0 0 595]", "[1e-30 0 2e-30 1]"}) {
        QList<QByteArray> objects = soundObjects();
        objects[2].replace("[0 0 595 842]", box);
        objects[4].replace("[0 0 595 842]", box);
        files.append(pdfOfObjects(objects));
    }
    for (const QByteArray kids : {"[2 0 R]", "[3 0 R 2 0 R]", "[1 0 R]", "[3 0 R 3 0 R 3 0 R]"}) {
        QList<QByteArray> objects = soundObjects(); // a page tree with a cycle
        objects[1].replace("[3 0 R 5 0 R]", kids);
        files.append(pdfOfObjects(objects));
        objects[2].replace("/Parent 2 0 R", "/Parent 3 0 R /Kids [2 0 R] /Type /Pages");
        files.append(pdfOfObjects(objects));
    }
    for (const QByteArray size : {"/Width 100000 /Height 100000", "/Width 100000 /Height 1",
                                  "/Width -1 /Height 5", "/Width 2147483647 /Height 2147483647"}) {
        files.append(pdfOfObjects(soundObjects(size)));
        QList<QByteArray> objects = soundObjects(size);
        objects[6] = stream(size + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter "
                                   "/FlateDecode",
                            QByteArray(64, 'x'));
        files.append(pdfOfObjects(objects));
    }
    for (int i = 0; i < 30; ++i) { // noise after the signature
        QByteArray noise = "%PDF-1.4\n";
        for (int n = random.bounded(4000); n > 0; --n)
            noise.append(char(random.bounded(256)));
        files.append(noise);
    }
    return files;
}

TEST(PdfCorpusTest, EveryDamagedFileIsReadOrRefusedWithAReason) {
    QTemporaryDir folder;
    const QList<QByteArray> files = corpus();
    ASSERT_GE(files.size(), 200);
    qint64 slowest = 0;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = folder.filePath(QStringLiteral("%1.pdf").arg(i));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(files[i]);
        file.close();
        QElapsedTimer clock;
        clock.start();
        for (const int page : {1, 2}) {
            const PictureReader::Result read = PictureReader::read(
                QFile::encodeName(path), [](QSize) { return QSize(595, 842); }, {}, {page, 0});
            EXPECT_NE(read.picture.isNull(), read.failure.isEmpty()) << "file " << i;
        }
        slowest = std::max(slowest, clock.elapsed());
    }
    // Hangs, not speed: a sound page of this size draws in milliseconds.
    EXPECT_LT(slowest, 20000);
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_SELF, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1024L * 1024) << "kilobytes at the peak";
}

} // namespace
