#pragma once
// A POSIX folder as the toolkit's colon path of a folder (ending in ':'),
// for an application root: the built program's folder, which holds its
// Resources folder, or one a test made.

#include <gtest/gtest.h>

#include <string>

#include "foundation/gCString.h"

// Success, or what failed.
::testing::AssertionResult ColonFolder(const std::string& posixFolder, gCString& folder);
