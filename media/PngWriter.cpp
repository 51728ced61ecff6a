// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngWriter.h"
#include "media/PngChunkWriter.h"
#include "media/PngRowFilter.h"

#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <deque>
#include <future>
#include <libdeflate.h>
#include <memory>
#include <thread>
#include <zlib.h>

namespace {

// Up to this many pixels the filtered picture and its compressed copy are held whole, for
// libdeflate; larger pictures go out band by band, so memory stays bounded.
constexpr qint64 wholePictureLimit = 8'000'000;
// libdeflate's fastest level already compresses better than zlib's level 2 did; bands keep
// zlib's level 2, so large files stay no larger than before (png_encode_bench).
constexpr int wholePictureLevel = 1;
constexpr int bandLevel = 2;
// Large enough that the full flushes between bands cost nothing measurable.
constexpr size_t bandBytes = size_t(4) << 20;

QString encoderFailure(const QString& reason) {
    return QCoreApplication::translate("PngWriter", "The PNG encoder failed: %1").arg(reason);
}

// The picture as PNG stores it: straight alpha, and without alpha when it has none.
struct StoredPicture {
    const QImage& picture;
    QImage::Format format;

    int pixelBytes() const { return format == QImage::Format_RGBA8888 ? 4 : 3; }
    size_t rowLength() const { return size_t(picture.width()) * size_t(pixelBytes()); }

    // Converted a strip at a time rather than whole: a converted copy of a large picture would
    // cost as much memory as the picture, and its fresh pages as much time as the filter.
    QImage rows(int first, int end) const {
        QImage strip(picture.constScanLine(first), picture.width(), end - first,
                     picture.bytesPerLine(), picture.format());
        strip.setColorTable(picture.colorTable());
        return strip.convertToFormat(format);
    }
};

constexpr int stripRows = 64;

// Rows [first, end) with Paeth, each behind its filter byte. Left uninitialised: every byte is
// written, and zeroing megabytes costs as much as filtering them.
struct FilteredRows {
    std::unique_ptr<uint8_t[]> bytes;
    size_t length = 0;
};

FilteredRows filteredRows(const StoredPicture& stored, int first, int end) {
    const size_t length = stored.rowLength();
    FilteredRows filtered{nullptr, (length + 1) * size_t(end - first)};
    filtered.bytes = std::make_unique_for_overwrite<uint8_t[]>(filtered.length);
    uint8_t* out = filtered.bytes.get();
    QImage above = first > 0 ? stored.rows(first - 1, first) : QImage();
    for (int stripFirst = first; stripFirst < end; stripFirst += stripRows) {
        const QImage strip = stored.rows(stripFirst, std::min(end, stripFirst + stripRows));
        for (int y = 0; y < strip.height(); ++y, out += length + 1) {
            const uint8_t* up = y > 0 ? strip.constScanLine(y - 1)
                                      : (above.isNull() ? nullptr : above.constScanLine(0));
            PngRowFilter::filter(PngRowFilter::Type::Paeth, strip.constScanLine(y), up, length,
                                 stored.pixelBytes(), out);
        }
        above = strip.copy(0, strip.height() - 1, strip.width(), 1);
    }
    return filtered;
}

bool writeWhole(const StoredPicture& stored, PngChunkWriter& chunks, QString* failure) {
    const FilteredRows rows = filteredRows(stored, 0, stored.picture.height());
    const std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)> compressor(
        libdeflate_alloc_compressor(wholePictureLevel), &libdeflate_free_compressor);
    size_t compressedLength = 0;
    std::unique_ptr<uint8_t[]> compressed;
    if (compressor) {
        const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), rows.length);
        compressed = std::make_unique_for_overwrite<uint8_t[]>(bound);
        compressedLength = libdeflate_zlib_compress(compressor.get(), rows.bytes.get(), rows.length,
                                                    compressed.get(), bound);
    }
    if (compressedLength == 0) {
        if (failure)
            *failure = encoderFailure(QStringLiteral("out of memory"));
        return false;
    }
    return chunks.appendData(compressed.get(), compressedLength);
}

struct Band {
    std::unique_ptr<uint8_t[]> deflated;
    size_t deflatedLength = 0; // 0 when zlib failed
    uint32_t adler = 0;
    size_t filteredLength = 0;
};

// One band of rows as raw deflate, ended on a byte boundary (or, for the last, with the final
// block) so that bands can follow each other in one zlib stream.
Band deflatedBand(const StoredPicture& stored, int first, int end) {
    const FilteredRows rows = filteredRows(stored, first, end);
    Band band;
    band.filteredLength = rows.length;
    band.adler = uint32_t(adler32_z(adler32(0, nullptr, 0), rows.bytes.get(), rows.length));
    z_stream stream{};
    if (deflateInit2(&stream, bandLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return band;
    // Room for the flush's empty stored block besides deflate's own bound.
    const uLong bound = deflateBound(&stream, uLong(rows.length)) + 16;
    band.deflated = std::make_unique_for_overwrite<uint8_t[]>(bound);
    stream.next_in = rows.bytes.get();
    stream.avail_in = uInt(rows.length);
    stream.next_out = band.deflated.get();
    stream.avail_out = uInt(bound);
    const bool last = end == stored.picture.height();
    const int result = deflate(&stream, last ? Z_FINISH : Z_FULL_FLUSH);
    const bool done = last ? result == Z_STREAM_END : result == Z_OK && stream.avail_out > 0;
    band.deflatedLength = done ? stream.total_out : 0;
    deflateEnd(&stream);
    return band;
}

// Every core deflates a band while the bands before it are written in order.
bool writeBands(const StoredPicture& stored, PngChunkWriter& chunks, QString* failure) {
    const int height = stored.picture.height();
    const int bandRows = std::max(1, int(bandBytes / (stored.rowLength() + 1)));
    const auto inFlightLimit = size_t(std::max(1U, std::thread::hardware_concurrency()));
    std::deque<std::future<Band>> inFlight;
    int nextRow = 0;
    const uint8_t zlibHeader[] = {0x78, 0x01}; // deflate with a 32 KiB window
    bool written = chunks.appendData(zlibHeader, sizeof zlibHeader);
    uLong adler = adler32(0, nullptr, 0);
    while (written && (nextRow < height || !inFlight.empty())) {
        while (nextRow < height && inFlight.size() < inFlightLimit) {
            const int first = nextRow;
            nextRow = std::min(height, first + bandRows);
            inFlight.push_back(
                std::async(std::launch::async, deflatedBand, std::cref(stored), first, nextRow));
        }
        const Band band = inFlight.front().get();
        inFlight.pop_front();
        if (band.deflatedLength == 0) {
            if (failure)
                *failure = encoderFailure(QStringLiteral("zlib could not compress"));
            return false;
        }
        adler = adler32_combine(adler, band.adler, z_off_t(band.filteredLength));
        written = chunks.appendData(band.deflated.get(), band.deflatedLength);
    }
    const uint8_t trailer[] = {uint8_t(adler >> 24), uint8_t(adler >> 16), uint8_t(adler >> 8),
                               uint8_t(adler)};
    return written && chunks.appendData(trailer, sizeof trailer);
}

} // namespace

bool PngWriter::write(const QImage& picture, QIODevice* device, QString* failure) {
    const bool alpha = picture.hasAlphaChannel();
    const StoredPicture stored{picture, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888};
    PngChunkWriter chunks(device);
    bool written = chunks.writeHeader(picture, alpha);
    QString encoderReason;
    if (written) {
        written = qint64(picture.width()) * picture.height() <= wholePictureLimit
                      ? writeWhole(stored, chunks, &encoderReason)
                      : writeBands(stored, chunks, &encoderReason);
    }
    written = written && chunks.finish();
    if (!written && failure) {
        if (!encoderReason.isEmpty())
            *failure = encoderReason;
        else if (!device->errorString().isEmpty())
            *failure = device->errorString();
        else
            *failure = encoderFailure(QStringLiteral("the device refused the data"));
    }
    return written;
}
