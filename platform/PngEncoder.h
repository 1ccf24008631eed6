#pragma once

// PNG files of opaque pictures, written fast. A plot is mostly rows equal to the row above and
// runs of one colour; a general-purpose compressor spends most of its time searching where
// nothing needs searching (zlib takes 8 ms or more over the 6 MB of zeros that a white 1920 x 1080
// picture filters to). Here every row is filtered by "up", and only runs are looked for: of one
// byte (what the up filter leaves of a row that repeats the one above) and of one pixel. The
// result is a standard deflate stream with Huffman codes fitted to each block, which every PNG
// reader decodes, and the pixels are kept exactly.

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

// The whole file. Empty when the picture has no pixels or exceeds PNG's limits.
std::vector<uint8_t> EncodePng(const PngPicture& picture);

// Checksums of the format, exposed for tests: zlib's Adler-32 and the CRC-32 of PNG chunks.
uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size);
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

} // namespace platform
