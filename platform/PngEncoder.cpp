#include "platform/PngEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

namespace platform {

namespace {

// ---- checksums ----

constexpr uint32_t kAdlerBase = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced.
constexpr size_t kAdlerBlock = 5552;

// Table k gives the CRC of a byte followed by k zero bytes, so that eight bytes are taken at once.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables {};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t k = 1; k < 8; ++k)
            tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    return tables;
}

constexpr CrcTables kCrcTables = MakeCrcTables();

// The Adler-32 of two pieces joined, from each piece's own and the second one's length.
uint32_t Adler32Combine(uint32_t adler1, uint32_t adler2, size_t length2)
{
    const uint64_t rem = length2 % kAdlerBase;
    const uint64_t a1 = adler1 & 0xFFFF, b1 = adler1 >> 16;
    const uint64_t a2 = adler2 & 0xFFFF, b2 = adler2 >> 16;
    const uint64_t a = (a1 + a2 + kAdlerBase - 1) % kAdlerBase;
    const uint64_t b = (rem * a1 + b1 + b2 + kAdlerBase - rem) % kAdlerBase;
    return static_cast<uint32_t>(a | (b << 16));
}

// ---- deflate ----

constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 258;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kLiteralSymbols = 286;
constexpr int kDistanceSymbols = 30;
constexpr int kEndOfBlock = 256;
// Tokens per block: each block gets codes of its own, fitted to that part of the picture.
constexpr size_t kBlockTokens = 1 << 16;

constexpr uint16_t kLengthBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35,
    43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29]
    = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// The order in which the lengths of the code-length code are written.
constexpr uint8_t kCodeLengthOrder[19]
    = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// The matches this encoder makes, by distance: 1 (the same byte again) and 3 (the same pixel
// again); both are distance codes without extra bits.
enum Distance : uint32_t { kByteBack = 0, kPixelBack = 2 };

// A literal byte, or a match: bit 31 set, the distance code in bits 16 to 20, the length below.
using Token = uint32_t;
constexpr Token kMatch = 1u << 31;

struct LengthSymbol {
    uint16_t symbol;
    uint8_t extraBits;
    uint8_t extra;
};

constexpr std::array<LengthSymbol, kMaxMatch + 1> MakeLengthSymbols()
{
    std::array<LengthSymbol, kMaxMatch + 1> table {};
    int code = 0;
    for (size_t length = kMinMatch; length <= kMaxMatch; ++length) {
        // 258 takes its own code 285, not 284 with all extra bits set.
        while (code < 28 && kLengthBase[code + 1] <= length)
            ++code;
        table[length] = {static_cast<uint16_t>(257 + code), kLengthExtra[code],
            static_cast<uint8_t>(length - kLengthBase[code])};
    }
    return table;
}

constexpr std::array<LengthSymbol, kMaxMatch + 1> kLengthSymbols = MakeLengthSymbols();

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) { }

    // Least significant bit first; at most 32 bits at a time.
    void Put(uint32_t bits, int count)
    {
        acc_ |= static_cast<uint64_t>(bits) << used_;
        used_ += count;
        if (used_ >= 32) {
            for (int i = 0; i < 4; ++i) {
                out_.push_back(static_cast<uint8_t>(acc_));
                acc_ >>= 8;
            }
            used_ -= 32;
        }
    }
    // Pads to a whole byte.
    void Finish()
    {
        while (used_ > 0) {
            out_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            used_ = used_ > 8 ? used_ - 8 : 0;
        }
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t acc_ = 0;
    int used_ = 0;
};

// Huffman code lengths for the frequencies, none longer than maxBits. At least two symbols get a
// code, so that every code is a complete tree, as some decoders require.
std::vector<uint8_t> CodeLengths(std::vector<uint32_t> frequencies, int maxBits)
{
    const size_t n = frequencies.size();
    size_t used = 0;
    for (uint32_t f : frequencies)
        used += f != 0;
    for (size_t s = 0; used < 2 && s < n; ++s)
        if (frequencies[s] == 0) {
            frequencies[s] = 1;
            ++used;
        }
    std::vector<uint8_t> lengths(n, 0);
    for (;;) {
        // Leaves first, then the inner nodes as they are made; parent of each node.
        struct Node {
            uint64_t weight;
            size_t index;
            bool operator>(const Node& o) const
            {
                return weight != o.weight ? weight > o.weight : index > o.index;
            }
        };
        std::vector<Node> heap;
        std::vector<size_t> parent(2 * n, 0);
        for (size_t s = 0; s < n; ++s)
            if (frequencies[s] != 0)
                heap.push_back({frequencies[s], s});
        const auto greater = std::greater<Node>();
        std::make_heap(heap.begin(), heap.end(), greater);
        size_t next = n;
        while (heap.size() > 1) {
            std::pop_heap(heap.begin(), heap.end(), greater);
            const Node a = heap.back();
            heap.pop_back();
            std::pop_heap(heap.begin(), heap.end(), greater);
            const Node b = heap.back();
            heap.pop_back();
            parent[a.index] = next;
            parent[b.index] = next;
            heap.push_back({a.weight + b.weight, next});
            std::push_heap(heap.begin(), heap.end(), greater);
            ++next;
        }
        const size_t root = next - 1;
        int longest = 0;
        for (size_t s = 0; s < n; ++s) {
            if (frequencies[s] == 0)
                continue;
            int depth = 0;
            for (size_t node = s; node != root; node = parent[node])
                ++depth;
            lengths[s] = static_cast<uint8_t>(depth);
            longest = std::max(longest, depth);
        }
        if (longest <= maxBits)
            return lengths;
        // Too deep: flatten the frequencies and build again.
        for (uint32_t& f : frequencies)
            if (f != 0)
                f = (f >> 1) | 1;
    }
}

struct Code {
    uint16_t bits; // reversed: deflate writes codes most significant bit first
    uint8_t length;
};

// The canonical codes of the lengths.
std::vector<Code> CanonicalCodes(const std::vector<uint8_t>& lengths)
{
    int count[kMaxCodeBits + 1] = {};
    for (uint8_t l : lengths)
        ++count[l];
    count[0] = 0;
    uint32_t next[kMaxCodeBits + 1] = {};
    uint32_t code = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        code = (code + static_cast<uint32_t>(count[bits - 1])) << 1;
        next[bits] = code;
    }
    std::vector<Code> codes(lengths.size(), Code {0, 0});
    for (size_t s = 0; s < lengths.size(); ++s) {
        const int l = lengths[s];
        if (l == 0)
            continue;
        const uint32_t c = next[l]++;
        uint32_t reversed = 0;
        for (int i = 0; i < l; ++i)
            reversed |= ((c >> i) & 1) << (l - 1 - i);
        codes[s] = {static_cast<uint16_t>(reversed), static_cast<uint8_t>(l)};
    }
    return codes;
}

class Deflater {
public:
    explicit Deflater(BitWriter& bits) : bits_(bits) { tokens_.reserve(kBlockTokens); }

    void Literal(uint8_t byte) { Add(byte); }

    // A copy of length bytes from the distance back, cut into matches deflate can say: 3 to 258
    // bytes, never leaving a piece of 1 or 2.
    void Copy(size_t length, Distance distance)
    {
        while (length > 0) {
            size_t piece = std::min(length, kMaxMatch);
            if (length - piece > 0 && length - piece < kMinMatch)
                piece = length - kMinMatch;
            Add(kMatch | (distance << 16) | static_cast<Token>(piece));
            length -= piece;
        }
    }

    // Writes what is left as the last block.
    void Finish() { WriteBlock(true); }

private:
    void Add(Token t)
    {
        tokens_.push_back(t);
        if (tokens_.size() == kBlockTokens)
            WriteBlock(false);
    }

    void WriteBlock(bool last);

    BitWriter& bits_;
    std::vector<Token> tokens_;
};

void Deflater::WriteBlock(bool last)
{
    std::vector<uint32_t> literalCounts(kLiteralSymbols, 0);
    std::vector<uint32_t> distanceCounts(kDistanceSymbols, 0);
    for (Token t : tokens_) {
        if (t & kMatch) {
            ++literalCounts[kLengthSymbols[t & 0xFFFF].symbol];
            ++distanceCounts[(t >> 16) & 0x1F];
        } else {
            ++literalCounts[t];
        }
    }
    literalCounts[kEndOfBlock] = 1;
    const std::vector<uint8_t> literalLengths = CodeLengths(literalCounts, kMaxCodeBits);
    const std::vector<uint8_t> distanceLengths = CodeLengths(distanceCounts, kMaxCodeBits);

    // The two length lists, trailing unused symbols left out, run-length coded together.
    size_t literals = kLiteralSymbols;
    while (literals > 257 && literalLengths[literals - 1] == 0)
        --literals;
    size_t distances = kDistanceSymbols;
    while (distances > 1 && distanceLengths[distances - 1] == 0)
        --distances;
    std::vector<uint8_t> all(literalLengths.begin(), literalLengths.begin() + literals);
    all.insert(all.end(), distanceLengths.begin(), distanceLengths.begin() + distances);
    struct Run {
        uint8_t symbol;
        uint8_t extra;
    };
    std::vector<Run> runs;
    for (size_t i = 0; i < all.size();) {
        const uint8_t v = all[i];
        size_t r = 1;
        while (i + r < all.size() && all[i + r] == v)
            ++r;
        i += r;
        if (v == 0) {
            for (; r >= 11; r -= std::min<size_t>(r, 138))
                runs.push_back({18, static_cast<uint8_t>(std::min<size_t>(r, 138) - 11)});
            if (r >= 3) {
                runs.push_back({17, static_cast<uint8_t>(r - 3)});
                r = 0;
            }
        } else {
            runs.push_back({v, 0});
            --r;
            for (; r >= 3; r -= std::min<size_t>(r, 6))
                runs.push_back({16, static_cast<uint8_t>(std::min<size_t>(r, 6) - 3)});
        }
        for (; r > 0; --r)
            runs.push_back({v, 0});
    }
    std::vector<uint32_t> runCounts(19, 0);
    for (const Run& run : runs)
        ++runCounts[run.symbol];
    const std::vector<uint8_t> runLengths = CodeLengths(runCounts, kMaxCodeLengthBits);
    size_t written = 19;
    while (written > 4 && runLengths[kCodeLengthOrder[written - 1]] == 0)
        --written;

    bits_.Put(last ? 1 : 0, 1);
    bits_.Put(2, 2); // dynamic codes
    bits_.Put(static_cast<uint32_t>(literals - 257), 5);
    bits_.Put(static_cast<uint32_t>(distances - 1), 5);
    bits_.Put(static_cast<uint32_t>(written - 4), 4);
    for (size_t i = 0; i < written; ++i)
        bits_.Put(runLengths[kCodeLengthOrder[i]], 3);
    const std::vector<Code> runCodes = CanonicalCodes(runLengths);
    for (const Run& run : runs) {
        bits_.Put(runCodes[run.symbol].bits, runCodes[run.symbol].length);
        if (run.symbol == 16)
            bits_.Put(run.extra, 2);
        else if (run.symbol == 17)
            bits_.Put(run.extra, 3);
        else if (run.symbol == 18)
            bits_.Put(run.extra, 7);
    }

    const std::vector<Code> literalCodes = CanonicalCodes(literalLengths);
    const std::vector<Code> distanceCodes = CanonicalCodes(distanceLengths);
    for (Token t : tokens_) {
        if (t & kMatch) {
            const LengthSymbol& l = kLengthSymbols[t & 0xFFFF];
            bits_.Put(literalCodes[l.symbol].bits, literalCodes[l.symbol].length);
            if (l.extraBits != 0)
                bits_.Put(l.extra, l.extraBits);
            const Code& d = distanceCodes[(t >> 16) & 0x1F];
            bits_.Put(d.bits, d.length);
        } else {
            bits_.Put(literalCodes[t].bits, literalCodes[t].length);
        }
    }
    bits_.Put(literalCodes[kEndOfBlock].bits, literalCodes[kEndOfBlock].length);
    tokens_.clear();
}

// How many bytes from p on equal those distance bytes before them, up to limit.
size_t RunLength(const uint8_t* p, size_t distance, size_t limit)
{
    size_t n = 0;
    while (n + 8 <= limit) {
        uint64_t a, b;
        std::memcpy(&a, p + n, 8);
        std::memcpy(&b, p + n - distance, 8);
        if (a != b)
            return n + static_cast<size_t>(__builtin_ctzll(a ^ b) / 8); // little-endian
        n += 8;
    }
    while (n < limit && p[n] == p[n - distance])
        ++n;
    return n;
}

// One filtered row (filter byte first): runs of one byte or of one pixel become matches.
void DeflateRow(Deflater& deflater, const uint8_t* row, size_t length)
{
    size_t i = 0;
    while (i < length) {
        const size_t room = length - i;
        const size_t byteRun = i >= 1 ? RunLength(row + i, 1, room) : 0;
        const size_t pixelRun = i >= 3 && byteRun < room ? RunLength(row + i, 3, room) : 0;
        if (byteRun >= kMinMatch && byteRun >= pixelRun) {
            deflater.Copy(byteRun, kByteBack);
            i += byteRun;
        } else if (pixelRun >= kMinMatch) {
            deflater.Copy(pixelRun, kPixelBack);
            i += pixelRun;
        } else {
            deflater.Literal(row[i]);
            ++i;
        }
    }
}

// ---- the file ----

void PutBigEndian(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

// Appends a chunk: length, type, data, and the CRC of type and data.
void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(type[i]));
    if (!data.empty()) {
        const size_t at = out.size();
        out.resize(at + data.size());
        std::memcpy(out.data() + at, data.data(), data.size());
    }
    PutBigEndian(out, Crc32(0, out.data() + typeAt, out.size() - typeAt));
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

constexpr uint8_t kFilterUp = 2;

// The zlib stream of the picture's rows, each filtered by "up" (the difference with the row
// above): a plot's rows mostly repeat the row above, and then filter to zeros.
std::vector<uint8_t> CompressRows(const PngPicture& p)
{
    const size_t bytes = static_cast<size_t>(p.width) * 3;
    const size_t rowLength = 1 + bytes;
    std::vector<uint8_t> z {0x78, 0x01}; // deflate, 32 KiB window, no dictionary
    BitWriter bits(z);
    Deflater deflater(bits);
    // Most plots compress to well under a byte for every pixel.
    z.reserve(bytes * static_cast<size_t>(p.height) / 16 + 1024);
    std::vector<uint8_t> filtered(rowLength);
    // A row that repeats the one above filters to the filter byte and zeros.
    filtered[0] = kFilterUp;
    const uint32_t repeatAdler = Adler32(1, filtered.data(), rowLength);
    uint32_t adler = 1;
    for (int y = 0; y < p.height; ++y) {
        const uint32_t* pixels = p.pixels + p.rowStride * static_cast<size_t>(y);
        uint32_t rowAdler = repeatAdler;
        if (y > 0
            && std::memcmp(pixels, pixels - p.rowStride, static_cast<size_t>(p.width) * 4) == 0) {
            deflater.Literal(kFilterUp);
            deflater.Literal(0);
            deflater.Copy(bytes - 1, kByteBack);
        } else {
            FilterUp(pixels, y > 0 ? pixels - p.rowStride : nullptr, p.width, filtered.data() + 1);
            rowAdler = Adler32(1, filtered.data(), rowLength);
            DeflateRow(deflater, filtered.data(), rowLength);
        }
        adler = y == 0 ? rowAdler : Adler32Combine(adler, rowAdler, rowLength);
    }
    deflater.Finish();
    bits.Finish();
    PutBigEndian(z, adler);
    return z;
}

} // namespace

uint32_t Adler32(uint32_t adler, const uint8_t* data, size_t size)
{
    // Over a piece of 32 bytes, b grows by 32 a plus each byte weighted by how many sums it
    // enters: two independent sums that the compiler can vectorise.
    constexpr size_t kPiece = 32;
    uint64_t a = adler & 0xFFFF;
    uint64_t b = adler >> 16;
    while (size > 0) {
        const size_t n = std::min(size, kAdlerBlock);
        size_t i = 0;
        for (; i + kPiece <= n; i += kPiece) {
            uint32_t sum = 0, weighted = 0;
            for (size_t k = 0; k < kPiece; ++k) {
                sum += data[i + k];
                weighted += static_cast<uint32_t>(kPiece - k) * data[i + k];
            }
            b += kPiece * a + weighted;
            a += sum;
        }
        for (; i < n; ++i) {
            a += data[i];
            b += a;
        }
        a %= kAdlerBase;
        b %= kAdlerBase;
        data += n;
        size -= n;
    }
    return static_cast<uint32_t>(a | (b << 16));
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size)
{
    uint32_t c = ~crc;
    for (; size >= 8; size -= 8, data += 8) {
        uint32_t low, high;
        std::memcpy(&low, data, 4); // little-endian
        std::memcpy(&high, data + 4, 4);
        low ^= c;
        c = kCrcTables[7][low & 0xFF] ^ kCrcTables[6][(low >> 8) & 0xFF]
            ^ kCrcTables[5][(low >> 16) & 0xFF] ^ kCrcTables[4][low >> 24]
            ^ kCrcTables[3][high & 0xFF] ^ kCrcTables[2][(high >> 8) & 0xFF]
            ^ kCrcTables[1][(high >> 16) & 0xFF] ^ kCrcTables[0][high >> 24];
    }
    for (size_t i = 0; i < size; ++i)
        c = kCrcTables[0][(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

std::vector<uint8_t> EncodePng(const PngPicture& p)
{
    // PNG sizes are 31-bit; a row must also fit in memory as one buffer.
    if (p.pixels == nullptr || p.width <= 0 || p.height <= 0
        || p.rowStride < static_cast<size_t>(p.width) || p.width > (1 << 28))
        return {};
    std::vector<uint8_t> out {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header
        = BigEndianFields({static_cast<uint32_t>(p.width), static_cast<uint32_t>(p.height)});
    // 8 bits per channel, truecolour, deflate, adaptive filtering (type 0 on every row), no
    // interlace.
    for (uint8_t field : {8, 2, 0, 0, 0})
        header.push_back(field);
    Chunk(out, "IHDR", header);
    if (p.dotsPerMetre != 0) {
        std::vector<uint8_t> phys = BigEndianFields({p.dotsPerMetre, p.dotsPerMetre});
        phys.push_back(1); // the metre
        Chunk(out, "pHYs", phys);
    }
    Chunk(out, "IDAT", CompressRows(p));
    Chunk(out, "IEND", {});
    return out;
}

} // namespace platform
