#pragma once

// Buffers of several megabytes written once from end to end: a picture, its filtered rows. Fresh
// memory is mapped in one page of 4 KiB at a time, on the first write to each: a 1920 x 1080
// picture costs two thousand page faults, which take longer than drawing the plot. These buffers
// ask for huge pages (2 MiB) instead, where the system has them, and are mapped in a few faults.

#include <cstddef>
#include <cstdint>

namespace platform {

class LargeBuffer {
public:
    // size bytes, not cleared; empty (data() null) when memory is short or size is 0.
    explicit LargeBuffer(size_t size);
    ~LargeBuffer();
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    void* mapping_ = nullptr;
    size_t mappingSize_ = 0;
};

} // namespace platform
