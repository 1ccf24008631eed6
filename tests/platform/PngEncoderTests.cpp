// The PNG encoder, checked by independent decoders: libpng must give back every pixel and the
// resolution, and zlib must find the chunks' CRCs and the stream's Adler-32 right.

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include "platform/PngEncoder.h"

namespace {

struct Picture {
    int width, height;
    std::vector<uint32_t> pixels; // 0xAARRGGBB
    size_t stride;
};

Picture Make(int width, int height, size_t padding = 0)
{
    const size_t stride = static_cast<size_t>(width) + padding;
    return {width, height, std::vector<uint32_t>(stride * static_cast<size_t>(height), 0), stride};
}

std::vector<uint8_t> Encode(const Picture& p, uint32_t dotsPerMetre = 3780)
{
    return platform::EncodePng({p.pixels.data(), p.width, p.height, p.stride, dotsPerMetre});
}

uint32_t BigEndian(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8
        | b.at(at + 3);
}

struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
};

// The chunks after the signature, each CRC checked with zlib's.
std::vector<Chunk> Chunks(const std::vector<uint8_t>& png)
{
    std::vector<Chunk> chunks;
    const std::vector<uint8_t> signature {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian(png, at);
        if (at + 12 + length > png.size())
            break;
        Chunk c {std::string(png.begin() + at + 4, png.begin() + at + 8),
            std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)};
        const uLong crc = crc32(0, png.data() + at + 4, 4 + length);
        EXPECT_EQ(BigEndian(png, at + 8 + length), crc) << c.type;
        chunks.push_back(std::move(c));
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "bytes after the last chunk";
    return chunks;
}

// Inflates the IDAT stream with zlib, which checks its Adler-32; the filtered rows.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& stream, size_t expected)
{
    std::vector<uint8_t> out(expected + 1);
    uLongf length = static_cast<uLongf>(out.size());
    EXPECT_EQ(
        uncompress(out.data(), &length, stream.data(), static_cast<uLong>(stream.size())), Z_OK);
    out.resize(length);
    return out;
}

// The pixels as libpng reads them, 0x00RRGGBB; empty if it refuses the file.
struct Decoded {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::string error;
};

Decoded ReadWithLibpng(const std::vector<uint8_t>& png)
{
    Decoded d;
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
        d.error = image.message;
        return d;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        d.error = image.message;
        png_image_free(&image);
        return d;
    }
    d.width = static_cast<int>(image.width);
    d.height = static_cast<int>(image.height);
    d.pixels.resize(rgb.size() / 3);
    for (size_t i = 0; i < d.pixels.size(); ++i)
        d.pixels[i] = uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    return d;
}

// The file's pixels per metre on each axis as libpng reads them (its full interface: the simple
// one says nothing of resolution); false if it refuses the file or finds no pHYs chunk.
struct MemoryFile {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length)
{
    auto* file = static_cast<MemoryFile*>(png_get_io_ptr(png));
    if (length > file->size - file->at)
        png_error(png, "truncated");
    std::memcpy(out, file->data + file->at, length);
    file->at += length;
}

bool ReadResolution(const std::vector<uint8_t>& bytes, uint32_t& x, uint32_t& y)
{
    MemoryFile file {bytes.data(), bytes.size(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    // Only plain data lives in this frame, so that libpng's error jump skips no destructor.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &file, ReadFromMemory);
    png_read_info(png, info);
    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    const bool found
        = png_get_pHYs(png, info, &resX, &resY, &unit) != 0 && unit == PNG_RESOLUTION_METER;
    png_destroy_read_struct(&png, &info, nullptr);
    x = resX;
    y = resY;
    return found;
}

// Checks the file against the picture in every way an independent reader can.
void ExpectFaithful(const Picture& p, const std::string& why)
{
    const std::vector<uint8_t> png = Encode(p);
    ASSERT_FALSE(png.empty()) << why;
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_GE(chunks.size(), 3u) << why;
    EXPECT_EQ(chunks.front().type, "IHDR") << why;
    EXPECT_EQ(chunks.back().type, "IEND") << why;
    std::vector<uint8_t> stream;
    for (const Chunk& c : chunks)
        if (c.type == "IDAT")
            stream.insert(stream.end(), c.data.begin(), c.data.end());
    const size_t rowLength = 1 + static_cast<size_t>(p.width) * 3;
    EXPECT_EQ(Inflate(stream, rowLength * p.height).size(), rowLength * p.height) << why;

    const Decoded image = ReadWithLibpng(png);
    ASSERT_TRUE(image.error.empty()) << why << ": " << image.error;
    ASSERT_EQ(image.width, p.width) << why;
    ASSERT_EQ(image.height, p.height) << why;
    int wrong = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            wrong += image.pixels[size_t(y) * size_t(p.width) + size_t(x)]
                != (p.pixels[p.stride * static_cast<size_t>(y) + static_cast<size_t>(x)]
                    & 0xFFFFFF);
    EXPECT_EQ(wrong, 0) << why;
}

TEST(PngEncoder, EveryKindOfPictureReadsBackExactly)
{
    std::mt19937 random(12345);
    struct Row {
        const char* why;
        int width, height;
        size_t padding;
        uint32_t (*pixel)(int x, int y, std::mt19937& random);
    };
    const Row rows[] = {
        {"one pixel", 1, 1, 0, [](int, int, std::mt19937&) -> uint32_t { return 0xFF123456u; }},
        {"white", 640, 480, 0, [](int, int, std::mt19937&) -> uint32_t { return 0xFFFFFFFFu; }},
        {"noise", 333, 77, 0, [](int, int, std::mt19937& r) -> uint32_t { return uint32_t(r()); }},
        {"a few colours", 257, 100, 0,
            [](int, int, std::mt19937& r) -> uint32_t {
                return 0xFF000000u | (r() % 3) * 0x7F7F7F;
            }},
        {"gradient", 300, 300, 0,
            [](int x, int y, std::mt19937&) -> uint32_t {
                return 0xFF000000u | uint32_t(x << 16 | y << 8 | (x ^ y));
            }},
        {"vertical stripes", 1000, 50, 0,
            [](int x, int, std::mt19937&) -> uint32_t {
                return x % 48 == 0 ? 0xFF102040u : 0xFFFFFFFFu;
            }},
        {"repeated rows, padded", 123, 400, 5,
            [](int x, int y, std::mt19937&) -> uint32_t {
                return y / 100 % 2 ? 0xFF808080u : uint32_t(x * 7919);
            }},
        {"runs of every length", 1500, 3, 0,
            [](int x, int y, std::mt19937&) -> uint32_t {
                // Runs of 1, 2, 3... pixels of alternating colours: lengths on both sides of
                // deflate's longest match (258 bytes), and every remainder after it.
                int run = 1, start = 0;
                while (start + run <= x)
                    start += run++;
                return run % 2 ? 0xFF00FF00u + uint32_t(y) : 0xFFFF0000u;
            }},
        {"one row", 4000, 1, 0,
            [](int x, int, std::mt19937& r) -> uint32_t { return x < 2000 ? uint32_t(r()) : 0u; }},
        {"one column", 1, 3000, 0,
            [](int, int y, std::mt19937&) -> uint32_t { return uint32_t(y / 7); }},
        {"wide", 12000, 2, 0,
            [](int x, int, std::mt19937&) -> uint32_t { return uint32_t(x / 5); }},
    };
    for (const Row& r : rows) {
        Picture p = Make(r.width, r.height, r.padding);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                p.pixels[p.stride * size_t(y) + size_t(x)] = r.pixel(x, y, random);
        ExpectFaithful(p, r.why);
    }
}

TEST(PngEncoder, SkewedByteCountsKeepCodesWithinFifteenBits)
{
    // Byte values counted as Fibonacci numbers: an unlimited Huffman code would need codes of
    // about 25 bits. Shuffled, so that few runs form.
    std::vector<uint8_t> bytes;
    uint32_t a = 1, b = 1;
    for (int value = 0; value < 26; ++value) {
        bytes.insert(bytes.end(), a, static_cast<uint8_t>(value * 9));
        const uint32_t next = a + b;
        a = b;
        b = next;
    }
    std::shuffle(bytes.begin(), bytes.end(), std::mt19937(7));
    const int width = static_cast<int>(bytes.size() / 3);
    Picture p = Make(width, 2);
    for (int x = 0; x < width; ++x) {
        const uint8_t* c = &bytes[3 * size_t(x)];
        p.pixels[size_t(x)] = uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
        p.pixels[size_t(width + x)] = 0xFFFFFFFF;
    }
    ExpectFaithful(p, "fibonacci counts");
}

TEST(PngEncoder, HeaderAndResolution)
{
    Picture p = Make(31, 17);
    const std::vector<uint8_t> png = Encode(p, 7559);
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_GE(chunks.size(), 2u);
    const std::vector<uint8_t> header {0, 0, 0, 31, 0, 0, 0, 17, 8, 2, 0, 0, 0};
    EXPECT_EQ(chunks[0].data, header); // 8-bit truecolour, no interlace
    ASSERT_EQ(chunks[1].type, "pHYs");
    EXPECT_EQ(chunks[1].data, (std::vector<uint8_t> {0, 0, 0x1D, 0x87, 0, 0, 0x1D, 0x87, 1}));
    uint32_t dotsX = 0, dotsY = 0;
    ASSERT_TRUE(ReadResolution(png, dotsX, dotsY));
    EXPECT_EQ(dotsX, 7559u);
    EXPECT_EQ(dotsY, 7559u);
    for (const Chunk& c : Chunks(Encode(p, 0)))
        EXPECT_NE(c.type, "pHYs");
}

TEST(PngEncoder, RefusesWhatIsNoPicture)
{
    const uint32_t pixel = 0;
    struct Row {
        const uint32_t* pixels;
        int width, height;
        size_t stride;
    };
    for (const Row& r : {Row {nullptr, 1, 1, 1}, Row {&pixel, 0, 1, 1}, Row {&pixel, 1, 0, 1},
             Row {&pixel, -1, 1, 1}, Row {&pixel, 2, 1, 1}})
        EXPECT_TRUE(platform::EncodePng({r.pixels, r.width, r.height, r.stride, 0}).empty())
            << r.width << 'x' << r.height << " stride " << r.stride;
}

TEST(PngEncoder, ChecksumsAgreeWithZlib)
{
    std::mt19937 random(99);
    std::vector<uint8_t> data(100000);
    for (uint8_t& b : data)
        b = static_cast<uint8_t>(random());
    std::fill(data.begin() + 20000, data.begin() + 60000, 0xFF); // the worst case for Adler sums
    for (size_t size : {size_t(0), size_t(1), size_t(5551), size_t(5552), size_t(5553),
             size_t(65536), data.size()}) {
        EXPECT_EQ(platform::Adler32(1, data.data(), size), adler32(1, data.data(), uInt(size)))
            << size;
        EXPECT_EQ(platform::Crc32(0, data.data(), size), crc32(0, data.data(), uInt(size))) << size;
    }
    // Continued from an earlier value, as zlib's can be.
    EXPECT_EQ(platform::Adler32(platform::Adler32(1, data.data(), 777), data.data() + 777, 9000),
        adler32(1, data.data(), 9777));
    EXPECT_EQ(platform::Crc32(platform::Crc32(0, data.data(), 777), data.data() + 777, 9000),
        crc32(0, data.data(), 9777));
}

} // namespace
