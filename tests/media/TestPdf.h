// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QLineF>
#include <QList>
#include <QRectF>

#include <optional>

// Writes small PDFs with the boxes printers use, which Qt's and cairo's writers leave out.
struct TestPdfPage {
    QRectF mediaBox;
    std::optional<QRectF> cropBox;
    std::optional<QRectF> trimBox;
    QByteArray content; // the page's drawing operators

    // Operators that fill a rectangle, in PDF points from the bottom left.
    static QByteArray filled(const QRectF& rect, const QColor& colour);
    // Operators that stroke a line width points wide, in PDF points from the bottom left.
    static QByteArray stroked(const QLineF& line, double width, const QColor& colour);
};

QByteArray testPdf(const QList<TestPdfPage>& pages);
// A PDF of these objects, numbered from 1, with the catalogue first and a correct xref table.
QByteArray pdfOfObjects(const QList<QByteArray>& objects);
// The PDF locked with a user password by qpdf; empty when qpdf fails.
QByteArray encryptedPdf(const QByteArray& pdf);
