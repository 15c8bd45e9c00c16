#pragma once
// Files behind a transfer. The session machine only sees this interface, so
// tests and the fuzzer can run it over memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace ksr::tftp {

class TftpFile {
public:
    virtual ~TftpFile() = default;
    // Bytes read (0 at the end), or -1 on failure.
    virtual long read(uint8_t* buffer, std::size_t size) = 0;
    // True when all bytes were written.
    virtual bool write(const uint8_t* data, std::size_t size) = 0;
};

class TftpStorage {
public:
    virtual ~TftpStorage() = default;
    // An existing regular file for reading, or null.
    virtual std::unique_ptr<TftpFile> openForRead(const std::string& path) = 0;
    // A new or emptied file for writing, or null.
    virtual std::unique_ptr<TftpFile> openForWrite(const std::string& path) = 0;
    virtual void remove(const std::string& path) = 0;
};

// The real file system.
class PosixStorage : public TftpStorage {
public:
    std::unique_ptr<TftpFile> openForRead(const std::string& path) override;
    std::unique_ptr<TftpFile> openForWrite(const std::string& path) override;
    void remove(const std::string& path) override;
};

}  // namespace ksr::tftp
