#include "platform/Archive.h"

#include <cstring>
#include <optional>

#include "platform/Cp1252.h"

Archive::Archive() : storing_(true) { }

Archive::Archive(std::vector<uint8_t> bytes) : storing_(false), bytes_(std::move(bytes)) { }

void Archive::RequireStoring() const
{
    if (!storing_)
        throw ArchiveException(ArchiveException::ReadOnly, "write into a loading archive");
}

void Archive::Require(size_t size) const
{
    if (storing_)
        throw ArchiveException(ArchiveException::WriteOnly, "read from a storing archive");
    if (size > Remaining())
        throw ArchiveException(ArchiveException::EndOfFile, "unexpected end of file");
}

void Archive::WriteByte(uint8_t v)
{
    RequireStoring();
    bytes_.push_back(v);
}

void Archive::WriteUInt16(uint16_t v)
{
    WriteByte(static_cast<uint8_t>(v));
    WriteByte(static_cast<uint8_t>(v >> 8));
}

void Archive::WriteInt32(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8)
        WriteByte(static_cast<uint8_t>(u >> shift));
}

void Archive::WriteDouble(double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 0; shift < 64; shift += 8)
        WriteByte(static_cast<uint8_t>(bits >> shift));
}

void Archive::WriteBytes(const void* data, size_t size)
{
    RequireStoring();
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void Archive::WriteString(const std::string& text)
{
    const size_t length = text.size();
    if (length <= 254) {
        WriteByte(static_cast<uint8_t>(length));
    } else if (length <= 65533) {
        WriteByte(0xFF);
        WriteUInt16(static_cast<uint16_t>(length));
    } else {
        if (length >= 0xFFFFFFFFu)
            throw ArchiveException(ArchiveException::BadFormat, "string too long to store");
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<uint32_t>(length));
    }
    WriteBytes(text.data(), length);
}

uint8_t Archive::ReadByte()
{
    Require(1);
    return bytes_[position_++];
}

uint16_t Archive::ReadUInt16()
{
    Require(2);
    const uint16_t v = static_cast<uint16_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return v;
}

int32_t Archive::ReadInt32()
{
    Require(4);
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | bytes_[position_ + static_cast<size_t>(i)];
    position_ += 4;
    return static_cast<int32_t>(u);
}

double Archive::ReadDouble()
{
    Require(8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes_[position_ + static_cast<size_t>(i)];
    position_ += 8;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void Archive::ReadBytes(void* data, size_t size)
{
    Require(size);
    if (size > 0)
        std::memcpy(data, bytes_.data() + position_, size);
    position_ += size;
}

uint64_t Archive::ReadStringLength(bool& wide)
{
    const uint8_t b = ReadByte();
    if (b < 0xFF)
        return b;
    const uint16_t w = ReadUInt16();
    if (w == 0xFFFE) {
        // The wide-string tag; the length follows in the same scheme.
        if (wide)
            throw ArchiveException(ArchiveException::BadFormat, "malformed string length");
        wide = true;
        return ReadStringLength(wide);
    }
    if (w < 0xFFFF)
        return w;
    const uint32_t d = ReadUInt32();
    if (d < 0xFFFFFFFFu)
        return d;
    const uint64_t low = ReadUInt32();
    const uint64_t high = ReadUInt32();
    return (high << 32) | low;
}

std::string Archive::ReadString()
{
    bool wide = false;
    const uint64_t length = ReadStringLength(wide);
    // The length is checked against what remains before anything is allocated.
    const uint64_t size = wide ? length * 2 : length;
    if ((wide && length > UINT64_MAX / 2) || size > Remaining())
        throw ArchiveException(ArchiveException::EndOfFile, "string longer than the data left");
    std::string text(static_cast<size_t>(length), '\0');
    if (!wide) {
        ReadBytes(text.data(), text.size());
        return text;
    }
    std::u16string utf16(static_cast<size_t>(length), u'\0');
    for (char16_t& c : utf16)
        c = ReadUInt16();
    std::optional<std::string> narrow = platform::Utf16ToCp1252(utf16);
    if (!narrow)
        throw ArchiveException(
            ArchiveException::BadFormat, "string with characters outside code page 1252");
    return *narrow;
}
