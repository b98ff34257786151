#pragma once
// Running the built resource compiler from a test, on sources written into
// a temporary folder.

#include <string>
#include <vector>

#include "FileIO/gCFile.h"
#include "testsupport/FileIO/TempVolume.h"

struct CompilerResult {
    int exitCode = -1;
    std::string output; // stdout and stderr together
};

// The whole file's bytes; empty when it cannot be read.
std::string FileBytes(const std::string& path);

// Runs daublin-rc with the arguments.
CompilerResult RunCompiler(const std::vector<std::string>& arguments);

class CompilerTest : public TempVolume {
protected:
    // Compiles the YAML text as <folder>/source.yaml into <folder>/out.
    CompilerResult Compile(const std::string& folder, const std::string& yaml);
    // Opens a compiled file for reading.
    void OpenOutput(gCFile& file, const std::string& folder, const char* name);
};
