#pragma once
// Files the compiler is given by POSIX path, opened through the toolkit's
// own file stream.

#include <cstdint>
#include <string>

#include "FileIO/gCFile.h"
#include "devtools/rc/Diagnostics.h"

// Opens a file named by its POSIX path (made absolute) in an access mode of
// gCFile::Open: Open's answer, or 6 for a path that cannot be made absolute
// or named and 5 without memory (the file then untouched).
error OpenPosixFile(gCFile& file, const std::string& path, EFileAccess access);

// Closes a file opened to be written whole, `e` the first write error: the
// file replaces the old one only when every write and the close succeeded.
// Otherwise the error is reported against the path; false.
bool CloseWritten(gCFile& file, const std::string& path, error e, Diagnostics& diagnostics);
