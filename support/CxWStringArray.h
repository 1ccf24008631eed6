#pragma once

// An array of wide strings that owns them: it deletes them when emptied or destroyed.

#include <cstddef>
#include <memory>

#include "support/CxArray.h"
#include "support/CxWString.h"

class CxWStringArray : public CxArray<CxWString*> {
public:
    CxWStringArray() = default;
    ~CxWStringArray() override;

    // Deletes every string, then frees the block.
    void RemoveAll();
    // Appends a string, which the array then owns; returns its index. A null entry is allowed
    // and is stored as an empty string.
    size_t Add(std::unique_ptr<CxWString> string);

    // The count as a 32-bit integer, then each string in its own layout.
    void Serialize(Archive& ar) override;

private:
    // Resizing or overwriting from outside would drop owned strings without deleting them.
    using CxArray::SetAtGrow;
    using CxArray::SetSize;
};
