#include "platform/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string SystemReason(int code)
{
    return std::strerror(code);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) { }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace

std::string FileMessage(const std::string& path, const std::string& reason)
{
    return "« " + path + " » : " + reason;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        error = SystemReason(errno);
        return false;
    }
    struct stat info { };
    if (::fstat(fd.Get(), &info) != 0) {
        error = SystemReason(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "c'est un dossier";
        return false;
    }
    bytes.clear();
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = SystemReason(errno);
            return false;
        }
        if (n == 0)
            break;
        if (bytes.size() + static_cast<size_t>(n) > kMaxReadFileSize) {
            error = "fichier beaucoup trop grand pour un document";
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string& error)
{
    std::string temporary = path + ".XXXXXX";
    Descriptor fd(::mkstemp(temporary.data()));
    if (fd.Get() < 0) {
        error = SystemReason(errno);
        return false;
    }
    // Keep the permissions of the file being replaced, or the usual ones for a new file.
    struct stat existing { };
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    ::fchmod(fd.Get(), mode);

    const auto* p = static_cast<const uint8_t*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd.Get(), p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = SystemReason(n < 0 ? errno : EIO);
            ::unlink(temporary.c_str());
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.Get()) != 0 || ::close(fd.Release()) != 0) {
        error = SystemReason(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemReason(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace platform
