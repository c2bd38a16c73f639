// A bitmap image held by value: what a host hands over or receives where
// the Windows toolchain passes bitmap handles (HBITMAP, CBitmap), stored in
// long binary fields as complete BMP file images.
//
// The pixels are kept as a BMP file keeps them, so that an image goes into
// a file image and out again without conversion: `height` rows of
// Stride(width, bitsPerPixel) bytes (each row padded to a multiple of 4
// bytes), the bottom row first.  Depths of 1, 4 and 8 bits hold palette
// indices (the leftmost pixel in the high bits of a byte); 24 bits hold
// blue, green, red; 32 bits blue, green, red and an unused byte.
#pragma once

#include "TQRVNBaseExport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace RVNADO {

struct TQRVNBASE_API Bitmap {
    int width = 0;         // pixels, more than 0 for an image
    int height = 0;        // pixels, more than 0 for an image
    int bitsPerPixel = 0;  // 1, 4, 8, 24 or 32
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries for 1, 4 and 8 bits (at most 2^bits)
    std::vector<std::uint8_t> pixels;    // height * Stride() bytes, the bottom row first

    // Bytes of one row: ((bits * width + 31) / 32) * 4.
    static std::size_t Stride(int width, int bitsPerPixel);
    std::size_t Stride() const { return Stride(width, bitsPerPixel); }

    // True for a image whose sizes, depth, palette and pixel bytes agree.
    bool IsValid() const;

    // The colour of the pixel in column x and row y (row 0 at the top) as
    // 0x00RRGGBB; an index past the palette gives black.  x and y must lie
    // inside the image.
    std::uint32_t PixelColour(int x, int y) const;

    // The same image in 32 bits per pixel (the screen's depth here).
    Bitmap ToDepth32() const;

    // The BMP file image: a 14-byte file header ("BM", total size, pixel
    // offset), a 40-byte information header (no compression), a palette of
    // 2^bits entries of 4 bytes for depths up to 8 bits, then the rows.
    // Empty for an image that is not valid.
    std::string ToBmpImage() const;

    // Reads an uncompressed BMP file image of 1, 4, 8, 24 or 32 bits (rows
    // bottom-up or top-down).  Every offset and size in its headers is
    // checked against the bytes given: false, with the output untouched, for
    // an image that does not fit them or that is not such a BMP.
    static bool FromBmpImage(const void* data, std::size_t size, Bitmap& out);

    bool operator==(const Bitmap& o) const
    {
        return width == o.width && height == o.height && bitsPerPixel == o.bitsPerPixel && palette == o.palette &&
               pixels == o.pixels;
    }
};

// The names the bitmap handle types have in the Windows toolchain: a null
// HBITMAP is no bitmap.
using CBitmap = Bitmap;
using HBITMAP = const Bitmap*;

}  // namespace RVNADO
