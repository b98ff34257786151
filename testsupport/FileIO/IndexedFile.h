#pragma once
// A resource file opened for reading by its POSIX path, with its index: the
// built interface resources (DAUBLIN_RESOURCE_DIR "/system.vrf") or one a
// test wrote.

#include <gtest/gtest.h>

#include <string>

#include "FileIO/gCFile.h"
#include "FileIO/gCResourceIndex.h"

// A file opened for reading by its POSIX path. Success, or what failed.
::testing::AssertionResult OpenByPosixPath(const std::string& posixPath, gCFile& file);

// Success, or what failed (the path, and whether opening or indexing).
::testing::AssertionResult OpenIndexed(const std::string& posixPath, gCFile& file,
                                       gCResourceIndex& index);
