// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// PNG's row filters for 8-bit pixels. Paeth predicts each byte from its left, upper and
// upper-left neighbours; encoding reads only the unfiltered rows, so every byte of a row is
// filtered at once in the compiler's vector registers.
class PngRowFilter {
public:
    enum class Type : uint8_t { None = 0, Sub = 1, Up = 2, Paeth = 4 };

    // Writes the filter's type byte and then the row's length filtered bytes to out; above is
    // the previous row, or nullptr for the first.
    static void filter(Type type, const uint8_t* row, const uint8_t* above, size_t length,
                       int bytesPerPixel, uint8_t* out);
};
