#pragma once
// A fresh folder under /tmp for one test, removed with everything in it.

#include <cstdlib>
#include <fstream>
#include <string>

#include <ftw.h>
#include <unistd.h>

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/ksr-test-XXXXXX";
        path_ = ::mkdtemp(pattern);
    }
    ~TempFolder()
    {
        ::nftw(path_.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p); }, 16,
               FTW_DEPTH | FTW_PHYS);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes `text` to <folder>/<name> and returns the full path.
    std::string write(const std::string& name, const std::string& text) const
    {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    }

private:
    std::string path_;
};

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
