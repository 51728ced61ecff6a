// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/media/TestPdf.h"

#include <QFile>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

namespace {

QByteArray number(double value) {
    return QByteArray::number(value, 'f', 3);
}

QByteArray box(const QRectF& rect) {
    return "[" + number(rect.left()) + " " + number(rect.top()) + " " + number(rect.right()) + " " +
           number(rect.bottom()) + "]";
}

} // namespace

QByteArray TestPdfPage::filled(const QRectF& rect, const QColor& colour) {
    return number(colour.redF()) + " " + number(colour.greenF()) + " " + number(colour.blueF()) +
           " rg " + number(rect.x()) + " " + number(rect.y()) + " " + number(rect.width()) + " " +
           number(rect.height()) + " re f\n";
}

QByteArray TestPdfPage::stroked(const QLineF& line, double width, const QColor& colour) {
    return number(colour.redF()) + " " + number(colour.greenF()) + " " + number(colour.blueF()) +
           " RG " + number(width) + " w " + number(line.x1()) + " " + number(line.y1()) + " m " +
           number(line.x2()) + " " + number(line.y2()) + " l S\n";
}

// Objects: 1 the catalogue, 2 the page tree, then a page and its content stream for each page.
QByteArray testPdf(const QList<TestPdfPage>& pages) {
    QList<QByteArray> objects;
    QByteArray kids;
    for (int i = 0; i < pages.size(); ++i)
        kids += QByteArray::number(3 + 2 * i) + " 0 R ";
    objects.append("<< /Type /Catalog /Pages 2 0 R >>");
    objects.append("<< /Type /Pages /Kids [" + kids + "] /Count " +
                   QByteArray::number(pages.size()) + " >>");
    for (int i = 0; i < pages.size(); ++i) {
        const TestPdfPage& page = pages[i];
        QByteArray dictionary = "<< /Type /Page /Parent 2 0 R /MediaBox " + box(page.mediaBox);
        if (page.cropBox)
            dictionary += " /CropBox " + box(*page.cropBox);
        if (page.trimBox)
            dictionary += " /TrimBox " + box(*page.trimBox);
        dictionary += " /Contents " + QByteArray::number(4 + 2 * i) + " 0 R >>";
        objects.append(dictionary);
        objects.append("<< /Length " + QByteArray::number(page.content.size()) + " >>\nstream\n" +
                       page.content + "\nendstream");
    }
    return pdfOfObjects(objects);
}

QByteArray pdfOfObjects(const QList<QByteArray>& objects) {
    QByteArray pdf = "%PDF-1.7\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray encryptedPdf(const QByteArray& pdf) {
    QTemporaryDir folder;
    const QString plain = folder.filePath(QStringLiteral("plain.pdf"));
    const QString locked = folder.filePath(QStringLiteral("locked.pdf"));
    QFile file(plain);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    const int status = QProcess::execute(QStringLiteral("qpdf"),
                                         {QStringLiteral("--encrypt"), QStringLiteral("secret"),
                                          QStringLiteral("owner"), QStringLiteral("256"),
                                          QStringLiteral("--"), plain, locked});
    QFile result(locked);
    return status == 0 && result.open(QIODevice::ReadOnly) ? result.readAll() : QByteArray();
}
