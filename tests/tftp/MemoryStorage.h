#pragma once
// Files in memory for driving the transfer machine without a disk, with
// switches for failing reads and writes.

#include "TftpStorage.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ksr::tftp {

class MemoryStorage : public TftpStorage {
public:
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> touched;  // every path opened or removed
    bool failReads = false;
    std::size_t writeLimit = SIZE_MAX;  // writes beyond this many bytes fail

    std::unique_ptr<TftpFile> openForRead(const std::string& path) override
    {
        touched.push_back(path);
        auto it = files.find(path);
        if (it == files.end())
            return nullptr;
        return std::make_unique<File>(*this, it->second);
    }

    std::unique_ptr<TftpFile> openForWrite(const std::string& path) override
    {
        touched.push_back(path);
        if (path.find("missing/") != std::string::npos)
            return nullptr;
        auto& bytes = files[path];
        bytes.clear();
        return std::make_unique<File>(*this, bytes);
    }

    void remove(const std::string& path) override
    {
        touched.push_back(path);
        files.erase(path);
    }

private:
    class File : public TftpFile {
    public:
        File(MemoryStorage& owner, std::vector<uint8_t>& bytes) : owner_(owner), bytes_(bytes) {}
        long read(uint8_t* buffer, std::size_t size) override
        {
            if (owner_.failReads)
                return -1;
            std::size_t n = std::min(size, bytes_.size() - pos_);
            std::copy(bytes_.begin() + static_cast<long>(pos_), bytes_.begin() + static_cast<long>(pos_ + n), buffer);
            pos_ += n;
            return static_cast<long>(n);
        }
        bool write(const uint8_t* data, std::size_t size) override
        {
            if (bytes_.size() + size > owner_.writeLimit)
                return false;
            bytes_.insert(bytes_.end(), data, data + size);
            return true;
        }

    private:
        MemoryStorage& owner_;
        std::vector<uint8_t>& bytes_;
        std::size_t pos_ = 0;
    };
};

}  // namespace ksr::tftp
