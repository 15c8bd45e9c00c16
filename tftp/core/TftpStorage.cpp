#include "TftpStorage.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ksr::tftp {

namespace {

// Reads ahead in large chunks: a transfer asks for 512 bytes at a time, and
// one system call per block would cost more than the rest of the work.
class PosixFile : public TftpFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }

    long read(uint8_t* buffer, std::size_t size) override
    {
        if (pos_ == fill_) {
            if (chunk_.empty())
                chunk_.resize(64 * 1024);
            ssize_t n;
            do
                n = ::read(fd_, chunk_.data(), chunk_.size());
            while (n < 0 && errno == EINTR);
            if (n < 0)
                return -1;
            pos_ = 0;
            fill_ = static_cast<std::size_t>(n);
        }
        std::size_t n = std::min(size, fill_ - pos_);
        std::copy(chunk_.data() + pos_, chunk_.data() + pos_ + n, buffer);
        pos_ += n;
        return static_cast<long>(n);
    }

    bool write(const uint8_t* data, std::size_t size) override
    {
        while (size > 0) {
            ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd_;
    std::vector<uint8_t> chunk_;
    std::size_t pos_ = 0;
    std::size_t fill_ = 0;
};

}  // namespace

std::unique_ptr<TftpFile> PosixStorage::openForRead(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<TftpFile> PosixStorage::openForWrite(const std::string& path)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    return std::make_unique<PosixFile>(fd);
}

void PosixStorage::remove(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace ksr::tftp
