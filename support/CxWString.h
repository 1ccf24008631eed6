#pragma once

// The program's wide string: UTF-16, always terminated, its length being the count up to the
// terminator. Every empty string points at one shared terminator that is never freed (capacity
// -1), so empty strings cost no allocation.

#include <cstddef>
#include <string_view>

#include "support/CzObject.h"

class CxWString : public CzObject {
public:
    static constexpr unsigned kCodePage1252 = 1252;

    CxWString() = default;
    CxWString(std::string_view text, unsigned codePage) { Assign(text, codePage); }
    CxWString(const CxWString&) = delete;
    CxWString& operator=(const CxWString&) = delete;
    ~CxWString() override;

    // Converts a single-byte text. Only code page 1252 is known: any other code page, or a byte
    // that the code page leaves undefined, gives the empty string.
    void Assign(std::string_view text, unsigned codePage);
    // Room for n characters, terminated at n. A shorter length keeps the buffer; a longer one
    // replaces it without copying, for the caller to fill through GetWritableBuffer.
    void SetLength(size_t n);

    const char16_t* GetBuffer() const { return owned_ ? owned_ : kSharedEmpty; }
    // Null for the shared empty string, which must never be written.
    char16_t* GetWritableBuffer() { return owned_; }
    size_t GetLength() const;
    ptrdiff_t GetCapacity() const { return capacity_; }

    // The length as a 32-bit integer, then the UTF-16 code units, without the terminator.
    void Serialize(Archive& ar) override;

private:
    static constexpr char16_t kSharedEmpty[1] = {};

    char16_t* owned_ = nullptr; // null while the string is the shared empty one
    ptrdiff_t capacity_ = -1;
};
