#include "DeviceLock.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace ksr {

namespace {

bool isSafe(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
           c == '_';
}

// FNV-1a, to keep over-long names within the file-name limit and still distinct.
unsigned long long fnv1a(const std::string& text)
{
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::string DeviceLock::lockFilePath(const std::string& name)
{
    std::string encoded;
    for (unsigned char c : name) {
        if (isSafe(c)) {
            encoded += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            encoded += hex;
        }
    }
    // A leading '.' would hide the file and ".." would name a folder.
    if (!encoded.empty() && encoded[0] == '.')
        encoded.replace(0, 1, "%2E");
    constexpr std::size_t kMaxName = 200;
    if (encoded.size() > kMaxName) {
        char hash[20];
        std::snprintf(hash, sizeof hash, "~%016llx", fnv1a(name));
        encoded = encoded.substr(0, kMaxName - 17) + hash;
    }

    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/" + encoded + ".lock";
    // /tmp is shared by every user: keep users apart as a per-user runtime folder would.
    return "/tmp/ksr4710-" + std::to_string(::getuid()) + "-" + encoded + ".lock";
}

std::unique_ptr<DeviceLock> DeviceLock::acquire(const std::string& name)
{
    const std::string path = lockFilePath(name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<DeviceLock>(new DeviceLock(fd));
}

DeviceLock::~DeviceLock()
{
    ::close(fd_);
}

}  // namespace ksr
