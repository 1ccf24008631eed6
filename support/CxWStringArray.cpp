#include "support/CxWStringArray.h"

#include <cstdint>
#include <utility>

#include "platform/Archive.h"

CxWStringArray::~CxWStringArray()
{
    RemoveAll();
}

void CxWStringArray::RemoveAll()
{
    for (size_t i = 0; i < GetSize(); ++i)
        delete (*this)[i];
    SetSize(0);
}

size_t CxWStringArray::Add(std::unique_ptr<CxWString> string)
{
    const size_t index = GetSize();
    SetAtGrow(index, string.get());
    // Released only once stored: a failed growth still deletes the string.
    string.release();
    return index;
}

void CxWStringArray::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        if (GetSize() > static_cast<size_t>(INT32_MAX))
            throw ArchiveException(ArchiveException::BadFormat, "array too large to store");
        ar.WriteInt32(static_cast<int32_t>(GetSize()));
        for (size_t i = 0; i < GetSize(); ++i) {
            if (CxWString* string = (*this)[i])
                string->Serialize(ar);
            else
                CxWString().Serialize(ar);
        }
        return;
    }
    RemoveAll();
    const int32_t count = ar.ReadInt32();
    // Each string takes at least its 4-byte length: a count the data cannot hold is refused
    // before anything is read or allocated.
    if (count < 0 || static_cast<size_t>(count) > ar.Remaining() / 4)
        throw ArchiveException(ArchiveException::EndOfFile, "more strings than the data left");
    for (int32_t i = 0; i < count; ++i) {
        auto string = std::make_unique<CxWString>();
        string->Serialize(ar);
        Add(std::move(string));
    }
}
