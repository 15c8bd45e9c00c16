#pragma once
// Confinement of file names received from the device to the server's folder.

#include <string>

namespace ksr::tftp {

// The folder with a trailing "/" (appended unless the folder is empty or
// already ends in "/"; a trailing "\" becomes "/").
std::string folderWithSeparator(const std::string& folder);

// True when `name` may be served from the folder: not empty, not absolute, no
// ".." path component, no backslash, no control character. `path` is then
// the folder (as given by folderWithSeparator) followed by the name.
bool confinedPath(const std::string& folder, const std::string& name, std::string& path);

}  // namespace ksr::tftp
