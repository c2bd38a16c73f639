// Fuzz target of the bitmap reader of long fields (the BMP file image of
// GetChunk into a bitmap).
//
// Whatever the bytes, reading must neither crash nor read past them; an
// accepted image must be a valid bitmap whose 32-bit form (the form a field
// gives) shows the same colour in every pixel and survives a second trip
// through its file image.
//
// Built as a libFuzzer program with -DTQRVN_FUZZ=ON (clang); the test suite
// replays the corpus through the same function.
#include "db/provider/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

// Pixel-by-pixel checks are skipped for images larger than this.
constexpr long long kCheckedPixels = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RVNADO::Bitmap image;
    image.width = -1;
    if (!RVNADO::Bitmap::FromBmpImage(data, size, image)) {
        Check(image.width == -1, "a refused image leaves the output untouched");
        return 0;
    }
    Check(image.IsValid(), "an accepted image is valid");
    if (static_cast<long long>(image.width) * image.height > kCheckedPixels)
        return 0;
    const RVNADO::Bitmap screen = image.ToDepth32();
    Check(screen.IsValid() && screen.bitsPerPixel == 32, "the 32-bit form is valid");
    const std::string file = screen.ToBmpImage();
    RVNADO::Bitmap back;
    Check(RVNADO::Bitmap::FromBmpImage(file.data(), file.size(), back), "the 32-bit file image reads");
    Check(back == screen, "the 32-bit file image reads back unchanged");
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            Check(image.PixelColour(x, y) == screen.PixelColour(x, y), "every pixel keeps its colour");
    return 0;
}
