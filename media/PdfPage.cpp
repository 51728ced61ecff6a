// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PdfPage.h"

#include "media/Failure.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>
#include <poppler-qt6.h>

#include <cmath>

namespace {

// Poppler reports what it repairs on stderr; a damaged file gets its reason from Pleatora.
void silencePoppler() {
    static const bool silenced = [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
        return true;
    }();
    Q_UNUSED(silenced);
}

QRectF rectOf(const poppler::rectf& rect) {
    return QRectF(rect.x(), rect.y(), rect.width(), rect.height()).normalized();
}

bool sensible(const QSizeF& size) {
    return size.width() >= 1 && size.height() >= 1 && size.width() <= PdfPage::largestSidePoints &&
           size.height() <= PdfPage::largestSidePoints;
}

} // namespace

bool PdfPage::isPdf(const QByteArray& head) {
    // Readers accept the signature anywhere in the first kilobyte.
    return head.left(1024).contains("%PDF-");
}

std::optional<PdfPage> PdfPage::open(const QByteArray& bytes, int number, double bleedPoints,
                                     QString* failure) {
    silencePoppler();
    const std::unique_ptr<poppler::document> boxes(
        poppler::document::load_from_raw_data(bytes.constData(), int(bytes.size())));
    std::shared_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!boxes || !document) {
        if (boxes && boxes->is_locked())
            Failure::fail(failure, tr("The PDF is protected by a password."));
        else
            Failure::fail(failure, tr("The PDF is damaged beyond repair."));
        return std::nullopt;
    }
    if (boxes->is_locked() || document->isLocked()) {
        Failure::fail(failure, tr("The PDF is protected by a password."));
        return std::nullopt;
    }
    const int count = document->numPages();
    if (count < 1 || boxes->pages() != count) {
        Failure::fail(failure, tr("The PDF has no pages."));
        return std::nullopt;
    }
    if (number < 1 || number > count) {
        Failure::fail(failure,
                      count == 1 ? tr("The PDF has 1 page, no page %1.").arg(number)
                                 : tr("The PDF has %1 pages, no page %2.").arg(count).arg(number));
        return std::nullopt;
    }
    const std::unique_ptr<poppler::page> page(boxes->create_page(number - 1));
    if (!page) {
        Failure::fail(failure, tr("Page %1 of the PDF is damaged beyond repair.").arg(number));
        return std::nullopt;
    }
    const QRectF crop = rectOf(page->page_rect(poppler::crop_box));
    QRectF trim = rectOf(page->page_rect(poppler::trim_box)).intersected(crop);
    // A page without a TrimBox reports its CropBox: the bleed, if any, is what the user says.
    if (trim == crop)
        trim = crop.adjusted(bleedPoints, bleedPoints, -bleedPoints, -bleedPoints);
    if (!sensible(crop.size()) || !sensible(trim.size())) {
        Failure::fail(failure, tr("Page %1 of the PDF is %2 x %3 points, no printable size.")
                                   .arg(number)
                                   .arg(trim.width(), 0, 'f', 0)
                                   .arg(trim.height(), 0, 'f', 0));
        return std::nullopt;
    }
    // PDF space runs up from the bottom; pictures run down from the top of the crop box.
    const QRectF inCrop(trim.left() - crop.left(), crop.bottom() - trim.bottom(), trim.width(),
                        trim.height());
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    return PdfPage(std::move(document), number - 1, count, inCrop, crop.size());
}

PdfPage::PdfPage(std::shared_ptr<Poppler::Document> document, int index, int pageCount, QRectF trim,
                 QSizeF crop)
    : _document(std::move(document)), _index(index), _pageCount(pageCount), _trim(trim),
      _crop(crop) {}

QImage PdfPage::render(QSize pixels, const std::function<bool()>& shouldStop,
                       QString* failure) const {
    const std::unique_ptr<Poppler::Page> page(_document->page(_index));
    if (!page || pixels.isEmpty()) {
        Failure::fail(failure, tr("Page %1 of the PDF is damaged beyond repair.").arg(_index + 1));
        return QImage();
    }
    const double xDpi = 72.0 * pixels.width() / _trim.width();
    const double yDpi = 72.0 * pixels.height() / _trim.height();
    const int left = int(std::lround(_trim.left() * xDpi / 72));
    const int top = int(std::lround(_trim.top() * yDpi / 72));
    const auto stop = [](const QVariant& payload) {
        const auto* callback = static_cast<const std::function<bool()>*>(payload.value<void*>());
        return *callback && (*callback)();
    };
    QImage picture = page->renderToImage(
        xDpi, yDpi, left, top, pixels.width(), pixels.height(), Poppler::Page::Rotate0, nullptr,
        nullptr, stop,
        QVariant::fromValue(const_cast<void*>(static_cast<const void*>(&shouldStop))));
    if (picture.isNull() || (shouldStop && shouldStop())) {
        Failure::fail(failure, tr("Page %1 of the PDF could not be drawn.").arg(_index + 1));
        return QImage();
    }
    return picture;
}
