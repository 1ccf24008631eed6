#pragma once

// Whole-file reading and writing. A save writes a temporary file beside the target and renames it
// over the target, so that a failed save leaves the previous file intact.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Largest file read whole: documents are a few kilobytes; anything near this is not one.
constexpr uint64_t kMaxReadFileSize = 64ull << 20;

// A French message about a file: « path » : reason.
std::string FileMessage(const std::string& path, const std::string& reason);

// Reads the file; on failure returns false with a French reason in error.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes the file through a temporary beside it; on failure returns false with a French reason in
// error, the target untouched and no temporary left behind.
bool WriteFileAtomically(
    const std::string& path, const void* data, size_t size, std::string& error);

} // namespace platform
