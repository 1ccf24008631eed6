#pragma once

// A little-endian binary archive over a byte buffer, with the document files' string encoding.
// A storing archive appends to its buffer; a loading archive reads from one and throws
// ArchiveException at the first read past the end. Files are read whole into a loading archive
// and written whole from a storing one (see DocumentFile), so no length read from a file is ever
// trusted for an allocation beyond the bytes that remain.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class ArchiveException : public std::runtime_error {
public:
    enum Cause {
        EndOfFile, // a read past the end of the data
        ReadOnly, // a write into a loading archive
        WriteOnly, // a read from a storing archive
        BadFormat, // data that cannot be what it claims (a string the code page cannot hold)
    };
    ArchiveException(Cause cause, const std::string& what) : std::runtime_error(what), cause(cause)
    {
    }
    const Cause cause;
};

class Archive {
public:
    // A storing archive with an empty buffer.
    Archive();
    // A loading archive over a copy of the bytes.
    explicit Archive(std::vector<uint8_t> bytes);

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }

    void WriteByte(uint8_t v);
    void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
    void WriteUInt16(uint16_t v);
    void WriteInt32(int32_t v);
    void WriteUInt32(uint32_t v) { WriteInt32(static_cast<int32_t>(v)); }
    void WriteDouble(double v);
    void WriteBytes(const void* data, size_t size);
    // A narrow string: its length (1, 3 or 7 bytes), then its code page 1252 bytes.
    void WriteString(const std::string& text);

    uint8_t ReadByte();
    bool ReadBool() { return ReadByte() != 0; } // any non-zero byte is true
    uint16_t ReadUInt16();
    int32_t ReadInt32();
    uint32_t ReadUInt32() { return static_cast<uint32_t>(ReadInt32()); }
    double ReadDouble();
    void ReadBytes(void* data, size_t size);
    // A narrow string, or a string tagged as wide (its UTF-16 converted to code page 1252).
    std::string ReadString();

    size_t Remaining() const { return bytes_.size() - position_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void RequireStoring() const;
    void Require(size_t size) const;
    uint64_t ReadStringLength(bool& wide);

    bool storing_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};
