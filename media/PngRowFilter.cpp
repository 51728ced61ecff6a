// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/PngRowFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Eight bytes at a time, widened to 16-bit lanes for Paeth's distances, in the compiler's vector
// registers: at -O2 the compiler keeps the loop scalar, and Paeth's branches alone cost as much
// as the compressor. Choices are masks rather than ?: which the compiler splits into lanes.
using Bytes = uint8_t __attribute__((vector_size(8)));
using Words = int16_t __attribute__((vector_size(16)));
constexpr size_t lanes = sizeof(Bytes);

Bytes load(const uint8_t* bytes) {
    Bytes loaded;
    std::memcpy(&loaded, bytes, sizeof loaded);
    return loaded;
}

Words absolute(Words value) {
    const Words sign = value >> 15;
    return (value ^ sign) - sign;
}

uint8_t paethPredictor(int left, int up, int upLeft) {
    const int distanceLeft = std::abs(up - upLeft);
    const int distanceUp = std::abs(left - upLeft);
    const int distanceUpLeft = std::abs(left + up - 2 * upLeft);
    if (distanceLeft <= distanceUp && distanceLeft <= distanceUpLeft)
        return uint8_t(left);
    return uint8_t(distanceUp <= distanceUpLeft ? up : upLeft);
}

Bytes paethPredictors(Bytes leftBytes, Bytes upBytes, Bytes upLeftBytes) {
    const Words left = __builtin_convertvector(leftBytes, Words);
    const Words up = __builtin_convertvector(upBytes, Words);
    const Words upLeft = __builtin_convertvector(upLeftBytes, Words);
    const Words distanceLeft = absolute(up - upLeft);
    const Words distanceUp = absolute(left - upLeft);
    const Words distanceUpLeft = absolute(left + up - 2 * upLeft);
    const Words takeLeft = (distanceLeft <= distanceUp) & (distanceLeft <= distanceUpLeft);
    const Words takeUp = ~takeLeft & (distanceUp <= distanceUpLeft);
    const Words chosen = (takeLeft & left) | (takeUp & up) | (~(takeLeft | takeUp) & upLeft);
    return __builtin_convertvector(chosen, Bytes);
}

void paeth(const uint8_t* row, const uint8_t* above, size_t length, size_t bytesPerPixel,
           uint8_t* out) {
    const size_t head = std::min(bytesPerPixel, length);
    for (size_t i = 0; i < head; ++i)
        out[i] = uint8_t(row[i] - above[i]); // no left neighbours: Paeth predicts the upper one
    size_t i = head;
    for (; i + lanes <= length; i += lanes) {
        const Bytes predicted = paethPredictors(load(row + i - bytesPerPixel), load(above + i),
                                                load(above + i - bytesPerPixel));
        const Bytes filtered = load(row + i) - predicted;
        std::memcpy(out + i, &filtered, sizeof filtered);
    }
    for (; i < length; ++i)
        out[i] = uint8_t(
            row[i] - paethPredictor(row[i - bytesPerPixel], above[i], above[i - bytesPerPixel]));
}

void sub(const uint8_t* row, size_t length, size_t bytesPerPixel, uint8_t* out) {
    std::memcpy(out, row, std::min(bytesPerPixel, length));
    for (size_t i = bytesPerPixel; i < length; ++i)
        out[i] = uint8_t(row[i] - row[i - bytesPerPixel]);
}

void up(const uint8_t* row, const uint8_t* above, size_t length, uint8_t* out) {
    for (size_t i = 0; i < length; ++i)
        out[i] = uint8_t(row[i] - above[i]);
}

} // namespace

void PngRowFilter::filter(Type type, const uint8_t* row, const uint8_t* above, size_t length,
                          int bytesPerPixel, uint8_t* out) {
    // The first row's upper neighbours are zeros.
    std::vector<uint8_t> zeros;
    if (!above && type != Type::None && type != Type::Sub) {
        zeros.assign(length, 0);
        above = zeros.data();
    }
    *out++ = uint8_t(type);
    const auto pixelBytes = size_t(bytesPerPixel);
    switch (type) {
    case Type::None:
        std::memcpy(out, row, length);
        break;
    case Type::Sub:
        sub(row, length, pixelBytes, out);
        break;
    case Type::Up:
        up(row, above, length, out);
        break;
    case Type::Paeth:
        paeth(row, above, length, pixelBytes, out);
        break;
    }
}
