#include "Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ksr {

namespace {

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

// mkdir -p with owner-only rights for the folders it adds.
void makeFolders(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty())
            ::mkdir(part.c_str(), 0700);
        if (slash == std::string::npos)
            break;
    }
}

}  // namespace

std::string appDataFolder()
{
    if (const char* appData = std::getenv("APPDATA"); appData && *appData)
        return appData;
    std::string folder;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        folder = xdg;
    else
        folder = homeFolder() + "/.local/share";
    makeFolders(folder);
    return folder;
}

std::string withSlashes(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string findNoCase(const std::string& path)
{
    if (path.empty())
        return {};
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return path;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return {};
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = folder + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::string executableFolder()
{
    char buffer[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return "./";
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

}  // namespace ksr
