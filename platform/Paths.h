#pragma once
// File-system helpers standing in for Windows path rules. Qt-free.

#include <string>

namespace ksr {

// The folder for per-user application data: $APPDATA when set, else
// $XDG_DATA_HOME, else ~/.local/share. The two fallbacks are created when
// missing (as the Windows folder always exists); $APPDATA is taken as given.
std::string appDataFolder();

// `path` with every backslash turned into a slash (paths written Windows-style).
std::string withSlashes(std::string path);

// The existing file or folder whose last path component matches the last
// component of `path` without regard to case (an exact match first);
// "" when there is none. The folder part must match exactly; an empty folder
// part means the current folder.
std::string findNoCase(const std::string& path);

// The folder of the running executable, ending in '/'.
std::string executableFolder();

}  // namespace ksr
