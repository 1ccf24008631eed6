#include "platform/LargeBuffer.h"

#include <cstdint>

#include <sys/mman.h>

namespace platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

} // namespace

LargeBuffer::LargeBuffer(size_t size)
{
    if (size == 0 || size > SIZE_MAX - 2 * kHugePage)
        return;
    // Whole huge pages, aligned on one: a huge page is only used where all of it is advised.
    const size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    mappingSize_ = rounded + kHugePage;
    void* mapping
        = ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        mappingSize_ = 0;
        return;
    }
    mapping_ = mapping;
    const auto start = reinterpret_cast<uintptr_t>(mapping);
    const uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    data_ = reinterpret_cast<uint8_t*>(aligned);
    size_ = size;
    // Only a hint: without huge pages the buffer is mapped as any other. A small buffer keeps
    // small pages, so as not to clear 2 MiB for a few bytes.
    if (size >= kHugePage)
        ::madvise(data_, rounded, MADV_HUGEPAGE);
}

LargeBuffer::~LargeBuffer()
{
    if (mapping_ != nullptr)
        ::munmap(mapping_, mappingSize_);
}

} // namespace platform
