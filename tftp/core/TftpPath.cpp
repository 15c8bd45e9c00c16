#include "TftpPath.h"

namespace ksr::tftp {

std::string folderWithSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/')
        return folder;
    // A folder written Windows-style ends in "\": that is the separator here.
    if (folder.back() == '\\')
        return folder.substr(0, folder.size() - 1) + '/';
    return folder + '/';
}

bool confinedPath(const std::string& folder, const std::string& name, std::string& path)
{
    if (name.empty() || name.front() == '/')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '\\')
            return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    path = folder + name;
    return true;
}

}  // namespace ksr::tftp
