#include "support/CxWString.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "platform/Archive.h"
#include "platform/Cp1252.h"

CxWString::~CxWString()
{
    delete[] owned_;
}

void CxWString::Assign(std::string_view text, unsigned codePage)
{
    std::optional<std::u16string> wide;
    if (!text.empty() && codePage == kCodePage1252)
        wide = platform::Cp1252ToUtf16(text);
    // Invalid input is reported only as the empty string.
    if (!wide) {
        SetLength(0);
        return;
    }
    SetLength(wide->size());
    std::copy(wide->begin(), wide->end(), owned_);
}

void CxWString::SetLength(size_t n)
{
    if (n == 0) {
        delete[] owned_;
        owned_ = nullptr;
        capacity_ = -1;
        return;
    }
    if (owned_ && n < static_cast<size_t>(capacity_)) {
        owned_[n] = u'\0';
        return;
    }
    if (n >= static_cast<size_t>(PTRDIFF_MAX) / sizeof(char16_t))
        throw std::bad_alloc();
    // Allocated before the old buffer goes, so that a failure leaves the string as it was. Zeroed
    // so that a buffer the caller leaves unfilled never holds indeterminate characters.
    char16_t* buffer = new char16_t[n + 1]();
    delete[] owned_;
    owned_ = buffer;
    capacity_ = static_cast<ptrdiff_t>(n);
}

size_t CxWString::GetLength() const
{
    return std::char_traits<char16_t>::length(GetBuffer());
}

void CxWString::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        const size_t length = GetLength();
        if (length > static_cast<size_t>(INT32_MAX))
            throw ArchiveException(ArchiveException::BadFormat, "string too long to store");
        ar.WriteInt32(static_cast<int32_t>(length));
        const char16_t* text = GetBuffer();
        for (size_t i = 0; i < length; ++i)
            ar.WriteUInt16(text[i]);
        return;
    }
    const int32_t length = ar.ReadInt32();
    // The length comes from the file: nothing is allocated for characters that are not there.
    if (length < 0 || static_cast<size_t>(length) > ar.Remaining() / sizeof(char16_t))
        throw ArchiveException(ArchiveException::EndOfFile, "string longer than the data left");
    SetLength(static_cast<size_t>(length));
    for (int32_t i = 0; i < length; ++i)
        owned_[i] = ar.ReadUInt16();
}
