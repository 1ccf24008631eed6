#pragma once

// PNG files of opaque pictures. A plot is mostly rows equal to the row above: every row is
// filtered by "up" (its difference with the row above), which turns such a row into zeros without
// computing it, and the filtered rows are compressed by libdeflate. The pixels are kept exactly.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

struct PngPicture {
    // Rows of 0xAARRGGBB pixels, top row first, rowStride pixels apart; alpha is ignored and the
    // file says nothing of it.
    const uint32_t* pixels;
    int width;
    int height;
    size_t rowStride;
    // Written in the file's pHYs chunk, for both axes; 0 leaves the chunk out.
    uint32_t dotsPerMetre;
};

// The whole file. Empty when the picture has no pixels, exceeds PNG's limits or memory.
std::vector<uint8_t> EncodePng(const PngPicture& picture);

// The checksums the file uses, libdeflate's, exposed for tests: zlib's Adler-32 and the CRC-32
// of PNG chunks.
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

} // namespace platform
