#include "platform/PngEncoder.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>

#include <libdeflate.h>

#include "platform/LargeBuffer.h"

namespace platform {

namespace {

// libdeflate's level 2 is its fastest on plots (level 1 hashes long runs of zeros more slowly);
// level 6 makes files 2 % (one curve) to 4 % (twenty curves) smaller in twice the time.
constexpr int kCompressionLevel = 2;

// PNG's limit for a chunk's length.
constexpr size_t kMaxChunk = 0x7FFFFFFF;

constexpr uint8_t kFilterUp = 2;

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

// Appends a chunk: length, type, data, and the CRC of type and data.
void Chunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t size)
{
    PutBigEndian(out, static_cast<uint32_t>(size));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    PutBigEndian(out, Crc32(0, out.data() + typeAt, out.size() - typeAt));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    Chunk(out, type, data.data(), data.size());
}

std::vector<uint8_t> BigEndianFields(std::initializer_list<uint32_t> fields)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : fields)
        PutBigEndian(bytes, v);
    return bytes;
}

// One row in red, green and blue bytes, each less the same byte of the row above (none for the
// first row): PNG's "up" filter, after the filter byte.
void FilterUp(const uint32_t* pixels, const uint32_t* above, int width, uint8_t* out)
{
    for (int x = 0; x < width; ++x) {
        const uint32_t p = pixels[x];
        const uint32_t q = above != nullptr ? above[x] : 0;
        out[0] = static_cast<uint8_t>((p >> 16) - (q >> 16));
        out[1] = static_cast<uint8_t>((p >> 8) - (q >> 8));
        out[2] = static_cast<uint8_t>(p - q);
        out += 3;
    }
}

// The picture's rows as the file holds them before compression: each a filter byte and its
// filtered bytes.
void FilterRows(const PngPicture& p, uint8_t* out)
{
    const size_t bytes = static_cast<size_t>(p.width) * 3;
    for (int y = 0; y < p.height; ++y, out += 1 + bytes) {
        const uint32_t* pixels = p.pixels + p.rowStride * static_cast<size_t>(y);
        const uint32_t* above = y > 0 ? pixels - p.rowStride : nullptr;
        out[0] = kFilterUp;
        // A row that repeats the one above filters to zeros; comparing is cheaper than filtering.
        if (above != nullptr && std::memcmp(pixels, above, static_cast<size_t>(p.width) * 4) == 0)
            std::memset(out + 1, 0, bytes);
        else
            FilterUp(pixels, above, p.width, out + 1);
    }
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// Appends the IDAT chunks: the zlib stream of the filtered rows. False if memory is short.
bool CompressRows(const PngPicture& p, std::vector<uint8_t>& out)
{
    const size_t rowLength = 1 + static_cast<size_t>(p.width) * 3;
    size_t filteredSize = 0;
    if (__builtin_mul_overflow(rowLength, static_cast<size_t>(p.height), &filteredSize))
        return false;
    const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(kCompressionLevel));
    if (compressor == nullptr)
        return false;
    // Neither buffer is cleared first: every byte is written before it is read, and the pages
    // of the compressor's bound that it does not use are never touched.
    const LargeBuffer filtered(filteredSize);
    if (filtered.data() == nullptr)
        return false;
    FilterRows(p, filtered.data());
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), filteredSize);
    const auto stream = std::make_unique_for_overwrite<uint8_t[]>(bound);
    const size_t size = libdeflate_zlib_compress(
        compressor.get(), filtered.data(), filteredSize, stream.get(), bound);
    if (size == 0)
        return false;
    out.reserve(out.size() + size + 12 * (size / kMaxChunk + 1) + 12);
    for (size_t at = 0; at < size; at += kMaxChunk)
        Chunk(out, "IDAT", stream.get() + at, std::min(size - at, kMaxChunk));
    return true;
}

} // namespace

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size)
{
    return libdeflate_adler32(adler, data, size);
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size)
{
    return libdeflate_crc32(crc, data, size);
}

std::vector<uint8_t> EncodePng(const PngPicture& p)
{
    // PNG sizes are 31-bit; a row must also fit in memory as one buffer.
    if (p.pixels == nullptr || p.width <= 0 || p.height <= 0
        || p.rowStride < static_cast<size_t>(p.width) || p.width > (1 << 28))
        return {};
    try {
        std::vector<uint8_t> out {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        std::vector<uint8_t> header
            = BigEndianFields({static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height)});
        // 8 bits per channel, truecolour, deflate, filter method 0 (each row starts with its
        // filter type: here always "up"), no interlace.
        for (uint8_t field : {8, 2, 0, 0, 0})
            header.push_back(field);
        Chunk(out, "IHDR", header);
        if (p.dotsPerMetre != 0) {
            std::vector<uint8_t> phys = BigEndianFields({p.dotsPerMetre, p.dotsPerMetre});
            phys.push_back(1); // the metre
            Chunk(out, "pHYs", phys);
        }
        if (!CompressRows(p, out))
            return {};
        Chunk(out, "IEND", {});
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace platform
