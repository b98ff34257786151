#pragma once
// The file system's own reference to a file or folder: its absolute POSIX
// path, as last resolved. Empty when nothing has been resolved.

#include <string>

struct FSRef {
    std::string path;

    bool IsSet() const { return !path.empty(); }
};
