#pragma once

// The program's growable array. Elements are copied as raw bytes and never constructed or
// destroyed, hence trivially copyable types only. New blocks are zero-filled (new pointer slots
// are null), but shrinking keeps the block as it is: growing again within the capacity shows the
// old elements.

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/Archive.h"
#include "support/CzObject.h"

template <typename T> class CxArray : public CzObject {
    static_assert(std::is_trivially_copyable_v<T>, "CxArray copies its elements as raw bytes");

public:
    CxArray() = default;
    CxArray(const CxArray&) = delete;
    CxArray& operator=(const CxArray&) = delete;
    ~CxArray() override { ::operator delete(data_); }

    // growBy -1 keeps the current growth step; 0 makes it automatic.
    void SetSize(size_t newSize, int growBy = -1);
    // Taken by value: the value may be an element of this array, which a reallocation frees.
    void SetAtGrow(size_t index, T value);

    size_t GetSize() const { return size_; }
    size_t GetCapacity() const { return capacity_; }
    int GetGrowBy() const { return growBy_; }
    T* GetData() { return data_; }
    const T* GetData() const { return data_; }
    T& operator[](size_t index)
    {
        assert(index < size_);
        return data_[index];
    }
    const T& operator[](size_t index) const
    {
        assert(index < size_);
        return data_[index];
    }

    // Element size, size and growth step as 32-bit integers, then the elements' bytes.
    void Serialize(Archive& ar) override;

private:
    // Beyond this the byte count of a block would overflow.
    static constexpr size_t kMaxElements = static_cast<size_t>(PTRDIFF_MAX) / sizeof(T);

    static T* Allocate(size_t count);

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    int growBy_ = 0;
};

template <typename T> T* CxArray<T>::Allocate(size_t count)
{
    if (count > kMaxElements)
        throw std::bad_alloc();
    void* block = ::operator new(count * sizeof(T));
    std::memset(block, 0, count * sizeof(T));
    return static_cast<T*>(block);
}

template <typename T> void CxArray<T>::SetSize(size_t newSize, int growBy)
{
    if (growBy != -1)
        growBy_ = growBy;
    if (newSize == 0) {
        ::operator delete(data_);
        data_ = nullptr;
        size_ = 0;
        capacity_ = 0;
    } else if (!data_) {
        data_ = Allocate(newSize);
        size_ = newSize;
        capacity_ = newSize;
    } else if (newSize > capacity_) {
        // The automatic step follows the size in use, not the capacity.
        int64_t step = growBy_;
        if (step == 0)
            step = size_ < 32 ? 4 : size_ < 8200 ? static_cast<int64_t>(size_ / 8) : 1024;
        // A negative step, which only a caller can set, grows to exactly the size asked for.
        size_t newCapacity = newSize;
        if (step > 0 && static_cast<size_t>(step) > newSize - capacity_)
            newCapacity = capacity_ + static_cast<size_t>(step);
        T* block = Allocate(newCapacity);
        std::memcpy(block, data_, size_ * sizeof(T));
        ::operator delete(data_);
        data_ = block;
        size_ = newSize;
        capacity_ = newCapacity;
    } else {
        size_ = newSize;
    }
}

template <typename T> void CxArray<T>::SetAtGrow(size_t index, T value)
{
    if (index >= size_) {
        if (index >= kMaxElements)
            throw std::bad_alloc();
        SetSize(index + 1);
    }
    data_[index] = value;
}

template <typename T> void CxArray<T>::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        if (size_ > static_cast<size_t>(INT32_MAX))
            throw ArchiveException(ArchiveException::BadFormat, "array too large to store");
        ar.WriteInt32(static_cast<int32_t>(sizeof(T)));
        ar.WriteInt32(static_cast<int32_t>(size_));
        ar.WriteInt32(growBy_);
        ar.WriteBytes(data_, size_ * sizeof(T));
        return;
    }
    SetSize(0);
    ar.ReadInt32(); // the element size, which T already fixes
    const int32_t size = ar.ReadInt32();
    const int32_t growBy = ar.ReadInt32();
    // The size comes from the file: nothing is allocated for bytes that are not there.
    if (size < 0 || static_cast<size_t>(size) > ar.Remaining() / sizeof(T))
        throw ArchiveException(ArchiveException::EndOfFile, "array larger than the data left");
    SetSize(static_cast<size_t>(size), growBy);
    ar.ReadBytes(data_, size_ * sizeof(T));
}

class CxWString;

extern template class CxArray<unsigned char>;
extern template class CxArray<CxWString*>;
