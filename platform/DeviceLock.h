#pragma once
// The one-module-per-device guard: an exclusive, non-blocking flock() on a
// lock file named after the main window's caption, in $XDG_RUNTIME_DIR (else
// /tmp, with the user id in the name). The lock lives as long as the object;
// the kernel releases it when the process ends, however it ends. Qt-free.

#include <memory>
#include <string>

namespace ksr {

class DeviceLock {
public:
    ~DeviceLock();
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // The lock for `name`, or nullptr when another holder has it or the lock
    // file cannot be created.
    static std::unique_ptr<DeviceLock> acquire(const std::string& name);

    // Path of the lock file for `name`: characters other than letters, digits,
    // '.', '-' and '_' are written as %XX, so different names never share a file.
    static std::string lockFilePath(const std::string& name);

private:
    explicit DeviceLock(int fd) : fd_(fd) {}
    int fd_;
};

}  // namespace ksr
