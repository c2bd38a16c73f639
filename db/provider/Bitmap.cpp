// Bitmap images and their BMP file images.
#include "db/provider/Bitmap.h"

#include <cstring>

namespace RVNADO {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
// An image of more pixels than this (4096 x 4096, 64 MB at 32 bits) is
// refused, so that a small 1-bit value cannot ask for a huge 32-bit image.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 24;

bool KnownDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32; }

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put16(std::string& s, std::uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

}  // namespace

std::size_t Bitmap::Stride(int width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0)
        return 0;
    return ((static_cast<std::size_t>(bitsPerPixel) * static_cast<std::size_t>(width) + 31) / 32) * 4;
}

bool Bitmap::IsValid() const
{
    if (width <= 0 || height <= 0 || !KnownDepth(bitsPerPixel))
        return false;
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPixels)
        return false;
    if (bitsPerPixel <= 8 ? palette.size() > (std::size_t(1) << bitsPerPixel) : !palette.empty())
        return false;
    return pixels.size() == Stride() * static_cast<std::size_t>(height);
}

std::uint32_t Bitmap::PixelColour(int x, int y) const
{
    const std::uint8_t* row = pixels.data() + static_cast<std::size_t>(height - 1 - y) * Stride();
    const std::size_t ux = static_cast<std::size_t>(x);
    if (bitsPerPixel >= 24) {
        const std::uint8_t* p = row + ux * static_cast<std::size_t>(bitsPerPixel / 8);
        return (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[0];
    }
    const std::size_t bit = ux * static_cast<std::size_t>(bitsPerPixel);
    const unsigned shift = static_cast<unsigned>(8 - bitsPerPixel - static_cast<int>(bit % 8));
    const unsigned index = (row[bit / 8] >> shift) & ((1u << bitsPerPixel) - 1);
    return index < palette.size() ? palette[index] & 0xFFFFFFu : 0u;
}

Bitmap Bitmap::ToDepth32() const
{
    Bitmap out;
    if (!IsValid())
        return out;
    if (bitsPerPixel == 32)
        return *this;
    out.width = width;
    out.height = height;
    out.bitsPerPixel = 32;
    out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    std::uint8_t* p = out.pixels.data();
    // Rows bottom first in both images.
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = PixelColour(x, y);
            *p++ = static_cast<std::uint8_t>(c & 0xFF);
            *p++ = static_cast<std::uint8_t>((c >> 8) & 0xFF);
            *p++ = static_cast<std::uint8_t>((c >> 16) & 0xFF);
            *p++ = 0;
        }
    return out;
}

std::string Bitmap::ToBmpImage() const
{
    if (!IsValid())
        return std::string();
    const std::size_t entries = bitsPerPixel <= 8 ? (std::size_t(1) << bitsPerPixel) : 0;
    const std::size_t paletteBytes = entries * 4;
    const std::size_t imageBytes = Stride() * static_cast<std::size_t>(height);
    std::string s;
    s.reserve(kFileHeader + kInfoHeader + paletteBytes + imageBytes);
    s += "BM";
    Put32(s, static_cast<std::uint32_t>(kFileHeader + kInfoHeader + paletteBytes + imageBytes));
    Put16(s, 0);
    Put16(s, 0);
    Put32(s, static_cast<std::uint32_t>(kFileHeader + kInfoHeader + paletteBytes));
    Put32(s, static_cast<std::uint32_t>(kInfoHeader));
    Put32(s, static_cast<std::uint32_t>(width));
    Put32(s, static_cast<std::uint32_t>(height));
    Put16(s, 1);  // planes
    Put16(s, static_cast<std::uint16_t>(bitsPerPixel));
    for (int i = 0; i < 6; ++i)  // no compression; image size, resolutions and colour counts 0
        Put32(s, 0);
    for (std::size_t i = 0; i < entries; ++i)
        Put32(s, i < palette.size() ? palette[i] & 0xFFFFFFu : 0u);  // blue, green, red, 0
    s.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
    return s;
}

bool Bitmap::FromBmpImage(const void* data, std::size_t size, Bitmap& out)
{
    const std::uint8_t* b = static_cast<const std::uint8_t*>(data);
    if (b == nullptr || size < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
        return false;
    const std::uint64_t offset = U32(b + 10);
    const std::uint64_t infoSize = U32(b + 14);
    if (infoSize < kInfoHeader || kFileHeader + infoSize > size)
        return false;
    const std::int32_t w = static_cast<std::int32_t>(U32(b + 18));
    const std::int32_t h = static_cast<std::int32_t>(U32(b + 22));
    const int planes = U16(b + 26);
    const int bits = U16(b + 28);
    const std::uint32_t compression = U32(b + 30);
    const std::uint32_t colours = U32(b + 46);
    if (planes != 1 || !KnownDepth(bits) || compression != 0 || w <= 0 || h == 0 || h == INT32_MIN)
        return false;
    const bool topDown = h < 0;
    const std::int32_t rowsCount = topDown ? -h : h;
    if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(rowsCount) > kMaxPixels)
        return false;
    std::uint64_t entries = 0;
    if (bits <= 8) {
        entries = colours == 0 ? (std::uint64_t(1) << bits) : colours;
        if (entries > (std::uint64_t(1) << bits))
            return false;
    }
    const std::uint64_t paletteAt = kFileHeader + infoSize;
    if (paletteAt + entries * 4 > offset)
        return false;
    const std::size_t stride = Stride(w, bits);
    const std::uint64_t imageBytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(rowsCount);
    if (offset > size || imageBytes > size - offset)
        return false;

    Bitmap bmp;
    bmp.width = w;
    bmp.height = rowsCount;
    bmp.bitsPerPixel = bits;
    for (std::uint64_t i = 0; i < entries; ++i)
        bmp.palette.push_back(U32(b + paletteAt + i * 4) & 0xFFFFFFu);
    bmp.pixels.resize(static_cast<std::size_t>(imageBytes));
    const std::uint8_t* src = b + offset;
    if (!topDown) {
        std::memcpy(bmp.pixels.data(), src, static_cast<std::size_t>(imageBytes));
    } else {
        for (std::int32_t y = 0; y < rowsCount; ++y)
            std::memcpy(bmp.pixels.data() + static_cast<std::size_t>(rowsCount - 1 - y) * stride,
                        src + static_cast<std::size_t>(y) * stride, stride);
    }
    out = std::move(bmp);
    return true;
}

}  // namespace RVNADO
