#include "platform/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SystemErrors.h"

namespace platform {

namespace {

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

// Six name characters for the temporary, different at each attempt and from other processes.
std::string TemporarySuffix(unsigned attempt)
{
    static const char kAlphabet[]
        = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    struct timespec now { };
    ::clock_gettime(CLOCK_REALTIME, &now);
    uint64_t bits = (static_cast<uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15ull)
        ^ (static_cast<uint64_t>(::getpid()) << 20) ^ static_cast<uint64_t>(now.tv_sec)
        ^ (static_cast<uint64_t>(attempt) * 0xBF58476D1CE4E5B9ull);
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kAlphabet[bits % 62];
        bits /= 62;
    }
    return suffix;
}

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
        error = SystemReason(EISDIR);
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
    // Created with 0666 and O_EXCL rather than by mkstemp (0600): the kernel then applies the
    // umask (and any default ACL) to a new file, with no umask() round trip racing other threads.
    std::string temporary;
    int created = -1;
    for (unsigned attempt = 0; created < 0 && attempt < 100; ++attempt) {
        temporary = path + "." + TemporarySuffix(attempt);
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST)
            break;
    }
    Descriptor fd(created);
    if (fd.Get() < 0) {
        error = SystemReason(errno);
        return false;
    }
    // The file being replaced keeps its own permissions.
    struct stat existing { };
    if (::stat(path.c_str(), &existing) == 0 && ::fchmod(fd.Get(), existing.st_mode & 07777) != 0) {
        error = SystemReason(errno);
        ::unlink(temporary.c_str());
        return false;
    }

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
